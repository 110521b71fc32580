#include "helppopup.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace help {

namespace {

QColor fromColorRef(quint32 c) {
    return QColor(int(c & 0xff), int(c >> 8 & 0xff), int(c >> 16 & 0xff));
}

} // namespace

HelpPopup::HelpPopup(const QString& text, const HelpPopupRecord& r, QWidget* parent)
    : QFrame(parent, Qt::Popup) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    m_label = new QLabel(text, this);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setAccessibleName(tr("Help"));
    setAccessibleDescription(text);

    // "face, size, charset, styles"
    const QStringList parts = r.font.split(QLatin1Char(','));
    QFont font = QApplication::font();
    if (!parts.value(0).trimmed().isEmpty())
        font.setFamilies({parts.value(0).trimmed(), QApplication::font().family()});
    bool ok = false;
    const double size = parts.value(1).trimmed().toDouble(&ok);
    if (ok && size > 0)
        font.setPointSizeF(size);
    const QString styles = parts.value(3);
    font.setBold(styles.contains(QLatin1String("Bold"), Qt::CaseInsensitive));
    font.setItalic(styles.contains(QLatin1String("Italic"), Qt::CaseInsensitive));
    font.setUnderline(styles.contains(QLatin1String("Underline"), Qt::CaseInsensitive));
    m_label->setFont(font);

    // Equal text and background colours (both 0 by default) would hide the text: the tooltip
    // colours of the desktop are used instead.
    QPalette pal = palette();
    if (r.textColor != r.backColor) {
        pal.setColor(QPalette::Window, fromColorRef(r.backColor));
        pal.setColor(QPalette::WindowText, fromColorRef(r.textColor));
    } else {
        pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
        pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
    }
    setPalette(pal);
    m_label->setPalette(pal);
    setAutoFillBackground(true);

    auto margin = [](int m) { return m < 0 ? 10 : m; };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin(r.marginLeft), margin(r.marginTop), margin(r.marginRight),
                               margin(r.marginBottom));
    layout->addWidget(m_label);
    m_label->setMaximumWidth(380);
    adjustSize();

    QPoint at = r.pos + QPoint(8, 12);
    if (QScreen* screen = QGuiApplication::screenAt(r.pos)) {
        const QRect avail = screen->availableGeometry();
        at.setX(qBound(avail.left(), at.x(), std::max(avail.left(), avail.right() - width())));
        at.setY(qBound(avail.top(), at.y(), std::max(avail.top(), avail.bottom() - height())));
    }
    move(at);
}

QString HelpPopup::text() const {
    return m_label->text();
}

quintptr HelpPopup::replace(QPointer<HelpPopup>& current, quintptr owner, const QString& text,
                            const HelpPopupRecord& record) {
    if (text.trimmed().isEmpty())
        return 0;
    if (current)
        current->close();
    QWidget* parent = owner ? QWidget::find(WId(owner)) : nullptr;
    current = new HelpPopup(text, record, parent ? parent->window() : nullptr);
    current->show();
    return quintptr(current->winId());
}

} // namespace help
