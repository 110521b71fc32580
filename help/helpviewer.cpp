#include "helpviewer.h"

#include <QCursor>
#include <QWhatsThis>

namespace help {

HelpTarget HelpTarget::parse(const QString& file) {
    HelpTarget t;
    QString rest = file;
    // The window follows the last '>' after the file name.
    const int gt = rest.lastIndexOf(QLatin1Char('>'));
    if (gt >= 0) {
        t.windowName = rest.mid(gt + 1);
        rest.truncate(gt);
    }
    const int inner = rest.indexOf(QLatin1String("::"));
    if (inner >= 0) {
        t.inner = rest.mid(inner + 2);
        rest.truncate(inner);
    }
    t.chmPath = rest;
    return t;
}

QPoint HelpViewer::cursorPos() const {
    return QCursor::pos();
}

void HelpViewer::enterContextHelp(quintptr) {
    QWhatsThis::enterWhatsThisMode();
}

} // namespace help
