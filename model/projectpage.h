#pragma once

#include <QByteArray>
#include <QString>

// The sample page that a save puts beside the script. Users make it their own; a page that is
// not one of the versions we delivered is theirs and is never replaced.
namespace projectpage {

// A fingerprint of a page that does not depend on its line ends.
QByteArray fingerprint(const QByteArray& page);

// Whether the page is one of the versions of tickora.htm delivered with earlier releases.
bool isEarlierDelivery(const QByteArray& page);

// Whether the page at `existing` may be replaced by the delivered page at `delivered`: it is
// missing, is the delivered page, or an earlier delivered one. A page that cannot be read stays.
bool mayReplace(const QString& existing, const QString& delivered);

} // namespace projectpage
