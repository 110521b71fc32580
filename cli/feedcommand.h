#pragma once

#include <QStringList>

// tickora-script feed: writes or refreshes a scroller from a news feed.
namespace feedcommand {

extern const char kHelp[];

// Returns the exit status: 0 written, 1 the feed or the script failed, 2 usage error.
int run(const QStringList& args);

} // namespace feedcommand
