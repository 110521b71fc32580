#pragma once

#include "document.h"
#include "readcheck.h"

#include <QJsonObject>

// The command-line tool's JSON form of a document.
namespace docjson {

// unread: the lines of the script that the document does not carry.
QJsonObject toJson(const ScrollerDocument& doc, const QString& error,
                   const QList<readcheck::Line>& unread);

// Fills doc from a JSON object; a missing key keeps the new document's value, and "error" and
// "unread" (what "read" reports) are ignored. Returns false
// with a description in *error when a key is unknown or a value has the wrong type.
bool fromJson(const QJsonObject& o, ScrollerDocument* doc, QString* error);

} // namespace docjson
