#pragma once

#include <QString>

// The HTML that puts a saved scroller into a page standing in the scroller's folder: the two
// runtime files, then the scroller's own script, all by relative paths.
namespace embedcode {

QString forScript(const QString& scriptPath);

} // namespace embedcode
