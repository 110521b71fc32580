#pragma once

#include "feedentry.h"

#include <QByteArray>
#include <QUrl>

namespace feed {

struct ParseResult {
    bool ok = false;
    QString error; // for a person: what the answer is instead of a feed, and what to do
    Feed feed;
};

// Reads an RSS 0.90 to 2.0, Atom 0.3 or 1.0, or JSON Feed 1.x document. Its encoding comes from
// a byte-order mark, then the charset of contentType (the HTTP Content-Type, empty for a file)
// when that is an XML media type, then the XML declaration. Relative links are resolved against
// xml:base, then base. Refused: documents that declare their own entities (they can expand
// without end), web pages, XML that is no feed, malformed XML or JSON.
ParseResult parse(const QByteArray& bytes, const QUrl& base = QUrl(),
                  const QString& contentType = QString());

// A date as feeds write it: RFC 822 (RSS) or ISO 8601 (Atom, JSON Feed); invalid if neither.
QDateTime parseDate(const QString& text);

} // namespace feed
