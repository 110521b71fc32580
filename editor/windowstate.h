#pragma once

#include <QList>
#include <QRect>

class QMainWindow;
class QSettings;
class QTabWidget;

// The main window's size, position, splitters and current tab, kept between sessions.
namespace windowstate {

// Where a window with the given geometry may stand on the screens given (their available
// areas): unchanged while enough of its top edge, where it is grabbed, lies on one screen that
// it fits on; larger than that screen, it is cut to it; otherwise moved onto the screen it
// overlaps most (else the first) and made to fit there.
QRect onScreen(const QRect& window, const QList<QRect>& screens);

void save(QSettings& settings, const QMainWindow& window, const QTabWidget& tabs);
// Sets geometry and splitters; returns the tab to show, or -1 when none was kept.
int restore(const QSettings& settings, QMainWindow& window);

} // namespace windowstate
