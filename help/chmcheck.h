#pragma once

#include <QByteArray>
#include <QString>

namespace help::chmcheck {

// Checks the container structures of a compiled help file before the decompressing library
// reads them: headers, directory chunks and their links, every entry's place in the file, the
// compression's control data and reset table. Answers an empty text when the structures hold
// together, else a short description of the first fault found. The compressed data itself is
// not decoded here; the help process that reads it keeps the editor safe from what is left.
QString problem(const QByteArray& file);

// Where the bytes of an uncompressed inner file ("/#SYSTEM") begin in a sound file, or -1.
qint64 storedOffset(const QByteArray& file, const QByteArray& name);

} // namespace help::chmcheck
