#include "helpviewer.h"

#include <QCursor>
#include <QWhatsThis>

namespace help {

QPoint HelpViewer::cursorPos() const {
    return QCursor::pos();
}

void HelpViewer::enterContextHelp(quintptr) {
    QWhatsThis::enterWhatsThisMode();
}

} // namespace help
