#pragma once

#include "helpviewer.h"

#include <QFrame>
#include <QPointer>

class QLabel;

namespace help {

// A small text note shown beside the pointer; any click or key closes it.
class HelpPopup : public QFrame {
    Q_OBJECT
public:
    HelpPopup(const QString& text, const HelpPopupRecord& record, QWidget* parent = nullptr);
    QString text() const;

    // Shows the note for the window `owner` in place of `current` (one note at a time); answers
    // its window handle, or 0 when there is no text to show.
    static quintptr replace(QPointer<HelpPopup>& current, quintptr owner, const QString& text,
                            const HelpPopupRecord& record);

private:
    QLabel* m_label = nullptr;
};

} // namespace help
