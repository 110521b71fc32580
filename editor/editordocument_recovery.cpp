// The document's recovery copy and its file on disk.
#include "editordocument.h"

#include "appinfo.h"
#include "modstring.h"
#include "processid.h"
#include "recovery.h"

#include <QDir>
#include <QFileInfo>

using platform::Dialogs;

recovery::Copy EditorDocument::snapshot() const {
    recovery::Copy c;
    c.owner = platform::processId();
    c.changed = QDateTime::currentDateTime();
    c.filePath = m_filePath;
    c.encoding = m_records.encoding;
    c.scroller = m_records.scroller;
    c.keys = m_keys;
    c.items = m_records.items;
    c.nextItem = m_nextItem;
    c.current = m_current;
    c.feed = m_feed;
    c.disk = m_disk;
    return c;
}

void EditorDocument::restore(const recovery::Copy& c) {
    clearRecords();
    m_records.encoding = c.encoding;
    m_records.scroller = c.scroller;
    QList<Entry> entries;
    entries.reserve(c.items.size());
    for (qsizetype i = 0; i < c.items.size(); ++i)
        entries << Entry{c.keys.at(i), c.items.at(i)};
    resetItems(entries);
    m_nextItem = c.nextItem;
    m_feed = c.feed;
    m_filePath = c.filePath;
    m_projectFolder = c.filePath.isEmpty() ? QString() : modString::GetFolder(c.filePath);
    m_disk = c.disk;
    // Lines of the file the editor could not show are asked about before a save replaces them,
    // as after an Open; a file changed since is asked about anyway.
    if (m_disk.sameAs(DiskIdentity::of(m_filePath)))
        noteUnreadLines(m_filePath, false);
    emit scrollerChanged();
    setCurrent(c.current);
    m_undo.clear();
    m_undo.resetClean(); // unsaved until the user saves it
    emit stateChanged();
}

void EditorDocument::keepOwnVersion() {
    m_disk = DiskIdentity::of(m_filePath);
    if (m_undo.isClean())
        m_undo.resetClean();
    emit stateChanged();
}

Dialogs::Answer EditorDocument::askOutsideChange() {
    const DiskIdentity now = DiskIdentity::of(m_filePath);
    if (!now.exists || m_disk.sameAs(now))
        return Dialogs::Answer::Yes;
    const Dialogs::Answer a = m_dialogs.message(
        m_dialogParent,
        Dialogs::Message{QStringLiteral("\"%1\" was changed by another program after you opened "
                                        "or last saved it.\nDo you want to replace it with the "
                                        "scroller as the editor shows it? Choose No to save the "
                                        "scroller under another name.")
                             .arg(QDir::toNativeSeparators(m_filePath)),
                         appinfo::kAppName, Dialogs::Buttons::YesNoCancel, Dialogs::Answer::Cancel,
                         Dialogs::Icon::Exclamation});
    return a;
}
