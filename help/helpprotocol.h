#pragma once

#include "helpviewer.h"

#include <QByteArray>
#include <QJsonObject>

// What the editor and its help process say to each other: one JSON object a line.
//   editor -> help:  {"call":"help","file":..,"command":n,"data":{..}}
//                    {"call":"popup","file":..,"id":n}
//   help -> editor:  {"handle":n} | {"text":".."} , either with "failure":{kind,file,detail}
// A line that does not parse, or a field of the wrong type, reads as nothing asked or answered.
namespace help::protocol {

QByteArray line(const QJsonObject& object);
// The object of one line; empty when it is not one.
QJsonObject parse(const QByteArray& line);

QJsonObject encodeData(const HelpData& data);
HelpData decodeData(const QJsonObject& object);

QJsonObject encodeFailure(const HelpFailure& failure);
// False when the object holds no failure.
bool decodeFailure(const QJsonObject& object, HelpFailure* failure);

} // namespace help::protocol
