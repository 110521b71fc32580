#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// What a script file on disk was when the editor last read or wrote it, to tell whether another
// program has changed it since.
struct DiskIdentity {
    bool exists = false;
    qint64 size = -1;
    qint64 modified = 0; // milliseconds since the epoch
    QByteArray hash;     // of the content; empty when the file was not there

    static DiskIdentity of(const QString& path);
    // Whether `now` (taken later with of()) is still this file. A new time with the same bytes
    // (a touch, a copy of the same script) is no change.
    bool sameAs(const DiskIdentity& now) const;
};

// Watches one file for changes made by other programs, including a replacement by rename (as
// atomic writers do), which a plain file watch loses. Reports after a short pause, once for a
// burst of changes; the receiver compares identities to learn what happened.
class DiskWatch : public QObject {
    Q_OBJECT
public:
    explicit DiskWatch(QObject* parent = nullptr);
    // Watches this file from now on (empty: none).
    void watch(const QString& path);
    QString path() const { return m_path; }
    static void setDelay(int ms);

signals:
    void changed();

private:
    void rearm();

    QFileSystemWatcher* m_watcher;
    QTimer* m_pause;
    QString m_path;
};
