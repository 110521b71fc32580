#include "windowstate.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>

#include <algorithm>

namespace windowstate {

namespace {

const QString kGeometry = QStringLiteral("window/geometry");
const QString kMaximized = QStringLiteral("window/maximized");
const QString kTab = QStringLiteral("window/tab");
const QString kSplitter = QStringLiteral("window/splitter/");

// Enough of the top edge to grab the window by.
constexpr int kGrabWidth = 100;
constexpr int kGrabHeight = 30;

qint64 area(const QRect& r) {
    return r.isValid() ? qint64(r.width()) * r.height() : 0;
}

} // namespace

QRect onScreen(const QRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty() || !window.isValid())
        return window;
    const QRect top(window.left(), window.top(), window.width(),
                    std::min(kGrabHeight, window.height()));
    const int needed = std::min(kGrabWidth, window.width());
    QRect best;
    for (const QRect& s : screens) {
        const QRect on = top & s;
        // The top edge itself must be on the screen, not only a band below it.
        if (on.width() >= needed && s.contains(QPoint(on.left(), window.top()))) {
            if (window.width() <= s.width() && window.height() <= s.height())
                return window;
            best = s; // a window saved on a larger screen is cut to this one
            break;
        }
    }
    if (best.isNull()) {
        best = screens.first();
        qint64 most = 0;
        for (const QRect& s : screens) {
            if (area(window & s) > most) {
                most = area(window & s);
                best = s;
            }
        }
    }
    QRect r = window;
    r.setWidth(std::min(window.width(), best.width()));
    r.setHeight(std::min(window.height(), best.height()));
    r.moveLeft(std::clamp(window.left(), best.left(), best.right() - r.width() + 1));
    r.moveTop(std::clamp(window.top(), best.top(), best.bottom() - r.height() + 1));
    return r;
}

void save(QSettings& settings, const QMainWindow& window, const QTabWidget& tabs) {
    settings.setValue(kGeometry, window.normalGeometry());
    settings.setValue(kMaximized, window.isMaximized());
    settings.setValue(kTab, tabs.currentIndex());
    for (const QSplitter* s : window.findChildren<QSplitter*>())
        if (!s->objectName().isEmpty())
            settings.setValue(kSplitter + s->objectName(), s->saveState());
}

int restore(const QSettings& settings, QMainWindow& window) {
    const QRect kept = settings.value(kGeometry).toRect();
    if (kept.isValid()) {
        QList<QRect> screens;
        for (const QScreen* s : QGuiApplication::screens())
            screens << s->availableGeometry();
        const QRect r = onScreen(kept, screens);
        // Client geometry, as it was saved: a move() would count the frame in and creep.
        window.setGeometry(QRect(r.topLeft(), r.size().expandedTo(window.minimumSize())));
    }
    if (settings.value(kMaximized).toBool())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    for (QSplitter* s : window.findChildren<QSplitter*>()) {
        const QByteArray state = settings.value(kSplitter + s->objectName()).toByteArray();
        if (!s->objectName().isEmpty() && !state.isEmpty())
            s->restoreState(state);
    }
    bool ok = false;
    const int tab = settings.value(kTab).toInt(&ok);
    return ok ? tab : -1;
}

} // namespace windowstate
