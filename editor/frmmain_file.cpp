// The document's life: window events, the File commands and the questions that protect work.
#include "frmmain.h"

#include "appinfo.h"
#include "document.h"
#include "editorrules.h"
#include "itemnode.h"
#include "modstring.h"
#include "readcheck.h"
#include "scriptwriter.h"
#include "userconfig.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>

#include <algorithm>
#include <utility>

using platform::Dialogs;

namespace {

const QString kSaveChanges = editorrules::stringTable(102);
const QString kSaveForFolder = editorrules::stringTable(101);
const QString kOverwriteDefault =
    QStringLiteral("This will overwrite the default scroller settings. Do you wish to continue?");
const QString kScriptSavedCopyFailed =
    QStringLiteral("The scroller itself was saved; the page beside it needs this file to run it.");

// A few of the lines, enough to recognise them; the rest are counted.
QString listLines(const QList<readcheck::Line>& lines) {
    constexpr int kShown = 5;
    constexpr int kWidth = 72;
    QStringList out;
    for (int i = 0; i < std::min<int>(kShown, lines.size()); ++i) {
        const QString& text = lines[i].text;
        const QString shown =
            text.size() > kWidth ? text.left(kWidth - 3) + QStringLiteral("...") : text;
        out << (lines[i].number > 0 ? QStringLiteral("Line %1: %2").arg(lines[i].number).arg(shown)
                                    : shown);
    }
    if (lines.size() > kShown)
        out << QStringLiteral("... and %1 more lines.").arg(lines.size() - kShown);
    return out.join(QLatin1Char('\n'));
}

} // namespace

void frmMain::inform(const QString& text, Dialogs::Icon icon) {
    m_dialogs.inform(this, text, editorrules::kAppTitle, icon);
}

QStringList frmMain::scriptFilters() const {
    // "*" and not "*.*": names without a dot are files too.
    return {QStringLiteral("JavaScript (*.js)"), QStringLiteral("All Files (*)")};
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
    noteUnreadLines(QString(), false); // untitled: every save asks for a name anyway
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
    const QFileInfo info(path);
    const QString full = QDir::cleanPath(info.absoluteFilePath());
    const QString shown = QDir::toNativeSeparators(full);
    QString problem;
    if (info.isSymLink() && !info.exists())
        problem = QStringLiteral("\"%1\" cannot be opened: it is a link to \"%2\", which does not "
                                 "exist.\nPlease check the link, or open the script itself.")
                      .arg(shown, QDir::toNativeSeparators(info.symLinkTarget()));
    else if (!info.exists())
        problem = QStringLiteral("The file \"%1\" cannot be opened: there is no such file.\nPlease "
                                 "check the name and open it again.")
                      .arg(shown);
    else if (info.isDir())
        problem = QStringLiteral("\"%1\" is a folder, not a scroller script.\nPlease give the name "
                                 "of a script file, or choose one with File, Open.")
                      .arg(shown);
    else if (!info.isFile())
        problem = QStringLiteral("\"%1\" is not a file that can be opened as a scroller script (it "
                                 "is a device, a pipe or a socket).\nPlease give the name of a "
                                 "script file.")
                      .arg(shown);
    else if (!info.isReadable())
        problem = QStringLiteral("The file \"%1\" cannot be opened: you have no permission to read "
                                 "it.\nPlease check its permissions and open it again.")
                      .arg(shown);
    if (!problem.isEmpty()) {
        inform(problem, Dialogs::Icon::Exclamation);
        return;
    }
    if (PromptSaveChanges() == 1)
        return;
    openScript(full);
}

void frmMain::openScript(const QString& path) {
    ClearForm();
    sFilePath = path;
    sProjectFolder = modString::GetFolder(path);
    const bool read = LoadScroller(sFilePath);
    noteUnreadLines(sFilePath, !read);
    readFeedSource(sFilePath);
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

void frmMain::noteUnreadLines(const QString& path, bool readerFailed) {
    m_partlyReadPath.clear();
    m_unreadSummary.clear();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return; // nothing there to lose
    QFile file(path);
    QList<readcheck::Line> lines;
    if (file.open(QIODevice::ReadOnly)) {
        lines = readcheck::unreadLines(file.readAll());
        if (file.error() != QFileDevice::NoError)
            lines = {readcheck::Line{0, file.errorString()}};
    } else {
        lines = {readcheck::Line{0, file.errorString()}};
    }
    if (lines.isEmpty() && readerFailed)
        lines = {readcheck::Line{0, QStringLiteral("The file could not be read to its end.")}};
    if (lines.isEmpty())
        return;
    m_partlyReadPath = path;
    m_unreadSummary = listLines(lines);
    // A failure has been reported by the reader already; lines it passed over silently are news.
    if (!readerFailed)
        inform(QStringLiteral("Some lines of \"%1\" are not understood by Tickora Creator, so the "
                              "editor does not show them:\n%2\nThe file stays as it is until you "
                              "choose to replace it when you save.")
                   .arg(QDir::toNativeSeparators(path), m_unreadSummary),
               Dialogs::Icon::Exclamation);
}

bool frmMain::isPartlyRead(const QString& path) const {
    // The same file, however the path spells it.
    return !m_partlyReadPath.isEmpty() && scriptwriter::sameDirectory(path, m_partlyReadPath);
}

Dialogs::Answer frmMain::askReplacePartlyRead(Dialogs::Buttons buttons) {
    const QString question =
        buttons == Dialogs::Buttons::YesNoCancel
            ? QStringLiteral("Do you want to replace it anyway? Choose No to save the scroller "
                             "under another name.")
            : QStringLiteral("Do you want to replace it anyway?");
    return m_dialogs.message(
        this,
        Dialogs::Message{
            QStringLiteral("When \"%1\" was opened, some of its lines were not "
                           "understood:\n%2\nSaving under this name replaces "
                           "the file with what the editor shows, and those "
                           "lines are lost. %3")
                .arg(QDir::toNativeSeparators(m_partlyReadPath), m_unreadSummary, question),
            editorrules::kAppTitle, buttons, Dialogs::Answer::No, Dialogs::Icon::Exclamation});
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
    return false;
}

bool frmMain::save() {
    if (checkEditedFields())
        return false;
    StoreItemFields(oSelNode);
    SyncScrollerFields(true);
    RefreshControls();
    if (sFilePath.isEmpty())
        return saveAs();
    if (isPartlyRead(sFilePath)) {
        switch (askReplacePartlyRead(Dialogs::Buttons::YesNoCancel)) {
        case Dialogs::Answer::Yes:
            break;
        case Dialogs::Answer::No:
            return saveAs();
        default:
            return false;
        }
    }
    if (!writeScript(sFilePath,
                     QStringLiteral("Your changes are not saved. Use Save As to save them in "
                                    "another folder or under another name."),
                     kScriptSavedCopyFailed, &m_encoding))
        return false;
    m_partlyReadPath.clear();
    writeFeedSource(sFilePath);
    bDirty = false;
    RefreshControls();
    return true;
}

bool frmMain::saveAs() {
    if (checkEditedFields())
        return false;
    StoreItemFields(oSelNode);
    SyncScrollerFields(true);
    RefreshControls();
    int filter = 0;
    const QString chosen = m_dialogs.saveFile(
        this, Dialogs::FileRequest{QStringLiteral("Save As"), sFilePath, scriptFilters(), 0, true},
        &filter);
    if (chosen.isEmpty())
        return false;
    const QString path = Dialogs::withFilterSuffix(chosen, scriptFilters().value(filter));
    // The dialog asked about the name as typed; the extension names another file.
    if (path != chosen && QFileInfo::exists(path) &&
        m_dialogs.message(
            this, Dialogs::Message{QStringLiteral("\"%1\" already exists.\nDo you want to replace "
                                                  "it?")
                                       .arg(QDir::toNativeSeparators(path)),
                                   editorrules::kAppTitle, Dialogs::Buttons::YesNo,
                                   Dialogs::Answer::No, Dialogs::Icon::Exclamation}) !=
            Dialogs::Answer::Yes)
        return false;
    const QString reserved = editorrules::reservedNameMessage(path);
    if (!reserved.isEmpty()) {
        inform(reserved, Dialogs::Icon::Exclamation);
        return false;
    }
    if (isPartlyRead(path) && askReplacePartlyRead(Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return false;
    // The new name becomes the document's only once the script stands there.
    const QString previousFolder = sProjectFolder;
    sProjectFolder = modString::GetFolder(path);
    const bool written =
        writeScript(path,
                    QStringLiteral("The scroller is not saved. Please choose another "
                                   "folder or name and save again."),
                    kScriptSavedCopyFailed, &m_encoding);
    if (!written) {
        sProjectFolder = previousFolder;
        return false;
    }
    if (isPartlyRead(path))
        m_partlyReadPath.clear();
    sFilePath = path;
    writeFeedSource(path);
    bDirty = false;
    RefreshControls();
    return true;
}

bool frmMain::writeScript(const QString& path, const QString& consequence,
                          const QString& copyConsequence, TextEncoding* used,
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
        inform(error + QLatin1Char('\n') + copyConsequence, Dialogs::Icon::Exclamation);
    for (const QString& page : r.keptFiles) {
        if (m_toldKeptPages.contains(page))
            continue;
        m_toldKeptPages << page;
        inform(QStringLiteral("Your own page \"%1\" was kept as it is, because it is not a page "
                              "delivered with Tickora Creator; the runtime files beside it were "
                              "brought up to date.\nTo get the sample page back, rename or delete "
                              "yours and save again.")
                   .arg(QDir::toNativeSeparators(page)),
               Dialogs::Icon::Information);
    }
    return true;
}

void frmMain::mnuFileSaveAsDefault_Click() {
    if (checkEditedFields())
        return;
    StoreItemFields(oSelNode);
    SyncScrollerFields(true);
    RefreshControls();
    const Dialogs::Answer a = m_dialogs.message(
        this, Dialogs::Message{kOverwriteDefault, editorrules::kAppTitle, Dialogs::Buttons::YesNo,
                               Dialogs::Answer::Yes, Dialogs::Icon::None});
    const QString target = userconfig::defaultForSave(m_appFolder);
    if (a != Dialogs::Answer::Yes ||
        (!target.isEmpty() && isPartlyRead(target) &&
         askReplacePartlyRead(Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes))
        return;
    // The document's own file is not written, so its unsaved changes stay marked.
    const QString folder = target.isEmpty() ? userconfig::folder() : modString::GetFolder(target);
    const QString unchanged = QStringLiteral("The default scroller is unchanged. Please check "
                                             "that you may write to the folder \"%1\".")
                                  .arg(QDir::toNativeSeparators(folder));
    if (target.isEmpty()) {
        inform(unchanged, Dialogs::Icon::Exclamation);
        return;
    }
    if (writeScript(target, unchanged,
                    QStringLiteral("The default scroller was saved; only this copy into the "
                                   "scroller's project folder failed. Please check that folder "
                                   "and save the scroller again.")) &&
        isPartlyRead(target))
        m_partlyReadPath.clear();
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
