#pragma once

#include <QIcon>

class QStyle;

namespace toolicons {

// The drawings of the toolbar's commands.
enum class Glyph {
    New,
    Open,
    Save,
    Cut,
    Copy,
    Paste,
    AddItem,
    DeleteItem,
    MoveUp,
    MoveDown,
    WhatsThis,
    Help
};

// A command's icon: drawn here, so it looks the same on every desktop.
QIcon icon(Glyph glyph, const QStyle* style);

} // namespace toolicons
