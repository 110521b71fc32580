#pragma once

#include "clsitem.h"
#include "feeditems.h"

#include <QList>
#include <QString>

#include <optional>

// The feed a scroller remembers, so that its feed items can be refreshed. It lives in a side
// file beside the script ("news.js" -> "news.feed.json"): the script itself stays exactly as the
// writer makes it, for every reader of the format, and the address never lands in the page.
namespace feed {

struct Source {
    QString address; // as the user gave it: an http(s) address or a file path
    ItemOptions options;
    int maxEntries = 0;   // how many entries a refresh takes, newest first; 0 for all
    QList<clsItem> items; // the items the last import or refresh added, as held
    // From the read that gave those items: a refresh asks the server whether anything changed.
    QString etag;
    QString lastModified;

    bool isSet() const { return !address.isEmpty(); }
};

QString sideFilePath(const QString& scriptPath);

struct SourceRead {
    std::optional<Source> source; // none: no side file, or a damaged one (see error)
    QString error;
};
SourceRead readSource(const QString& scriptPath);

// Writes the side file atomically; returns an empty string, or what failed.
QString writeSource(const QString& scriptPath, const Source& source);
// Removes the side file if there is one; returns an empty string, or what failed.
QString removeSource(const QString& scriptPath);

// Where a refresh puts the new feed items: the items of `current` that are still the remembered
// feed items (same name and text; each remembered item matches one current item at most) are
// removed, and the new ones go where the first of them stood, or at the end.
struct RefreshPlan {
    QList<int> removed; // indices into current, ascending
    int insertAt = 0;   // index in the list after the removal
};
RefreshPlan planRefresh(const QList<clsItem>& current, const QList<clsItem>& remembered);

// current with the plan carried out.
QList<clsItem> applyRefresh(const QList<clsItem>& current, const QList<clsItem>& remembered,
                            const QList<clsItem>& fresh);

} // namespace feed
