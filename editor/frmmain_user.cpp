// What the window keeps for the user between sessions: recent files, its own size and place.
#include "frmmain.h"

#include "appinfo.h"
#include "fileio.h"
#include "recentfiles.h"
#include "userconfig.h"
#include "windowstate.h"

#include <QDir>
#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QTabWidget>

#include <sys/stat.h>

namespace {

// Calls back when the window is asked to close, before it decides whether it does.
class CloseWatcher : public QObject {
public:
    CloseWatcher(std::function<void()> onClose, QObject* parent)
        : QObject(parent), m_onClose(std::move(onClose)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && watched == parent())
            m_onClose();
        return false;
    }

private:
    std::function<void()> m_onClose;
};

} // namespace

void frmMain::restoreUserState() {
    m_recent = new RecentFiles(mnuFile, mnuFileQuit, this);
    connect(m_recent, &RecentFiles::chosen, this, &frmMain::openRecent);
    m_notedPath = m_doc->filePath();
    // Said once a session: what is not remembered is the editor's comfort, not the user's work.
    userconfig::onWriteFailure(
        [self = QPointer<frmMain>(this), told = false](const QString& file) mutable {
            if (!self || std::exchange(told, true))
                return;
            self->inform(
                QStringLiteral("%2 could not save its settings in %1, so recent files "
                               "and the window's size and place will not be remembered.\n\nCheck "
                               "that the folder can be written to and the disk is not full.")
                    .arg(QDir::toNativeSeparators(file), appinfo::kAppName),
                platform::Dialogs::Icon::Exclamation);
        });

    const int tab = windowstate::restore(*userconfig::settings(), *this);
    // The Preview tab of a document never saved would first ask for a file name.
    if (tab == 1)
        tabMain->setCurrentIndex(tab);
    installEventFilter(new CloseWatcher([this] { saveUserState(); }, this));
}

void frmMain::saveUserState() {
    userconfig::write([this](QSettings& s) { windowstate::save(s, *this, *tabMain); });
}

void frmMain::noteFileName() {
    // A document that takes a new name (Open, Save As) heads the recent files.
    if (!m_recent || m_doc->filePath().isEmpty() || m_doc->filePath() == m_notedPath)
        return;
    m_notedPath = m_doc->filePath();
    m_recent->add(m_doc->filePath());
}

void frmMain::openRecent(const QString& path) {
    struct stat st;
    if (::stat(fileio::pathToNative(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        m_recent->remove(path);
        inform(QStringLiteral("The file \"%1\" no longer exists, so it was taken off the list "
                              "of recent files.\nIf it was moved or renamed, open it from its "
                              "new place with File > Open.")
                   .arg(QDir::toNativeSeparators(path)),
               platform::Dialogs::Icon::Exclamation);
        return;
    }
    openPath(path);
}
