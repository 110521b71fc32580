#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A small up/down control bound to a text field. Its arrows (and the Up and Down keys in the
// field) set the field's text to the next value, stepped by step() and kept within
// minimum()..maximum(). The field keeps any text the user types; a step starts from the field's
// value when it holds a number, else from the control's last value. The arrows take no focus,
// so clicking them never runs the field's leaving check.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int min, int max, int step, QWidget* parent = nullptr);

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int step() const { return m_step; }
    int value() const { return m_value; }
    QLineEdit* buddy() const { return m_buddy; }

    void stepBy(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_min;
    int m_max;
    int m_step;
    int m_value;
};
