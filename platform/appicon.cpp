#include "appicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace platform {

namespace {

// A framed box with three text lines and an upward arrow: a scroller.
QPixmap drawIcon(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x7a, 0xd5));
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    p.setBrush(QColor(0xfb, 0xfb, 0xfb));
    p.drawRoundedRect(QRectF(12, 14, 30, 36), 4, 4);
    p.setBrush(QColor(0x9d, 0xb8, 0xd9));
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(16, 20 + i * 10, i == 2 ? 14 : 22, 5), 2.5, 2.5);
    QPainterPath arrow;
    arrow.moveTo(51, 14);
    arrow.lineTo(57, 24);
    arrow.lineTo(53, 24);
    arrow.lineTo(53, 50);
    arrow.lineTo(49, 50);
    arrow.lineTo(49, 24);
    arrow.lineTo(45, 24);
    arrow.closeSubpath();
    p.setBrush(QColor(0xf2, 0xc9, 0x4c));
    p.drawPath(arrow);
    return pm;
}

} // namespace

QIcon applicationIcon() {
    static const QIcon icon = [] {
        QIcon drawn;
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            drawn.addPixmap(drawIcon(size));
        return QIcon::fromTheme(QStringLiteral("tickora-creator"), drawn);
    }();
    return icon;
}

} // namespace platform
