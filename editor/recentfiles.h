#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

// The File menu's list of the scripts opened or saved last, most recent first, numbered 1 to 8
// for the keyboard. Kept in the user's settings, so it survives restarts and is shared by
// every window of the user.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kLimit = 8;

    // The entries stand in menu before the entry `before`, followed by a separator of their own.
    RecentFiles(QMenu* menu, QAction* before, QObject* parent = nullptr);

    QStringList paths() const { return m_paths; }
    // Puts path first (once), keeps the newest kLimit and stores the list.
    void add(const QString& path);
    void remove(const QString& path);

    // The list with path put first, without repeats, at most limit long. Paths that name the
    // same file in different spellings count as one.
    static QStringList pushed(const QStringList& list, const QString& path, int limit = kLimit);
    // The menu caption of the entry at index (0-based): its number as access key, then the path.
    static QString caption(int index, const QString& path);

signals:
    void chosen(const QString& path);

private:
    QStringList stored() const;
    void store(const QStringList& paths);
    void rebuild();

    QMenu* m_menu;
    QAction* m_before;
    QAction* m_separator = nullptr;
    QList<QAction*> m_entries;
    QStringList m_paths;
};
