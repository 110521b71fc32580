#include "diskwatch.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {
int g_delayMs = 200;
}

DiskIdentity DiskIdentity::of(const QString& path) {
    DiskIdentity id;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return id;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return id; // unreadable counts as gone: the user cannot have it back from there
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return id;
    id.exists = true;
    id.size = info.size();
    id.modified = info.lastModified().toMSecsSinceEpoch();
    id.hash = hash.result();
    return id;
}

bool DiskIdentity::sameAs(const DiskIdentity& now) const {
    if (exists != now.exists)
        return false;
    return !exists || (size == now.size && hash == now.hash);
}

void DiskWatch::setDelay(int ms) {
    g_delayMs = ms;
}

DiskWatch::DiskWatch(QObject* parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)), m_pause(new QTimer(this)) {
    m_pause->setSingleShot(true);
    connect(m_pause, &QTimer::timeout, this, [this] {
        rearm();
        emit changed();
    });
    const auto note = [this] {
        // A file replaced by rename is no longer watched: watch the one now under the name.
        rearm();
        m_pause->start(g_delayMs);
    };
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, note);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this, note] {
        // The folder changes with every file in it; only a change of ours is news.
        if (!m_watcher->files().contains(m_path) || !QFileInfo::exists(m_path))
            note();
    });
}

void DiskWatch::watch(const QString& path) {
    if (path == m_path)
        return;
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    m_pause->stop();
    m_path = path;
    if (!path.isEmpty())
        m_watcher->addPath(QFileInfo(path).absolutePath());
    rearm();
}

void DiskWatch::rearm() {
    if (!m_path.isEmpty() && !m_watcher->files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher->addPath(m_path);
}
