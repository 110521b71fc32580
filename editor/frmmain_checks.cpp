// What the fields do when their content changes and when the focus leaves them.
#include "frmmain.h"

#include "fieldrow.h"
#include "fieldrules.h"
#include "modstring.h"
#include "updown.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWhatsThis>

void frmMain::connectFieldLogic() {
    // The direction switches the width fields on or off before its change is taken.
    connect(cboScrDirn, &QComboBox::currentIndexChanged, this, &frmMain::cboScrDirn_Click);
    for (const FieldRow& f : fieldTable()) {
        if (f.list) {
            // A different entry is a step of its own, taken at once.
            connect(this->*f.list, &QComboBox::currentIndexChanged, this, [this] {
                if (!m_showingRecord)
                    commitFields();
                RefreshControls();
            });
            continue;
        }
        if (f.line)
            connect(this->*f.line, &QLineEdit::textChanged, this, &frmMain::fieldChanged);
        else
            connect(this->*f.box, &QPlainTextEdit::textChanged, this, &frmMain::fieldChanged);
        widgetOf(f)->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, &frmMain::onFocusChanged);
    m_commitTimer = new QTimer(this);
    m_commitTimer->setSingleShot(true);
    m_commitTimer->setInterval(kCommitDelayMs);
    connect(m_commitTimer, &QTimer::timeout, this, [this] {
        commitFields(QString(), false);
        RefreshControls();
    });
}

void frmMain::fieldChanged() {
    if (!m_showingRecord) {
        m_fieldsEdited = true;
        m_commitTimer->start();
    }
    RefreshControls();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // The text fields claim some of the menu's shortcuts for editing (Ctrl+U, Ctrl+D, ...);
    // the window's commands win while they are available.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        // Ctrl+Y redoes typing in a field as Redo's other key does, where the platform's
        // fields do not know it.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (QKeySequence(key->keyCombination()) == kRedoOtherKey && fieldCanUndo(watched, true)) {
            if (event->type() == QEvent::KeyPress) {
                if (auto* line = qobject_cast<QLineEdit*>(watched))
                    line->redo();
                else if (auto* edit = qobject_cast<QPlainTextEdit*>(watched))
                    edit->redo();
            }
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        // Ctrl+Z in a field first takes back the field's own typing; once there is none, the
        // document's last step.
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo =
            key->matches(QKeySequence::Redo) || pressed == kRedoKey || pressed == kRedoOtherKey;
        if ((undo || redo) && !fieldCanUndo(watched, !undo)) {
            event->ignore();
            return true;
        }
        // Shift+Del is not among them: in a field it cuts text, and deletes items in the list only.
        for (QAction* a : {mnuFileNew, mnuFileOpen, mnuFileSave, mnuFileQuit, mnuItemAdd,
                           mnuItemMoveUp, mnuItemMoveDown}) {
            if (a->isEnabled() && a->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::onFocusChanged(QWidget* old, QWidget* now) {
    // While the focus is on its way back to a rejected field, nothing else is checked; this is
    // what keeps a rejection from bouncing between two fields.
    if (m_focusReturn) {
        if (now == m_focusReturn)
            m_focusReturn = nullptr;
        return;
    }
    if (!old || !now || old->window() != this || now->window() != this)
        return; // a message box, a menu, another program: the field is not being left
    if (QWhatsThis::inWhatsThisMode()) {
        // The window system gives a clicked control the focus before the What's This mode
        // sees the click; that click only asks about the control, so the focus goes back
        // unchecked.
        m_focusReturn = old;
        old->setFocus(Qt::OtherFocusReason);
        if (old->hasFocus())
            m_focusReturn = nullptr;
        return;
    }
    // A field whose tab was just put away is not checked now, so a tab change never stops on a
    // message; the next save or preview checks it.
    if (!old->isVisible()) {
        if (!m_uncheckedFields.contains(old))
            m_uncheckedFields.append(old);
        return;
    }
    leaveField(old);
    // What was typed in the field left is one step of the history; its own leaving logic has
    // cleaned it already.
    if (m_fieldsEdited) {
        commitFields(QString(), false);
        RefreshControls();
    }
}

bool frmMain::leaveField(QWidget* field) {
    // True only for a check that refused the field now: a cleanup refuses nothing, and the flag
    // of an earlier check must not stop a command without a word.
    if (field == txtScrName) {
        txtScrName_LostFocus();
    } else if (field == txtItmName) {
        txtItmName_LostFocus();
        return false;
    } else if (field == txtItmText) {
        txtItmText_LostFocus();
        return false;
    } else if (const FieldRow* f = rowOf(field); f && f->check == FieldRow::Check::Range) {
        const fieldrules::Bounds b = fieldrules::bounds(f->bounds);
        bFieldError = ValidateRange(this->*f->line, b.min, b.max);
    } else {
        return false;
    }
    return bFieldError;
}

void frmMain::rejectField(QWidget* field) {
    m_focusReturn = field;
    // A field checked for a command may stand on a tab that is put away.
    for (QWidget* w = field; w; w = w->parentWidget()) {
        const int tab = tabMain->indexOf(w);
        if (tab >= 0) {
            tabMain->setCurrentIndex(tab);
            break;
        }
    }
    field->setFocus(Qt::OtherFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(field))
        line->selectAll();
    if (field->hasFocus())
        m_focusReturn = nullptr;
}

bool frmMain::ValidateRange(QLineEdit* field, double dMin, double dMax) {
    const QString message = fieldrules::rangeProblem(field->text(), {int(dMin), int(dMax), 1});
    if (message.isEmpty())
        return false;
    inform(message);
    rejectField(field);
    return true;
}

bool frmMain::CheckVariableName(const QString& sText) {
    const QString message = fieldrules::CheckVariableName(sText);
    if (message.isEmpty())
        return false;
    inform(message);
    return true;
}

void frmMain::txtScrName_LostFocus() {
    bFieldError = CheckVariableName(txtScrName->text());
    if (bFieldError)
        rejectField(txtScrName);
}

void frmMain::txtItmName_LostFocus() {
    setFieldText(txtItmName, modString::ScriptSafe(txtItmName->text()));
    commitFields();
}

void frmMain::txtItmText_LostFocus() {
    cleanItemText(modString::ScriptSafe(itemText()));
    commitFields();
}

void frmMain::cboScrDirn_Click() {
    const bool horizontal = isHorizontal(cboScrDirn->currentIndex());
    for (const FieldRow& f : fieldTable())
        if (f.across)
            for (QWidget* w : {static_cast<QWidget*>(labelOf(f)), widgetOf(f),
                               static_cast<QWidget*>(f.spinner ? this->*f.spinner : nullptr)})
                if (w)
                    w->setEnabled(horizontal);
}
