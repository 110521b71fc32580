// The document's life: window events, the File commands and the questions that protect work.
#include "frmmain.h"

#include "appinfo.h"
#include "fileio.h"
#include "stringtable.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>

#include <algorithm>
#include <climits>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

using platform::Dialogs;

void frmMain::inform(const QString& text, Dialogs::Icon icon) {
    m_dialogs.inform(this, text, appinfo::kAppName, icon);
}

void frmMain::Form_Load() {
    tabMain->setCurrentIndex(0);
    mnuFileNew_Click();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_activatedOnce) {
        m_activatedOnce = true;
        Form_Activate();
    }
}

void frmMain::Form_Activate() {
    m_contextHelpFile = QDir::toNativeSeparators(m_appFolder + u'/' + appinfo::kHelpFile +
                                                 QStringLiteral("::Popups/frmMain.txt"));
    txtScrName->setFocus(Qt::ActiveWindowFocusReason);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (PromptSaveChanges() == EditorDocument::PromptResult::Cancelled)
        event->ignore();
    else
        event->accept();
}

void frmMain::mnuFileNew_Click() {
    if (PromptSaveChanges() == EditorDocument::PromptResult::Cancelled)
        return;
    ClearForm();
    m_doc->newDocument();
    afterLoad();
}

void frmMain::afterLoad() {
    // Loading shows the records in the fields; that is no typing of the user's.
    m_fieldsEdited = false;
    m_commitTimer->stop();
    RefreshControls();
    tabMain->setCurrentIndex(0);
}

void frmMain::mnuFileOpen_Click() {
    if (PromptSaveChanges() == EditorDocument::PromptResult::Cancelled)
        return;
    const QString path =
        m_dialogs.openFile(this, Dialogs::FileRequest{QStringLiteral("Open"), QString(),
                                                      m_doc->scriptFilters(), 0, false});
    if (path.isEmpty() || !openAnyway(path))
        return;
    openScript(path);
}

void frmMain::openPath(const QString& path) {
    // Looked at through the system's bytes: a name given on the command line need not be UTF-8.
    const QString full =
        QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path);
    const QString shown = QDir::toNativeSeparators(full);
    const QByteArray native = fileio::pathToNative(full);
    struct stat st;
    struct stat link;
    const bool exists = ::stat(native.constData(), &st) == 0;
    QString problem;
    if (!exists && ::lstat(native.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(native.constData(), target.data(), target.size());
        target.resize(std::max<ssize_t>(n, 0));
        QString to = fileio::pathFromNative(target);
        if (QDir::isRelativePath(to))
            to = QDir::cleanPath(QFileInfo(full).path() + u'/' + to);
        problem = QStringLiteral("\"%1\" cannot be opened: it is a link to \"%2\", which does not "
                                 "exist.\nPlease check the link, or open the script itself.")
                      .arg(shown, QDir::toNativeSeparators(to));
    } else if (!exists)
        problem = QStringLiteral("The file \"%1\" cannot be opened: there is no such file.\nPlease "
                                 "check the name and open it again.")
                      .arg(shown);
    else if (S_ISDIR(st.st_mode))
        problem = QStringLiteral("\"%1\" is a folder, not a scroller script.\nPlease give the name "
                                 "of a script file, or choose one with File, Open.")
                      .arg(shown);
    else if (!S_ISREG(st.st_mode))
        problem = QStringLiteral("\"%1\" is not a file that can be opened as a scroller script (it "
                                 "is a device, a pipe or a socket).\nPlease give the name of a "
                                 "script file.")
                      .arg(shown);
    else if (::access(native.constData(), R_OK) != 0)
        problem = QStringLiteral("The file \"%1\" cannot be opened: you have no permission to read "
                                 "it.\nPlease check its permissions and open it again.")
                      .arg(shown);
    if (!problem.isEmpty()) {
        inform(problem, Dialogs::Icon::Exclamation);
        return;
    }
    if (!openAnyway(full))
        return;
    if (PromptSaveChanges() == EditorDocument::PromptResult::Cancelled)
        return;
    openScript(full);
}

void frmMain::openScript(const QString& path) {
    ClearForm();
    m_doc->open(path);
    afterLoad();
}

void frmMain::mnuFileSave_Click() {
    if (prepareSave())
        m_doc->save();
}

void frmMain::mnuFileSaveAs_Click() {
    if (prepareSave())
        m_doc->saveAs();
}

bool frmMain::checkEditedFields() {
    // The field being edited, and any left unchecked because its tab was put away, are checked
    // as leaving them would check them; a rejection keeps the user there.
    QList<QPointer<QWidget>> fields = std::exchange(m_uncheckedFields, {});
    fields.append(focusWidget());
    QList<QWidget*> done;
    for (const QPointer<QWidget>& f : fields) {
        // A disabled field is not being edited, and the focus could not be put back into it.
        if (!f || !f->isEnabled() || done.contains(f.data()))
            continue;
        done.append(f.data());
        if (leaveField(f.data()))
            return true;
    }
    // Refused typing the focus did not lead us to (the window was not active when the focus
    // was put back) is checked all the same.
    if (QLineEdit* f = refusedTypingField())
        return leaveField(f);
    return false;
}

bool frmMain::prepareSave() {
    if (checkEditedFields())
        return false;
    commitFields();
    RefreshControls();
    return true;
}

void frmMain::mnuFileSaveAsDefault_Click() {
    if (prepareSave())
        m_doc->saveAsDefault();
}

void frmMain::mnuFileQuit_Click() {
    close();
}

EditorDocument::PromptResult frmMain::PromptSaveChanges() {
    commitFields();
    EditorDocument::PromptResult r = m_doc->askSaveChanges(m_fieldsEdited);
    // A save that did not happen must not let the caller throw the changes away.
    if (r == EditorDocument::PromptResult::SaveWanted)
        r = prepareSave() && m_doc->save() ? EditorDocument::PromptResult::Saved
                                           : EditorDocument::PromptResult::Cancelled;
    RefreshControls();
    return r;
}

bool frmMain::PromptSaveForFolder() {
    if (m_doc->projectFolder().isEmpty()) {
        m_doc->inform(stringtable::text(stringtable::kSaveForFolder));
        if (prepareSave())
            m_doc->save();
    }
    return !m_doc->projectFolder().isEmpty();
}
