#pragma once

#include <QByteArray>
#include <QString>

// The encodings a script file can be in. A file is read as UTF-8 when its bytes are valid
// UTF-8, else as Windows-1252, and written back the way it was read, so an unedited document
// keeps its bytes.
enum class TextEncoding { Utf8, Utf8Bom, Windows1252 };

namespace textencoding {

QString decode(const QByteArray& bytes, TextEncoding* detected);

// Encodes in the requested encoding. A text that Windows-1252 cannot carry, or whose
// Windows-1252 bytes would read back as UTF-8, is written as UTF-8 instead (nothing the user
// typed may be lost or change); *used says which encoding was written.
QByteArray encode(const QString& text, TextEncoding wanted, TextEncoding* used);

bool isValidUtf8(const QByteArray& bytes);

// The encoding decode() would detect, and the length of the byte-order mark it would skip.
TextEncoding detect(const QByteArray& bytes, qsizetype* bomLength);

// Decodes a span of bytes known to be in encoding e (a byte-order mark is not expected).
QString decodeSpan(const char* data, qsizetype size, TextEncoding e);

QString name(TextEncoding e);

} // namespace textencoding
