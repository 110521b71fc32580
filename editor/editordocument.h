#pragma once

#include "dialogs.h"
#include "diskwatch.h"
#include "document.h"
#include "feedsource.h"
#include "nodekeys.h"

#include <QObject>
#include <QStringList>
#include <QUndoStack>

#include <functional>
#include <optional>

class QWidget;
namespace recovery {
struct Copy;
}

// The document the main window edits: the records (settings, items in order with their keys),
// the file it belongs to, the item clipboard and the undo history. Every change goes through a
// command on the undo stack, so the document is clean exactly when the stack stands at the index
// of the last save. The window shows the document and writes its fields into it; nothing here
// knows a widget beyond the parent of the questions it asks.
class EditorDocument : public QObject {
    Q_OBJECT
public:
    // What the question about unsaved changes ended in; only Cancelled stops the caller.
    // SaveWanted: the user said Yes and the caller saves (askSaveChanges only).
    enum class PromptResult { Clean, Saved, Discarded, Cancelled, SaveWanted };

    EditorDocument(platform::Dialogs& dialogs, const QString& appFolder, QObject* parent = nullptr);
    ~EditorDocument() override;

    // The window the questions belong to (none in tests).
    void setDialogParent(QWidget* parent) { m_dialogParent = parent; }

    // --- Records
    const clsScroller& scroller() const { return m_records.scroller; }
    int count() const { return int(m_records.items.size()); }
    const clsItem& item(int row) const { return m_records.items.at(row); }
    const QString& key(int row) const { return m_keys.at(row); }
    const QStringList& keys() const { return m_keys; }
    // The records as the script writer takes them, each text made safe for a script.
    ScrollerDocument records() const;
    qint16 nextItem() const { return m_nextItem; }
    const feed::Source& feedSource() const { return m_feed; }

    // The current item's row, -1 for none. Choosing it is no change of the document.
    int current() const { return m_current; }
    void setCurrent(int row);

    // The item clipboard: at most one item, with its key; it is no part of the undo history.
    bool hasClip() const { return m_clip.has_value(); }
    const clsItem& clipItem() const { return *m_clip; }
    const QString& clipKey() const { return m_clipKey; }

    // --- File state
    bool isDirty() const { return !m_undo.isClean(); }
    QString filePath() const { return m_filePath; }
    QString projectFolder() const { return m_projectFolder; }
    TextEncoding encoding() const { return m_records.encoding; }
    QString appFolder() const { return m_appFolder; }
    QUndoStack* undoStack() { return &m_undo; }
    const QUndoStack* undoStack() const { return &m_undo; }

    // --- Commands; each change is one step on the undo stack, named for the Edit menu.
    void setScroller(const clsScroller& s, const QString& what);
    void setItem(int row, const clsItem& item, const QString& what);
    void addItem();
    void deleteItem(int row, const QString& what = QStringLiteral("Delete Item"));
    // Moves one item from `from` to `to` as that many single moves would, in one step.
    void moveItem(int from, int to, const QString& what);
    void copyItem(int row);
    void cutItem(int row);
    void pasteItem();
    // Removes the rows given (ascending), puts `items` at `insertAt` (counted after the
    // removal) and remembers `feedAfter`; the current item is the first new one when
    // `selectNew`, else stays.
    void replaceFeedItems(const QList<int>& removedRows, int insertAt, const QList<clsItem>& items,
                          const feed::Source& feedAfter, bool selectNew, const QString& what);
    void setFeedSource(const feed::Source& source, const QString& what);

    // --- The document's life (editordocument_file.cpp)
    void newDocument();
    // Opens a script without asking first; false when the reader failed (and said why).
    bool open(const QString& path);
    bool save();
    bool saveAs();
    void saveAsDefault();
    // Asks whether to save unsaved changes, without saving. `typing`: the window holds changes
    // not in the document (typing its checks refuse).
    PromptResult askSaveChanges(bool typing = false);
    // Asks and saves on Yes, for a caller with no fields of its own to take in first.
    PromptResult PromptSaveChanges();
    // Writes the records as a script (in `as`, when given, else in the document's encoding).
    // `consequence` follows a failed write, `copyConsequence` a project file not copied.
    bool writeScript(const QString& path, const QString& consequence,
                     const QString& copyConsequence, TextEncoding* used = nullptr,
                     std::optional<TextEncoding> as = std::nullopt);
    QStringList scriptFilters() const;

    // --- Recovery and the file on disk (editordocument_recovery.cpp)
    recovery::Copy snapshot() const;
    // Takes in a recovery copy: the document is the copy's, unsaved, under the copy's file name.
    void restore(const recovery::Copy& copy);
    // The script file as it was read or last saved; another program may have changed it since.
    const DiskIdentity& diskIdentity() const { return m_disk; }
    // The user knows of the file's present state and keeps the document's own: the document is
    // unsaved, and the next save replaces the file without asking again.
    void keepOwnVersion();
    void inform(const QString& text,
                platform::Dialogs::Icon icon = platform::Dialogs::Icon::None) const;

signals:
    // The whole list was replaced (New, Open, a feed refresh).
    void itemsReset();
    void itemInserted(int row);
    void itemRemoved(int row);
    void itemMoved(int from, int to);
    void itemChanged(int row);
    void scrollerChanged();
    void currentChanged(int row);
    // The file, the folder, the clean state or the feed changed: the caption and menus follow.
    void stateChanged();

private:
    friend class DocumentCommand;
    struct Entry {
        QString key;
        clsItem item;
    };

    // Primitive changes, used by the commands in both directions.
    void insertEntry(int row, const Entry& entry);
    Entry takeEntry(int row);
    void moveEntry(int from, int to);
    void setKeyAt(int row, const QString& key);
    void swapDown(int row); // the item at row and the next change places, by the move key rule
    void putItem(int row, const clsItem& item);
    void putScroller(const clsScroller& s);
    void clearRecords();
    void resetItems(const QList<Entry>& entries);

    // editordocument_file.cpp
    bool LoadScroller(const QString& path);
    void noteUnreadLines(const QString& path, bool readerFailed);
    bool isPartlyRead(const QString& path) const;
    platform::Dialogs::Answer askReplacePartlyRead(platform::Dialogs::Buttons buttons);
    void readFeedSource(const QString& scriptPath);
    void writeFeedSource(const QString& scriptPath);
    void markSaved();
    // Yes when the file is still the one read or saved (or is gone); else what the user
    // answered to replacing another program's change (No: save under another name).
    platform::Dialogs::Answer askOutsideChange();

    platform::Dialogs& m_dialogs;
    QString m_appFolder;
    QWidget* m_dialogParent = nullptr;

    ScrollerDocument m_records;
    QStringList m_keys; // beside m_records.items, row for row
    NodeKeys m_keySet;
    qint16 m_nextItem = 1;
    int m_current = -1;
    bool m_currentGone = false; // the current item was removed; the next choice is news
    feed::Source m_feed;
    std::optional<clsItem> m_clip;
    QString m_clipKey;
    QString m_filePath;
    QString m_projectFolder;
    QUndoStack m_undo;
    DiskIdentity m_disk;

    // The file the document was opened from when some of its lines were not taken in, and
    // which they are; writing over it needs the user's word.
    QString m_partlyReadPath;
    QString m_unreadSummary;
    // Own pages beside a script that the user was told are kept, once each.
    QStringList m_toldKeptPages;
};
