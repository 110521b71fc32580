#pragma once

#include <QString>
#include <QStringView>

// The string functions of the editor: the text rules that make item names and texts fit for the
// script, and the path arithmetic of links. Pure string functions; none touches the file system.
namespace modString {

// Escapes every single quote that is not yet preceded by a backslash; idempotent.
QString EscapeQuotes(const QString& text);

// Turns every CR LF pair into "<br>"; a lone CR or LF stays.
QString LineBreaksToBr(const QString& text);

// The cleanup of an item's name, text and width: every line break (CR LF, CR or LF) becomes
// "<br>", the separators U+2028 and U+2029 become character references, single quotes are
// escaped, and every backslash that is not the "\'" escape of a quote becomes "&#92;". The
// page then shows what was typed, and the script reads back the same. Idempotent.
QString ScriptSafe(const QString& text);

// Why text cannot stand between single quotes in a script (and read back the same), or an
// empty string. Empty exactly when ScriptSafe(text) == text.
QString scriptStringProblem(QStringView text);

// A value quoted in a message: the whole of a short value, else its beginning, clearly cut.
QString excerpt(QStringView value);

// The folder part of a path, without its closing separator; "/" and "\" both separate, except
// in a POSIX path (one that starts with "/"), where a backslash belongs to a name.
QString GetFolder(const QString& sPath);

// The address that reaches sFile from a page in sFolder, relative where both lie on the same
// drive (or, for POSIX paths, both are absolute); otherwise a file URL. A backslash is a
// separator in drive paths only.
QString GetRelativeUrl(const QString& sFolder, const QString& sFile);

} // namespace modString
