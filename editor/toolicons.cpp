#include "toolicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

namespace toolicons {

namespace {

const QColor kInk(0x33, 0x44, 0x55);
const QColor kAccent(0x2a, 0x7a, 0xd5);
const QColor kPaper(0xfb, 0xfb, 0xfb);

void page(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 5, r.top());
    path.lineTo(r.right(), r.top() + 5);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(path);
}

void draw(QPainter& p, Glyph glyph) {
    p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (glyph) {
    case Glyph::New:
        page(p, QRectF(5, 2.5, 14, 19));
        p.setPen(QPen(kAccent, 2));
        p.drawLine(QPointF(12, 10), QPointF(12, 17));
        p.drawLine(QPointF(8.5, 13.5), QPointF(15.5, 13.5));
        break;
    case Glyph::Open: {
        p.setBrush(QColor(0xf2, 0xc9, 0x4c));
        QPainterPath folder;
        folder.moveTo(2.5, 6);
        folder.lineTo(9, 6);
        folder.lineTo(11, 8);
        folder.lineTo(20.5, 8);
        folder.lineTo(20.5, 19);
        folder.lineTo(2.5, 19);
        folder.closeSubpath();
        p.drawPath(folder);
        break;
    }
    case Glyph::Save:
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 3.5, 10, 6));
        p.drawRect(QRectF(6.5, 13, 11, 7.5));
        break;
    case Glyph::Cut:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(4, 14, 6, 6));
        p.drawEllipse(QRectF(14, 14, 6, 6));
        p.drawLine(QPointF(9, 15), QPointF(17, 3));
        p.drawLine(QPointF(15, 15), QPointF(7, 3));
        break;
    case Glyph::Copy:
        page(p, QRectF(3.5, 2.5, 11, 14));
        page(p, QRectF(9.5, 7.5, 11, 14));
        break;
    case Glyph::Paste:
        p.setBrush(QColor(0xc8, 0x9a, 0x5a));
        p.drawRoundedRect(QRectF(4.5, 4, 15, 17.5), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7.5, 7.5, 9, 11));
        p.setBrush(kInk);
        p.drawRoundedRect(QRectF(9, 2.5, 6, 3), 1, 1);
        break;
    case Glyph::AddItem:
        p.setPen(QPen(QColor(0x2e, 0x9d, 0x4a), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 5), QPointF(12, 19));
        p.drawLine(QPointF(5, 12), QPointF(19, 12));
        break;
    case Glyph::DeleteItem:
        p.setPen(QPen(QColor(0xc8, 0x3a, 0x3a), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    case Glyph::MoveUp:
    case Glyph::MoveDown: {
        const bool up = glyph == Glyph::MoveUp;
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        QPolygonF arrow;
        if (up)
            arrow << QPointF(12, 3) << QPointF(20, 12) << QPointF(15, 12) << QPointF(15, 21)
                  << QPointF(9, 21) << QPointF(9, 12) << QPointF(4, 12);
        else
            arrow << QPointF(12, 21) << QPointF(20, 12) << QPointF(15, 12) << QPointF(15, 3)
                  << QPointF(9, 3) << QPointF(9, 12) << QPointF(4, 12);
        p.drawPolygon(arrow);
        break;
    }
    case Glyph::WhatsThis: { // a pointer asking, unlike the Help button's round sign
        QPolygonF arrow;
        arrow << QPointF(3, 3) << QPointF(3, 19) << QPointF(7, 15) << QPointF(10, 21.5)
              << QPointF(13, 20) << QPointF(10, 14) << QPointF(15.5, 14);
        p.setBrush(Qt::white);
        p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(arrow);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(13);
        p.setFont(f);
        p.setPen(kAccent);
        p.drawText(QRectF(13, 1, 10, 14), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Glyph::Help: {
        p.setBrush(kAccent);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(3, 3, 18, 18));
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(14);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    }
}

QPixmap render(Glyph glyph, qreal dpr) {
    QPixmap pm(QSize(24, 24) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, glyph);
    return pm;
}

} // namespace

QIcon icon(Glyph glyph, const QStyle* style) {
    QIcon result;
    for (qreal dpr : {1.0, 2.0}) {
        const QPixmap pm = render(glyph, dpr);
        result.addPixmap(pm, QIcon::Normal);
        if (style) {
            QStyleOption opt;
            result.addPixmap(style->generatedIconPixmap(QIcon::Disabled, pm, &opt),
                             QIcon::Disabled);
        }
    }
    return result;
}

} // namespace toolicons
