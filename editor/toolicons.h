#pragma once

#include <QIcon>

class QStyle;

namespace toolicons {

// The icon of a toolbar position (1..16): drawn here, so it looks the same on every desktop.
QIcon icon(int position, const QStyle* style);

} // namespace toolicons
