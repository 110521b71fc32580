// Work that outlives a crash, and a script that another program changes while it is open.
#include "frmmain.h"

#include "appinfo.h"
#include "diskwatch.h"
#include "recovery.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLocale>
#include <QScopedValueRollback>
#include <QTimer>

#include <utility>

using platform::Dialogs;

namespace {

// Calls back each time the window becomes the active one again.
class ActivationWatcher : public QObject {
public:
    ActivationWatcher(std::function<void()> onActivate, QObject* parent)
        : QObject(parent), m_onActivate(std::move(onActivate)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate && watched == parent())
            m_onActivate();
        return false;
    }

private:
    std::function<void()> m_onActivate;
};

QString shownName(const QString& path) {
    return path.isEmpty() ? QStringLiteral("New") : QDir::toNativeSeparators(path);
}

} // namespace

void frmMain::connectDiskCare() {
    m_keeper = new recovery::Keeper(*m_doc, this);
    connect(
        m_keeper, &recovery::Keeper::failed, this,
        [this, told = false](const QString& error) mutable {
            // Said once a session, as the settings are; the user's work is still in the window.
            if (std::exchange(told, true))
                return;
            inform(QStringLiteral("%1 could not keep a recovery copy of your unsaved changes "
                                  "(%2), so they would be lost if the editor or the computer "
                                  "stopped suddenly.\n\nSave your work, and check that the "
                                  "folder \"%3\" can be written to and the disk is not full.")
                       .arg(appinfo::kAppName, error, QDir::toNativeSeparators(recovery::folder())),
                   Dialogs::Icon::Exclamation);
        });
    m_diskWatch = new DiskWatch(this);
    m_diskWatch->watch(m_doc->filePath());
    connect(m_doc, &EditorDocument::stateChanged, this,
            [this] { m_diskWatch->watch(m_doc->filePath()); });
    connect(m_diskWatch, &DiskWatch::changed, this, &frmMain::checkDisk);
    // Changes made while the editor was in the background are seen when the user comes back,
    // also where the file system reports none (network folders).
    installEventFilter(
        new ActivationWatcher([this] { QTimer::singleShot(0, this, &frmMain::checkDisk); }, this));
}

void frmMain::checkDisk() {
    const QString path = m_doc->filePath();
    // Not on top of another question: closing it activates the window, which checks again.
    if (m_checkingDisk || path.isEmpty() || QApplication::activeModalWidget())
        return;
    QScopedValueRollback guard(m_checkingDisk, true);
    const DiskIdentity now = DiskIdentity::of(path);
    if (m_doc->diskIdentity().sameAs(now))
        return;
    const QString shown = QDir::toNativeSeparators(path);
    if (!now.exists) {
        m_doc->keepOwnVersion();
        inform(QStringLiteral("\"%1\" was deleted or moved by another program.\nThe scroller "
                              "stays open here with its changes unsaved; save it to write the "
                              "file again, or use Save As to keep it somewhere else.")
                   .arg(shown),
               Dialogs::Icon::Exclamation);
        return;
    }
    bool reload = false;
    if (!isDirty()) {
        // Asked, not done silently: a reload throws away the undo history, and the other
        // program's version may be the one that is wrong.
        reload = m_dialogs.message(
                     this, Dialogs::Message{QStringLiteral("\"%1\" was changed by another "
                                                           "program.\nDo you want to reload it?")
                                                .arg(shown),
                                            appinfo::kAppName, Dialogs::Buttons::YesNo,
                                            Dialogs::Answer::Yes, Dialogs::Icon::Question}) ==
                 Dialogs::Answer::Yes;
    } else {
        reload =
            m_dialogs.choose(this,
                             Dialogs::Message{QStringLiteral("\"%1\" was changed by another "
                                                             "program, and you have unsaved "
                                                             "changes.\nReload it and lose your "
                                                             "changes, or keep your version?")
                                                  .arg(shown),
                                              appinfo::kAppName, Dialogs::Buttons::Ok,
                                              Dialogs::Answer::Ok, Dialogs::Icon::Exclamation},
                             {QStringLiteral("Reload"), QStringLiteral("Keep Mine")}, 1, 1) == 0;
    }
    if (reload)
        openScript(path);
    else
        m_doc->keepOwnVersion();
}

bool frmMain::openAnyway(const QString& path) {
    if (!recovery::Keeper::openElsewhere(path))
        return true;
    return m_dialogs.choose(
               this,
               Dialogs::Message{QStringLiteral("\"%1\" is already open in another window of the "
                                               "editor.\nChanges saved in one window replace "
                                               "those saved in the other.")
                                    .arg(QDir::toNativeSeparators(path)),
                                appinfo::kAppName, Dialogs::Buttons::Ok, Dialogs::Answer::Ok,
                                Dialogs::Icon::Exclamation},
               {QStringLiteral("Open Anyway"), QStringLiteral("Cancel")}, 1, 1) == 0;
}

void frmMain::offerRecovery() {
    const recovery::Scan scan = recovery::leftBehind();
    if (!scan.setAside.isEmpty())
        inform(QStringLiteral("These recovery copies could not be read, so they were set aside "
                              "and are not offered:\n%1\nThey stay where they are in case they "
                              "are of use; you may delete them.")
                   .arg(scan.setAside.join(QLatin1Char('\n'))),
               Dialogs::Icon::Exclamation);
    for (const recovery::Left& left : scan.copies) {
        const recovery::Copy& c = left.copy;
        const int choice = m_dialogs.choose(
            this,
            Dialogs::Message{
                QStringLiteral("%1 did not end cleanly and kept a copy of unsaved changes:\n\n"
                               "%2\nLast changed %3, %4 items.\n\nRecover opens it with the "
                               "changes unsaved; Discard deletes the copy; Later keeps it to be "
                               "offered at the next start.")
                    .arg(appinfo::kAppName, shownName(c.filePath),
                         QLocale().toString(c.changed, QLocale::ShortFormat))
                    .arg(c.items.size()),
                appinfo::kAppName, Dialogs::Buttons::Ok, Dialogs::Answer::Ok,
                Dialogs::Icon::Question},
            {QStringLiteral("Recover"), QStringLiteral("Discard"), QStringLiteral("Later")}, 0, 2);
        if (choice == 1) {
            QFile::remove(left.path);
        } else if (choice == 0) {
            if (PromptSaveChanges() == EditorDocument::PromptResult::Cancelled)
                continue;
            ClearForm();
            m_doc->restore(c);
            afterLoad();
            // The copy is given up only once this editor's own stands for it.
            m_keeper->flush();
            QFile::remove(left.path);
            // One document to a window: the other copies wait for the next start.
            return;
        }
    }
}
