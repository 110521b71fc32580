#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace feed {

enum class Format { Rss, Rdf, Atom, Json };

// One entry of a feed as read, before it becomes an item.
struct Entry {
    QString title;            // as the feed gives it; HTML only when titleIsHtml
    bool titleIsHtml = false; // an Atom title of type html or xhtml
    QString link;             // absolute http or https address, or empty
    QString summary;          // plain text, white space collapsed
    QDateTime date;           // invalid when the feed gives none or an unreadable one
};

struct Feed {
    Format format = Format::Rss;
    QString title;
    QList<Entry> entries;
};

} // namespace feed
