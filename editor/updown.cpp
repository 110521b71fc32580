#include "updown.h"

#include "numberrule.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    b->setFixedWidth(18);
    b->setIconSize(QSize(8, 8));
    return b;
}

} // namespace

UpDown::UpDown(QLineEdit* buddy, int min, int max, int step, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_min(min), m_max(max), m_step(step), m_value(min) {
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = arrowButton(Qt::UpArrow, this);
    m_down = arrowButton(Qt::DownArrow, this);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    // Named after the field, whose label names it by the time the control is made.
    const QString field = buddy->accessibleName();
    m_up->setAccessibleName(field.isEmpty() ? QStringLiteral("Up") : field + QStringLiteral(" up"));
    m_down->setAccessibleName(field.isEmpty() ? QStringLiteral("Down")
                                              : field + QStringLiteral(" down"));
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_buddy->installEventFilter(this);
}

void UpDown::stepBy(int steps) {
    if (!isEnabled())
        return;
    qint64 base = m_value;
    if (const auto typed = numberrule::wholeNumberClamped(m_buddy->text(), m_min - qint64(m_step),
                                                          m_max + qint64(m_step)))
        base = *typed;
    const qint64 next = std::clamp<qint64>(base + qint64(steps) * m_step, m_min, m_max);
    m_value = int(next);
    const QString text = QString::number(m_value);
    if (m_buddy->text() != text)
        m_buddy->setText(text);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int steps = key->key() == Qt::Key_Up         ? 1
                          : key->key() == Qt::Key_Down     ? -1
                          : key->key() == Qt::Key_PageUp   ? 10
                          : key->key() == Qt::Key_PageDown ? -10
                                                           : 0;
        if (steps != 0 && key->modifiers() == Qt::NoModifier) {
            stepBy(steps);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
