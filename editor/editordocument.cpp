// The document's records, its item commands and their undo.
#include "editordocument.h"

#include "modstring.h"

#include <QUndoCommand>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

const QString kCopySuffix = QStringLiteral("Dst");
const QString kSourceSuffix = QStringLiteral("Src");

qint16 nextNumber(qint16 n) {
    // The counter never goes back, so numbers are not reused; at its end it stays there and
    // the keys are kept apart by their suffix.
    return n < std::numeric_limits<qint16>::max() ? qint16(n + 1) : n;
}

} // namespace

// One step of the history: what it does and what takes it back, with the current item before
// and after, so undo and redo also bring back the item the user was looking at.
class DocumentCommand : public QUndoCommand {
public:
    DocumentCommand(EditorDocument& doc, const QString& text, std::function<void()> apply,
                    std::function<void()> revert)
        : QUndoCommand(text), m_doc(doc), m_apply(std::move(apply)), m_revert(std::move(revert)),
          m_currentBefore(doc.m_current) {}

    void redo() override {
        m_apply();
        if (m_currentAfter)
            m_doc.setCurrent(*m_currentAfter);
        else
            m_currentAfter = m_doc.m_current;
    }
    void undo() override {
        m_revert();
        m_doc.setCurrent(m_currentBefore);
    }

private:
    EditorDocument& m_doc;
    std::function<void()> m_apply;
    std::function<void()> m_revert;
    int m_currentBefore;
    std::optional<int> m_currentAfter;
};

EditorDocument::EditorDocument(platform::Dialogs& dialogs, const QString& appFolder,
                               QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_appFolder(appFolder) {
    connect(&m_undo, &QUndoStack::cleanChanged, this, &EditorDocument::stateChanged);
}

EditorDocument::~EditorDocument() = default;

ScrollerDocument EditorDocument::records() const {
    ScrollerDocument doc = m_records;
    for (clsItem& item : doc.items) {
        item.sName = modString::ScriptSafe(item.sName);
        item.sText = modString::ScriptSafe(item.sText);
        item.sWidth = modString::ScriptSafe(item.sWidth);
    }
    return doc;
}

void EditorDocument::setCurrent(int row) {
    if (row < -1 || row >= count())
        row = -1;
    if (row == m_current && !m_currentGone)
        return;
    m_current = row;
    m_currentGone = false;
    emit currentChanged(row);
}

// --- Primitive changes

void EditorDocument::insertEntry(int row, const Entry& entry) {
    const QString key =
        m_keySet.claim(entry.key) ? entry.key : m_keySet.claimWithSuffix(entry.key, kCopySuffix);
    m_records.items.insert(row, entry.item);
    m_keys.insert(row, key);
    if (m_current >= row)
        ++m_current;
    emit itemInserted(row);
}

EditorDocument::Entry EditorDocument::takeEntry(int row) {
    Entry e{m_keys.takeAt(row), m_records.items.takeAt(row)};
    m_keySet.release(e.key);
    if (m_current == row) {
        m_current = -1;
        m_currentGone = true;
    } else if (m_current > row) {
        --m_current;
    }
    emit itemRemoved(row);
    return e;
}

void EditorDocument::moveEntry(int from, int to) {
    if (from == to)
        return;
    m_records.items.move(from, to);
    m_keys.move(from, to);
    if (m_current == from)
        m_current = to;
    else if (from < to && m_current > from && m_current <= to)
        --m_current;
    else if (to < from && m_current >= to && m_current < from)
        ++m_current;
    emit itemMoved(from, to);
}

void EditorDocument::setKeyAt(int row, const QString& key) {
    QString& held = m_keys[row];
    if (held == key)
        return;
    m_keySet.release(held);
    held = m_keySet.claim(key) ? key : m_keySet.claimWithSuffix(key, kCopySuffix);
}

void EditorDocument::swapDown(int row) {
    // The item that goes one place down is a copy of itself: its key gets "Dst" (again while
    // taken); its old key is still held while the new one is chosen.
    const QString old = m_keys.at(row);
    m_keys[row] = m_keySet.claimWithSuffix(old, kCopySuffix);
    m_keySet.release(old);
}

void EditorDocument::putItem(int row, const clsItem& item) {
    m_records.items[row] = item;
    emit itemChanged(row);
}

void EditorDocument::putScroller(const clsScroller& s) {
    m_records.scroller = s;
    emit scrollerChanged();
}

void EditorDocument::clearRecords() {
    m_undo.clear();
    m_records = ScrollerDocument();
    m_keys.clear();
    m_keySet.clear();
    m_nextItem = 1;
    m_current = -1;
    m_feed = feed::Source();
    m_clip.reset();
    m_clipKey.clear();
    m_filePath.clear();
    m_projectFolder.clear();
    m_disk = DiskIdentity();
    emit itemsReset();
    emit scrollerChanged();
    emit currentChanged(-1);
}

void EditorDocument::resetItems(const QList<Entry>& entries) {
    m_records.items.clear();
    m_keys.clear();
    m_keySet.clear();
    m_records.items.reserve(entries.size());
    m_keys.reserve(entries.size());
    for (const Entry& e : entries) {
        m_keys << (m_keySet.claim(e.key) ? e.key : m_keySet.claimWithSuffix(e.key, kCopySuffix));
        m_records.items << e.item;
    }
    m_current = -1;
    emit itemsReset();
}

// --- Commands

void EditorDocument::setScroller(const clsScroller& s, const QString& what) {
    if (s == m_records.scroller)
        return;
    const clsScroller before = m_records.scroller;
    m_undo.push(new DocumentCommand(
        *this, what, [this, s] { putScroller(s); }, [this, before] { putScroller(before); }));
}

void EditorDocument::setItem(int row, const clsItem& item, const QString& what) {
    if (row < 0 || row >= count() || item == m_records.items.at(row))
        return;
    const clsItem before = m_records.items.at(row);
    // The edited item is shown when its edit is undone or redone.
    m_undo.push(new DocumentCommand(
        *this, what,
        [this, row, item] {
            putItem(row, item);
            setCurrent(row);
        },
        [this, row, before] {
            putItem(row, before);
            setCurrent(row);
        }));
}

void EditorDocument::addItem() {
    const qint16 n = m_nextItem;
    clsItem item;
    item.sName = QStringLiteral("Item %1").arg(n);
    item.sText = QStringLiteral("This is item %1").arg(n);
    const Entry entry{QStringLiteral("Item%1").arg(n), item};
    // New items go to the end of the list, whatever is current.
    const int row = count();
    m_undo.push(new DocumentCommand(
        *this, QStringLiteral("Add Item"),
        [this, entry, row, n] {
            insertEntry(row, entry);
            m_nextItem = nextNumber(n);
            setCurrent(row);
        },
        [this, row, n] {
            takeEntry(row);
            m_nextItem = n;
        }));
}

void EditorDocument::deleteItem(int row, const QString& what) {
    if (row < 0 || row >= count())
        return;
    auto gone = std::make_shared<Entry>();
    // The item that takes the removed one's place becomes current, else the one before it.
    m_undo.push(new DocumentCommand(
        *this, what,
        [this, row, gone] {
            *gone = takeEntry(row);
            setCurrent(row < count() ? row : row - 1);
        },
        [this, row, gone] { insertEntry(row, *gone); }));
}

void EditorDocument::moveItem(int from, int to, const QString& what) {
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to)
        return;
    const int low = std::min(from, to);
    const QStringList keysBefore = m_keys.mid(low, std::abs(to - from) + 1);
    m_undo.push(new DocumentCommand(
        *this, what,
        [this, from, to] {
            // As many single moves would: going down, the moved item is copied at each step;
            // going up, each item it passes is.
            if (to > from) {
                for (int step = from; step < to; ++step)
                    swapDown(from);
            } else {
                for (int row = from - 1; row >= to; --row)
                    swapDown(row);
            }
            moveEntry(from, to);
            setCurrent(to);
        },
        [this, from, to, low, keysBefore] {
            moveEntry(to, from);
            for (int i = 0; i < keysBefore.size(); ++i)
                m_keySet.release(m_keys.at(low + i));
            for (int i = 0; i < keysBefore.size(); ++i) {
                m_keys[low + i] = QString();
                setKeyAt(low + i, keysBefore.at(i));
            }
        }));
}

void EditorDocument::copyItem(int row) {
    if (row < 0 || row >= count())
        return;
    // The clipboard item takes the source's key, and the source's key gets "Src".
    m_clip = m_records.items.at(row).Clone();
    m_clipKey = m_keys.at(row);
    setKeyAt(row, m_clipKey + kSourceSuffix);
}

void EditorDocument::cutItem(int row) {
    if (row < 0 || row >= count())
        return;
    // The clipboard takes the key; the item leaves with its own, so that undo brings it back
    // exactly as it was.
    m_clip = m_records.items.at(row).Clone();
    m_clipKey = m_keys.at(row);
    deleteItem(row, QStringLiteral("Cut Item"));
}

void EditorDocument::pasteItem() {
    if (!m_clip)
        return;
    // After the current item, else at the end; the copy's key is the clipboard's with "Dst".
    const int row = m_current >= 0 ? m_current + 1 : count();
    QString key = m_clipKey + kCopySuffix;
    while (m_keySet.contains(key))
        key += kCopySuffix;
    const Entry entry{key, m_clip->Clone()};
    m_undo.push(new DocumentCommand(
        *this, QStringLiteral("Paste Item"),
        [this, row, entry] {
            insertEntry(row, entry);
            setCurrent(row);
        },
        [this, row] { takeEntry(row); }));
}

void EditorDocument::replaceFeedItems(const QList<int>& removedRows, int insertAt,
                                      const QList<clsItem>& items, const feed::Source& feedAfter,
                                      bool selectNew, const QString& what) {
    struct Step {
        QList<Entry> removed;
        QList<Entry> added;
        qint16 nextBefore = 1;
        qint16 nextAfter = 1;
        feed::Source feedBefore;
        int at = 0;
    };
    auto step = std::make_shared<Step>();
    step->nextBefore = m_nextItem;
    step->feedBefore = m_feed;
    qint16 n = m_nextItem;
    for (const clsItem& item : items) {
        step->added << Entry{QStringLiteral("Item%1").arg(n), item};
        n = nextNumber(n);
    }
    step->nextAfter = n;
    m_undo.push(new DocumentCommand(
        *this, what,
        [this, step, removedRows, insertAt, feedAfter, selectNew] {
            step->removed.clear();
            for (qsizetype i = removedRows.size() - 1; i >= 0; --i) {
                const int row = removedRows.at(i);
                if (row < 0 || row >= count())
                    continue;
                step->removed.prepend(takeEntry(row));
            }
            step->at = std::clamp(insertAt, 0, count());
            for (qsizetype i = 0; i < step->added.size(); ++i) {
                insertEntry(step->at + int(i), step->added.at(i));
                step->added[i].key = m_keys.at(step->at + int(i));
            }
            m_nextItem = step->nextAfter;
            m_feed = feedAfter;
            emit stateChanged();
            setCurrent(selectNew || m_current < 0 ? step->at : m_current);
        },
        [this, step, removedRows] {
            for (qsizetype i = step->added.size() - 1; i >= 0; --i)
                takeEntry(step->at + int(i));
            qsizetype r = 0;
            for (int row : removedRows) {
                if (r >= step->removed.size())
                    break;
                if (row >= 0 && row <= count())
                    insertEntry(row, step->removed.at(r++));
            }
            m_nextItem = step->nextBefore;
            m_feed = step->feedBefore;
            emit stateChanged();
        }));
}

void EditorDocument::setFeedSource(const feed::Source& source, const QString& what) {
    const feed::Source before = m_feed;
    m_undo.push(new DocumentCommand(
        *this, what,
        [this, source] {
            m_feed = source;
            emit stateChanged();
        },
        [this, before] {
            m_feed = before;
            emit stateChanged();
        }));
}
