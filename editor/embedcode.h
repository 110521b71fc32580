#pragma once

#include <QString>

#include "clsscroller.h"

// The HTML that puts a saved scroller into a page standing in the scroller's folder: a container
// of the box's size named after the scroller, then the two runtime files and the scroller's own
// script by relative paths, deferred so that they never hold up the page.
namespace embedcode {

QString forScript(const QString& scriptPath, const clsScroller& scroller);

} // namespace embedcode
