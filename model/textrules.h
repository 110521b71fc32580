#pragma once

#include <QString>

// The text rules that make item names and texts fit for the script.
namespace modString {

// Escapes every single quote that is not yet preceded by a backslash; idempotent.
QString EscapeQuotes(const QString& text);

// Turns every CR LF pair into "<br>"; a lone CR or LF stays.
QString LineBreaksToBr(const QString& text);

} // namespace modString
