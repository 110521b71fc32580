// The document's life: New, Open, the saves and the questions that protect unsaved work.
#include "editordocument.h"

#include "appinfo.h"
#include "fileio.h"
#include "modparser.h"
#include "modstring.h"
#include "readcheck.h"
#include "scriptreader.h"
#include "scriptwriter.h"
#include "stringtable.h"
#include "textencoding.h"
#include "userconfig.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <utility>

#include <sys/stat.h>

using platform::Dialogs;

namespace {

const QString kSaveChanges = stringtable::text(stringtable::kSaveChanges);
const QString kOverwriteDefault =
    QStringLiteral("This will overwrite the default scroller settings. Do you wish to continue?");
const QString kScriptSavedCopyFailed =
    QStringLiteral("The scroller itself was saved; the page beside it needs this file to run it.");

// A few of the lines, enough to recognise them, each with the item it put in the list (notes);
// the rest are counted.
QString listLines(const QList<readcheck::Line>& lines, const QHash<int, QString>& notes) {
    constexpr int kShown = 5;
    constexpr int kWidth = 72;
    QStringList out;
    for (int i = 0; i < std::min<int>(kShown, lines.size()); ++i) {
        const QString& text = lines[i].text;
        const QString shown =
            (text.size() > kWidth ? text.left(kWidth - 3) + QStringLiteral("...") : text) +
            notes.value(lines[i].number);
        out << (lines[i].number > 0 ? QStringLiteral("Line %1: %2").arg(lines[i].number).arg(shown)
                                    : shown);
    }
    if (lines.size() > kShown) {
        qsizetype items = 0;
        for (qsizetype i = kShown; i < lines.size(); ++i)
            items += notes.contains(lines[i].number);
        out << (items > 0 ? QStringLiteral("... and %1 more lines, %2 of them items in the list.")
                                .arg(lines.size() - kShown)
                                .arg(items)
                          : QStringLiteral("... and %1 more lines.").arg(lines.size() - kShown));
    }
    return out.join(QLatin1Char('\n'));
}

// Why a script must not be saved at this path (it would take the name of a file that stands
// beside every script), or an empty string.
QString reservedNameMessage(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    QStringList reserved = scriptwriter::projectFiles();
    reserved << appinfo::kPreviewScript;
    for (const QString& r : reserved) {
        if (name.compare(r, Qt::CaseInsensitive) == 0)
            return QStringLiteral("The scroller cannot be saved as \"%1\": a file of that name "
                                  "must stand beside every scroller script, and saving would "
                                  "overwrite it or be overwritten by it.\nPlease choose another "
                                  "name.")
                .arg(QDir::toNativeSeparators(path));
    }
    return {};
}

} // namespace

void EditorDocument::inform(const QString& text, Dialogs::Icon icon) const {
    m_dialogs.inform(m_dialogParent, text, appinfo::kAppName, icon);
}

QStringList EditorDocument::scriptFilters() const {
    // "*" and not "*.*": names without a dot are files too.
    return {QStringLiteral("JavaScript (*.js)"), QStringLiteral("All Files (*)")};
}

void EditorDocument::markSaved() {
    m_disk = DiskIdentity::of(m_filePath);
    m_undo.setClean();
    emit stateChanged();
}

bool EditorDocument::LoadScroller(const QString& path) {
    ScrollerDocument doc;
    doc.scroller = m_records.scroller; // settings the file does not mention keep their value
    const scriptreader::LoadResult r = scriptreader::LoadScroller(path, doc);
    m_records.encoding = doc.encoding;
    m_records.scroller = doc.scroller;
    QList<Entry> entries;
    entries.reserve(doc.items.size());
    for (qsizetype i = 0; i < doc.items.size(); ++i)
        entries << Entry{QStringLiteral("Item%1").arg(i), doc.items.at(i)};
    resetItems(entries);
    m_nextItem = qint16(std::min<int>(32767, m_nextItem + r.itemsRead));
    // The reader's description says it all; what it means for a save is asked at the save.
    if (!r.ok)
        inform(r.error, Dialogs::Icon::Exclamation);
    // Whatever was read is shown, also after a failure, so nothing read is hidden and then
    // overwritten by stale fields.
    emit scrollerChanged();
    setCurrent(count() > 0 ? 0 : -1);
    return r.ok;
}

void EditorDocument::newDocument() {
    clearRecords();
    LoadScroller(userconfig::defaultForNew(m_appFolder));
    noteUnreadLines(QString(), false); // untitled: every save asks for a name anyway
    m_undo.clear();
    emit stateChanged();
}

bool EditorDocument::open(const QString& path) {
    clearRecords();
    m_filePath = path;
    m_projectFolder = modString::GetFolder(path);
    const bool read = LoadScroller(path);
    noteUnreadLines(path, !read);
    readFeedSource(path);
    m_disk = DiskIdentity::of(path);
    m_undo.clear();
    emit stateChanged();
    return read;
}

void EditorDocument::noteUnreadLines(const QString& path, bool readerFailed) {
    m_partlyReadPath.clear();
    m_unreadSummary.clear();
    struct stat st;
    if (path.isEmpty() || ::stat(fileio::pathToNative(path).constData(), &st) != 0)
        return; // nothing there to lose
    const fileio::ReadResult file = fileio::readRegularFile(path);
    QList<readcheck::Line> lines;
    QHash<int, QString> notes;
    if (file.ok) {
        const QByteArray& bytes = file.bytes;
        lines = readcheck::unreadLines(bytes);
        // An add line not understood still gave an item, with what could be read of it.
        for (const readcheck::Line& line : std::as_const(lines)) {
            const int row = line.itemRow;
            if (row < 0 || row >= count())
                continue;
            const clsItem& item = m_records.items.at(row);
            const bool empty =
                item.sName.isEmpty() && item.sText.isEmpty() && item.sWidth.isEmpty();
            notes.insert(line.number, QStringLiteral(" (item %1 in the list, %2)")
                                          .arg(row + 1)
                                          .arg(empty ? QStringLiteral("empty")
                                                     : QStringLiteral("only in part")));
        }
    } else {
        lines = {readcheck::Line{0, file.error}};
    }
    if (lines.isEmpty() && readerFailed)
        lines = {readcheck::Line{0, QStringLiteral("The file could not be read to its end.")}};
    if (lines.isEmpty())
        return;
    m_partlyReadPath = path;
    m_unreadSummary = listLines(lines, notes);
    // A failure has been reported by the reader already; lines it passed over silently are news.
    if (!readerFailed)
        inform(QStringLiteral("Some lines of \"%1\" are not understood by %3, so the "
                              "editor does not show what they say:\n%2\n%4The file stays as it is "
                              "until you choose to replace it when you save.")
                   .arg(QDir::toNativeSeparators(path), m_unreadSummary, appinfo::kAppName,
                        notes.isEmpty()
                            ? QString()
                            : QStringLiteral("An add line among them still gave an item, shown in "
                                             "the list with only what could be read of it.\n")),
               Dialogs::Icon::Exclamation);
}

bool EditorDocument::isPartlyRead(const QString& path) const {
    // The same file, however the path spells it.
    return !m_partlyReadPath.isEmpty() && scriptwriter::sameDirectory(path, m_partlyReadPath);
}

Dialogs::Answer EditorDocument::askReplacePartlyRead(Dialogs::Buttons buttons) {
    const QString question =
        buttons == Dialogs::Buttons::YesNoCancel
            ? QStringLiteral("Do you want to replace it anyway? Choose No to save the scroller "
                             "under another name.")
            : QStringLiteral("Do you want to replace it anyway?");
    return m_dialogs.message(
        m_dialogParent,
        Dialogs::Message{
            QStringLiteral("When \"%1\" was opened, some of its lines were not "
                           "understood:\n%2\nSaving under this name replaces "
                           "the file with what the editor shows, and those "
                           "lines are lost. %3")
                .arg(QDir::toNativeSeparators(m_partlyReadPath), m_unreadSummary, question),
            appinfo::kAppName, buttons, Dialogs::Answer::No, Dialogs::Icon::Exclamation});
}

bool EditorDocument::save() {
    if (m_filePath.isEmpty())
        return saveAs();
    // Yes to both questions replaces the file; No to either saves under another name.
    Dialogs::Answer replace = isPartlyRead(m_filePath)
                                  ? askReplacePartlyRead(Dialogs::Buttons::YesNoCancel)
                                  : Dialogs::Answer::Yes;
    if (replace == Dialogs::Answer::Yes)
        replace = askOutsideChange();
    switch (replace) {
    case Dialogs::Answer::Yes:
        break;
    case Dialogs::Answer::No:
        return saveAs();
    default:
        return false;
    }
    if (!writeScript(m_filePath,
                     QStringLiteral("Your changes are not saved. Use Save As to save them in "
                                    "another folder or under another name."),
                     kScriptSavedCopyFailed, &m_records.encoding))
        return false;
    m_partlyReadPath.clear();
    writeFeedSource(m_filePath);
    markSaved();
    return true;
}

bool EditorDocument::saveAs() {
    int filter = 0;
    const QString chosen = m_dialogs.saveFile(
        m_dialogParent,
        Dialogs::FileRequest{QStringLiteral("Save As"), m_filePath, scriptFilters(), 0, true},
        &filter);
    if (chosen.isEmpty())
        return false;
    const QString path = Dialogs::withFilterSuffix(chosen, scriptFilters().value(filter));
    // The dialog asked about the name as typed; the extension names another file.
    if (path != chosen && QFileInfo::exists(path) &&
        m_dialogs.message(
            m_dialogParent,
            Dialogs::Message{QStringLiteral("\"%1\" already exists.\nDo you want to replace it?")
                                 .arg(QDir::toNativeSeparators(path)),
                             appinfo::kAppName, Dialogs::Buttons::YesNo, Dialogs::Answer::No,
                             Dialogs::Icon::Exclamation}) != Dialogs::Answer::Yes)
        return false;
    const QString reserved = reservedNameMessage(path);
    if (!reserved.isEmpty()) {
        inform(reserved, Dialogs::Icon::Exclamation);
        return false;
    }
    if (isPartlyRead(path) && askReplacePartlyRead(Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return false;
    // The new name becomes the document's only once the script stands there.
    const QString previousFolder = m_projectFolder;
    m_projectFolder = modString::GetFolder(path);
    if (!writeScript(path,
                     QStringLiteral("The scroller is not saved. Please choose another "
                                    "folder or name and save again."),
                     kScriptSavedCopyFailed, &m_records.encoding)) {
        m_projectFolder = previousFolder;
        return false;
    }
    if (isPartlyRead(path))
        m_partlyReadPath.clear();
    m_filePath = path;
    writeFeedSource(path);
    markSaved();
    return true;
}

bool EditorDocument::writeScript(const QString& path, const QString& consequence,
                                 const QString& copyConsequence, TextEncoding* used,
                                 std::optional<TextEncoding> as) {
    ScrollerDocument doc = records();
    if (as)
        doc.encoding = *as;
    const scriptwriter::SaveResult r =
        scriptwriter::SaveScroller(path, doc, m_projectFolder, m_appFolder);
    if (!r.written) {
        inform(r.writeError + QLatin1Char('\n') + consequence, Dialogs::Icon::Exclamation);
        return false;
    }
    if (used)
        *used = r.encoding;
    // Our own write (a save, or Save As Default onto the document's file) is no other
    // program's change; known before any message below lets the file watch be heard.
    if (!m_filePath.isEmpty() && scriptwriter::sameDirectory(path, m_filePath))
        m_disk = DiskIdentity::of(m_filePath);
    for (const QString& error : r.copyErrors)
        inform(error + QLatin1Char('\n') + copyConsequence, Dialogs::Icon::Exclamation);
    for (const QString& page : r.keptFiles) {
        if (m_toldKeptPages.contains(page))
            continue;
        m_toldKeptPages << page;
        inform(QStringLiteral("Your own page \"%1\" was kept as it is, because it is not a page "
                              "delivered with %2; the runtime files beside it were "
                              "brought up to date.\nTo get the sample page back, rename or delete "
                              "yours and save again.")
                   .arg(QDir::toNativeSeparators(page), appinfo::kAppName),
               Dialogs::Icon::Information);
    }
    return true;
}

void EditorDocument::saveAsDefault() {
    const Dialogs::Answer a = m_dialogs.message(
        m_dialogParent,
        Dialogs::Message{kOverwriteDefault, appinfo::kAppName, Dialogs::Buttons::YesNo,
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
                                   "and save the scroller again."))) {
        if (isPartlyRead(target))
            m_partlyReadPath.clear();
    }
}

EditorDocument::PromptResult EditorDocument::askSaveChanges(bool typing) {
    if (!isDirty() && !typing)
        return PromptResult::Clean;
    const Dialogs::Answer a = m_dialogs.message(
        m_dialogParent,
        Dialogs::Message{kSaveChanges, appinfo::kAppName, Dialogs::Buttons::YesNoCancel,
                         Dialogs::Answer::Yes, Dialogs::Icon::None});
    switch (a) {
    case Dialogs::Answer::Yes:
        return PromptResult::SaveWanted;
    case Dialogs::Answer::No:
        return PromptResult::Discarded;
    default:
        return PromptResult::Cancelled;
    }
}

EditorDocument::PromptResult EditorDocument::PromptSaveChanges() {
    const PromptResult r = askSaveChanges();
    if (r != PromptResult::SaveWanted)
        return r;
    // A save that did not happen must not let the caller throw the changes away.
    return save() ? PromptResult::Saved : PromptResult::Cancelled;
}

void EditorDocument::readFeedSource(const QString& scriptPath) {
    const feed::SourceRead r = feed::readSource(scriptPath);
    m_feed = r.source.value_or(feed::Source());
    if (!r.error.isEmpty())
        inform(r.error, Dialogs::Icon::Exclamation);
}

void EditorDocument::writeFeedSource(const QString& scriptPath) {
    // A side file stands beside exactly the scripts that remember a feed.
    const QString error =
        m_feed.isSet() ? feed::writeSource(scriptPath, m_feed) : feed::removeSource(scriptPath);
    if (!error.isEmpty())
        inform(error + QStringLiteral("\nThe scroller itself was saved; Refresh from Feed will "
                                      "not know its feed items after the next Open."),
               Dialogs::Icon::Exclamation);
}
