#pragma once

#include "document.h"

#include <QJsonObject>

// The command-line tool's JSON form of a document.
namespace docjson {

QJsonObject toJson(const ScrollerDocument& doc, const QString& error);

// Fills doc from a JSON object; a missing key keeps the new document's value. Returns false
// with a description in *error when a key is unknown or a value has the wrong type.
bool fromJson(const QJsonObject& o, ScrollerDocument* doc, QString* error);

} // namespace docjson
