#pragma once

#include "helpviewer.h"

#include <QFrame>

class QLabel;

namespace help {

// A small text note shown beside the pointer; any click or key closes it.
class HelpPopup : public QFrame {
    Q_OBJECT
public:
    HelpPopup(const QString& text, const HelpPopupRecord& record, QWidget* parent = nullptr);
    QString text() const;

private:
    QLabel* m_label = nullptr;
};

} // namespace help
