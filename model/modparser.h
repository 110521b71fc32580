#pragma once

#include <QString>
#include <QStringView>

// Cuts a property line of a scroller script ("news.width = 200;") into name and raw value.
namespace modParser {

// The text between the first "." and the first "=" after it, spaces trimmed; empty when the
// line has no such pair.
QString GetPropName(QStringView line);

// The raw, untrimmed value of a property line. Returns false when the value cannot be cut out:
// a line without quotes whose first ";" stands before its first "=".
bool GetPropValue(QStringView line, QString* value);

// The same two cuts without copying: views into the line.
QStringView propNameView(QStringView line);
bool propValueView(QStringView line, QStringView* value);

// Removes space characters (only U+0020; tabs stay) from both ends.
QStringView trimSpaces(QStringView s);

} // namespace modParser
