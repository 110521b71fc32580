#pragma once

#include "clsitem.h"
#include "feedentry.h"

#include <QList>

namespace feed {

// How entries become items.
struct ItemOptions {
    int nameLength = 30;      // the item name is the title cut to this length
    int summaryLength = 0;    // the summary's plain text after the title, cut; 0 for none
    bool titleMarkup = false; // the title is HTML: a few inline tags are kept

    friend bool operator==(const ItemOptions& a, const ItemOptions& b) {
        return a.nameLength == b.nameLength && a.summaryLength == b.summaryLength &&
               a.titleMarkup == b.titleMarkup;
    }
};

// The item for one entry: the title as a link to the entry (HTML-escaped, quotes escaped as \'),
// optionally followed by the summary; the name is the title cut short. Nothing in either can
// end a script string early: no raw backslash, unescaped quote or line break.
clsItem makeItem(const Entry& entry, const ItemOptions& options);

// The items for the first max entries (all when max <= 0), skipping entries that have neither
// title, summary nor link.
QList<clsItem> makeItems(const QList<Entry>& entries, const ItemOptions& options, int max = 0);

// An address as it goes into an href: only http and https, fully percent-encoded, so it holds
// no quote, backslash or space; empty for anything else.
QString hrefFor(const QString& link);

// A name, title or summary as the script holds it: quotes escaped as \', a backslash as
// "&#92;", line breaks and control characters as spaces.
QString scriptText(const QString& text);

} // namespace feed
