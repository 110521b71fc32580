#include "stringtable.h"

namespace stringtable {

QString text(int id) {
    switch (id) {
    case kSaveForFolder:
        return QStringLiteral("Save the scroller to set project folder. Press OK to continue.");
    case kSaveChanges:
        return QStringLiteral("Do you want to save the changes?");
    default:
        return {};
    }
}

} // namespace stringtable
