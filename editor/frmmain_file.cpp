// The document's life: window events, the File commands and the questions that protect work.
#include "frmmain.h"

#include "document.h"
#include "editorrules.h"
#include "itemnode.h"
#include "modstring.h"
#include "scriptwriter.h"
#include "userconfig.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>

using platform::Dialogs;

namespace {

const QString kSaveChanges = editorrules::stringTable(102);
const QString kSaveForFolder = editorrules::stringTable(101);
const QString kOverwriteDefault =
    QStringLiteral("This will overwrite the default scroller settings. Do you wish to continue?");

} // namespace

void frmMain::inform(const QString& text, Dialogs::Icon icon) {
    m_dialogs.inform(this, text, editorrules::kAppTitle, icon);
}

QStringList frmMain::scriptFilters() const {
    return {QStringLiteral("JavaScript (*.js)"), QStringLiteral("All Files (*.*)")};
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
    m_contextHelpFile =
        QDir::toNativeSeparators(m_appFolder + QStringLiteral("/tickora.chm::Popups/frmMain.txt"));
    txtScrName->setFocus(Qt::ActiveWindowFocusReason);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (PromptSaveChanges() != 0)
        event->ignore();
    else
        event->accept();
}

void frmMain::mnuFileNew_Click() {
    if (PromptSaveChanges() == 1)
        return;
    ClearForm();
    LoadScroller(userconfig::defaultForNew(m_appFolder));
    bDirty = false;
    RefreshControls();
    tabMain->setCurrentIndex(0);
}

void frmMain::mnuFileOpen_Click() {
    if (PromptSaveChanges() == 1)
        return;
    const QString path = m_dialogs.openFile(
        this, Dialogs::FileRequest{QStringLiteral("Open"), QString(), scriptFilters(), 0, false});
    if (path.isEmpty())
        return;
    openScript(path);
}

void frmMain::openPath(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        inform(QStringLiteral("The file \"%1\" cannot be opened: there is no such file.\nPlease "
                              "check the name and open it again.")
                   .arg(QDir::toNativeSeparators(path)),
               Dialogs::Icon::Exclamation);
        return;
    }
    if (PromptSaveChanges() == 1)
        return;
    openScript(QFileInfo(path).absoluteFilePath());
}

void frmMain::openScript(const QString& path) {
    ClearForm();
    sFilePath = path;
    sProjectFolder = modString::GetFolder(path);
    LoadScroller(sFilePath);
    bDirty = false;
    RefreshControls();
    tabMain->setCurrentIndex(0);
}

void frmMain::mnuFileSave_Click() {
    save();
}

void frmMain::mnuFileSaveAs_Click() {
    saveAs();
}

bool frmMain::save() {
    StoreItemFields(oSelNode);
    SyncScrollerFields(true);
    RefreshControls();
    if (sFilePath.isEmpty())
        return saveAs();
    if (!writeScript(sFilePath,
                     QStringLiteral("Your changes are not saved. Use Save As to save them in "
                                    "another folder or under another name."),
                     &m_encoding))
        return false;
    bDirty = false;
    RefreshControls();
    return true;
}

bool frmMain::saveAs() {
    StoreItemFields(oSelNode);
    SyncScrollerFields(true);
    RefreshControls();
    const QString path = m_dialogs.saveFile(
        this, Dialogs::FileRequest{QStringLiteral("Save As"), sFilePath, scriptFilters(), 0, true});
    if (path.isEmpty())
        return false;
    const QString reserved = editorrules::reservedNameMessage(path);
    if (!reserved.isEmpty()) {
        inform(reserved, Dialogs::Icon::Exclamation);
        return false;
    }
    // The new name becomes the document's only once the script stands there.
    const QString previousFolder = sProjectFolder;
    sProjectFolder = modString::GetFolder(path);
    const bool written =
        writeScript(path,
                    QStringLiteral("The scroller is not saved. Please choose another "
                                   "folder or name and save again."),
                    &m_encoding);
    if (!written) {
        sProjectFolder = previousFolder;
        return false;
    }
    sFilePath = path;
    bDirty = false;
    RefreshControls();
    return true;
}

bool frmMain::writeScript(const QString& path, const QString& consequence, TextEncoding* used,
                          std::optional<TextEncoding> as) {
    ScrollerDocument doc = buildDocument();
    if (as)
        doc.encoding = *as;
    const scriptwriter::SaveResult r =
        scriptwriter::SaveScroller(path, doc, sProjectFolder, m_appFolder);
    if (!r.written) {
        inform(r.writeError + QLatin1Char('\n') + consequence, Dialogs::Icon::Exclamation);
        return false;
    }
    if (used)
        *used = r.encoding;
    for (const QString& error : r.copyErrors)
        inform(error + QStringLiteral("\nThe scroller itself was saved; the page beside it needs "
                                      "this file to run it."),
               Dialogs::Icon::Exclamation);
    return true;
}

void frmMain::mnuFileSaveAsDefault_Click() {
    StoreItemFields(oSelNode);
    SyncScrollerFields(true);
    RefreshControls();
    const Dialogs::Answer a = m_dialogs.message(
        this, Dialogs::Message{kOverwriteDefault, editorrules::kAppTitle, Dialogs::Buttons::YesNo,
                               Dialogs::Answer::Yes, Dialogs::Icon::None});
    if (a != Dialogs::Answer::Yes)
        return;
    // The document's own file is not written, so its unsaved changes stay marked.
    const QString target = userconfig::defaultForSave(m_appFolder);
    const QString folder = target.isEmpty() ? userconfig::folder() : modString::GetFolder(target);
    const QString unchanged = QStringLiteral("The default scroller is unchanged. Please check "
                                             "that you may write to the folder \"%1\".")
                                  .arg(QDir::toNativeSeparators(folder));
    if (target.isEmpty())
        inform(unchanged, Dialogs::Icon::Exclamation);
    else
        writeScript(target, unchanged);
}

void frmMain::mnuFileQuit_Click() {
    close();
}

int frmMain::PromptSaveChanges() {
    if (!bDirty)
        return 0;
    const Dialogs::Answer a = m_dialogs.message(
        this, Dialogs::Message{kSaveChanges, editorrules::kAppTitle, Dialogs::Buttons::YesNoCancel,
                               Dialogs::Answer::Yes, Dialogs::Icon::None});
    switch (a) {
    case Dialogs::Answer::Yes:
        // A save that did not happen must not let the caller throw the changes away.
        if (!save())
            return 1;
        bDirty = false;
        return 0;
    case Dialogs::Answer::No:
        return 0;
    default:
        return 1;
    }
}

bool frmMain::PromptSaveForFolder() {
    if (sProjectFolder.isEmpty()) {
        inform(kSaveForFolder);
        save();
    }
    return !sProjectFolder.isEmpty();
}
