#pragma once

#include <QIcon>

namespace platform {

// The program's icon: the desktop theme's "tickora-creator" when installed, else drawn here,
// so a bare machine without a theme shows it too.
QIcon applicationIcon();

} // namespace platform
