#pragma once

// Whole files in and out, for tests that set up and inspect what lies on disk.
#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes, or nothing when it cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
