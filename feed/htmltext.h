#pragma once

#include <QString>

// Text rules for what a feed delivers: nothing a feed sends may run in the page or end a script
// string early.
namespace htmltext {

// The text a browser would show for an HTML fragment: tags dropped (script, style, template,
// head and the like with their content; an object's fallback content stays), entities decoded,
// white space collapsed.
QString toPlainText(const QString& html);

// An HTML fragment reduced to text and a few inline tags without attributes (b, i, em, strong,
// code, sub, sup, small, mark, s, u), balanced; everything else is dropped or escaped.
QString toSafeInline(const QString& html);

// Plain text as HTML text: & < > " escaped; a backslash, U+2028 and U+2029 as numeric entities;
// control characters, line breaks included, as spaces. Single quotes stay (the script escapes
// them).
QString escape(const QString& text);

// Runs of white space (line breaks, tabs, U+2028/U+2029 included) as one space, ends trimmed.
QString collapseSpace(const QString& text);

// At most max characters: cut at the last space in the second half when there is one, with
// "…" appended when anything was cut. A surrogate pair is never split. max <= 0 gives "".
QString cut(const QString& text, int max);

// Decodes one character reference at text[pos] ('&') as a browser does in text: every named
// one, numeric ones, and the old names without a semicolon. Returns the characters and sets
// *length to what was consumed, or returns a null string when it is no known reference.
QString decodeEntity(const QString& text, qsizetype pos, qsizetype* length);

// The characters of a named reference given without '&' and ';' ("eacute"); null if unknown.
QString namedEntity(QStringView name);

} // namespace htmltext
