#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing whole files with every failure seen and described.
namespace fileio {

// File names are bytes. Bytes that are not UTF-8 are held in a path as U+DC80..U+DCFF, so any
// name the system gives comes back to the same bytes.
QString pathFromNative(const QByteArray& bytes);
QByteArray pathToNative(const QString& path);

// Largest script the reader takes.
constexpr qint64 kMaxScriptBytes = 64 * 1024 * 1024;

struct ReadResult {
    bool ok = false;
    bool opened = false; // false: the file could not be opened at all
    QByteArray bytes;
    QString error; // why, for a person, without the path
};

// Reads a regular file of at most maxBytes; folders, devices, pipes and larger files are
// refused without being read.
ReadResult readRegularFile(const QString& path, qint64 maxBytes = kMaxScriptBytes);

// Replaces the file's contents with bytes, or creates it. The bytes go into a new file beside
// it that replaces the old one only once it is completely on disk. When the folder does not
// let us create that file but the file itself may be written, it is written in place, and its
// old bytes are put back if that fails. Anything but a regular file is refused. Returns an
// empty string, or why the file was not written, for a person, without the path.
QString writeFile(const QString& path, const QByteArray& bytes);

} // namespace fileio
