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

// Reads an RSS 2.0 (or 1.0), Atom 1.0 or JSON Feed 1.x document. Relative links are resolved
// against base. Refused: documents that declare their own entities (they can expand without
// end), web pages, XML that is no feed, malformed XML or JSON.
ParseResult parse(const QByteArray& bytes, const QUrl& base = QUrl());

// A date as feeds write it: RFC 822 (RSS) or ISO 8601 (Atom, JSON Feed); invalid if neither.
QDateTime parseDate(const QString& text);

} // namespace feed
