// Menu bar, toolbar and the enabling rules that follow the document state.
#include "frmmain.h"

#include "appinfo.h"
#include "toolicons.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

namespace {

QAction* entry(QMenu* menu, const char* name, const QString& caption,
               const QKeySequence& shortcut = QKeySequence()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

void separator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

// "Tickora Creator - [name]" with a star after the name when there are unsaved changes.
QString windowCaption(const QString& sFilePath, bool bDirty) {
    const QString name = sFilePath.isEmpty() ? QStringLiteral("New") : sFilePath;
    return appinfo::kAppName + QStringLiteral(" - [") + name +
           (bDirty ? QStringLiteral("*]") : QStringLiteral("]"));
}

QMenu* topMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Action"));
    return m;
}

} // namespace

const QKeySequence frmMain::kRedoKey{QStringLiteral("Ctrl+Shift+Z")};
const QKeySequence frmMain::kRedoOtherKey{QStringLiteral("Ctrl+Y")};

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = topMenu(bar, "mnuFile", QStringLiteral("&File"));
    mnuFileNew = entry(mnuFile, "mnuFileNew", QStringLiteral("&New"),
                       QKeySequence(QStringLiteral("Ctrl+N")));
    mnuFileOpen = entry(mnuFile, "mnuFileOpen", QStringLiteral("&Open"),
                        QKeySequence(QStringLiteral("Ctrl+O")));
    separator(mnuFile, "mnuFileSep1");
    mnuFileSave = entry(mnuFile, "mnuFileSave", QStringLiteral("&Save"),
                        QKeySequence(QStringLiteral("Ctrl+S")));
    mnuFileSaveAs = entry(mnuFile, "mnuFileSaveAs", QStringLiteral("Save &As ..."));
    separator(mnuFile, "mnuFileSep3");
    mnuFileSaveAsDefault =
        entry(mnuFile, "mnuFileSaveAsDefault", QStringLiteral("Save As &Default"));
    separator(mnuFile, "mnuFileSep2");
    mnuFileQuit = entry(mnuFile, "mnuFileQuit", QStringLiteral("&Quit"),
                        QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(mnuFileNew, &QAction::triggered, this, &frmMain::mnuFileNew_Click);
    connect(mnuFileOpen, &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    connect(mnuFileSave, &QAction::triggered, this, &frmMain::mnuFileSave_Click);
    connect(mnuFileSaveAs, &QAction::triggered, this, &frmMain::mnuFileSaveAs_Click);
    connect(mnuFileSaveAsDefault, &QAction::triggered, this, &frmMain::mnuFileSaveAsDefault_Click);
    connect(mnuFileQuit, &QAction::triggered, this, &frmMain::mnuFileQuit_Click);

    // Undo takes the platform's keys; Redo both of the common ones, Ctrl+Y too where the
    // platform has only Ctrl+Shift+Z. The item commands carry none.
    mnuEdit = topMenu(bar, "mnuEdit", QStringLiteral("&Edit"));
    mnuEditUndo = entry(mnuEdit, "mnuEditUndo", QStringLiteral("&Undo"), QKeySequence::Undo);
    mnuEditRedo = entry(mnuEdit, "mnuEditRedo", QStringLiteral("&Redo"));
    mnuEditUndo->setShortcuts(QKeySequence::Undo);
    mnuEditRedo->setShortcuts({kRedoKey, kRedoOtherKey});
    separator(mnuEdit, "mnuEditSep0");
    connect(mnuEditUndo, &QAction::triggered, this, &frmMain::mnuEditUndo_Click);
    connect(mnuEditRedo, &QAction::triggered, this, &frmMain::mnuEditRedo_Click);
    QUndoStack* stack = m_doc->undoStack();
    connect(stack, &QUndoStack::indexChanged, this, &frmMain::RefreshControls);
    mnuEditCut = entry(mnuEdit, "mnuEditCut", QStringLiteral("Cu&t"));
    mnuEditCopy = entry(mnuEdit, "mnuEditCopy", QStringLiteral("&Copy"));
    mnuEditPaste = entry(mnuEdit, "mnuEditPaste", QStringLiteral("&Paste"));

    mnuItem = topMenu(bar, "mnuItem", QStringLiteral("&Item"));
    mnuItemAdd = entry(mnuItem, "mnuItemAdd", QStringLiteral("&Add"),
                       QKeySequence(QStringLiteral("Ctrl+I")));
    mnuItemDelete = entry(mnuItem, "mnuItemDelete", QStringLiteral("&Delete"),
                          QKeySequence(QStringLiteral("Shift+Del")));
    // Del too, and both only in the list: in a text field they delete and cut text.
    mnuItemDelete->setShortcuts(
        {QKeySequence(QStringLiteral("Shift+Del")), QKeySequence(QStringLiteral("Del"))});
    mnuItemDelete->setShortcutContext(Qt::WidgetShortcut);
    mnuItemMoveUp = entry(mnuItem, "mnuItemMoveUp", QStringLiteral("Move &Up"),
                          QKeySequence(QStringLiteral("Ctrl+U")));
    // Not "Move &Down": D is Delete's.
    mnuItemMoveDown = entry(mnuItem, "mnuItemMoveDown", QStringLiteral("Move Do&wn"),
                            QKeySequence(QStringLiteral("Ctrl+D")));
    separator(mnuItem, "mnuItemSep1");
    mnuItemImportFeed = entry(mnuItem, "mnuItemImportFeed", QStringLiteral("&Import from Feed..."));
    mnuItemRefreshFeed = entry(mnuItem, "mnuItemRefreshFeed", QStringLiteral("&Refresh from Feed"),
                               QKeySequence(QStringLiteral("Ctrl+R")));
    mnuItemForgetFeed = entry(mnuItem, "mnuItemForgetFeed", QStringLiteral("&Forget Feed"));

    mnuHelp = topMenu(bar, "mnuHelp", QStringLiteral("&Help"));
    mnuHelpContents = entry(mnuHelp, "mnuHelpContents", QStringLiteral("&Contents"),
                            QKeySequence(QStringLiteral("F1")));
    mnuHelpWhatsThis = entry(mnuHelp, "mnuHelpWhatsThis", QStringLiteral("What's &This?"),
                             QKeySequence(QStringLiteral("Shift+F1")));
    mnuHelpIntegrate = entry(mnuHelp, "mnuHelpIntegrate", QStringLiteral("&Scroller Integration"));
    separator(mnuHelp, "mnuHelpSep2");
    QMenu* online = mnuHelp->addMenu(QStringLiteral("&Online Help and Information"));
    online->setObjectName(QStringLiteral("mnuHelpOnline"));
    mnuHelpOnlinePage = entry(online, "mnuHelpOnlinePage", QStringLiteral("&Product Page"));
    mnuHelpOnlineSupport =
        entry(online, "mnuHelpOnlineSupport", QStringLiteral("&Technical Support"));
    separator(online, "mnuHelpOnlineSep1");
    mnuHelpOnlineOrbwell =
        entry(online, "mnuHelpOnlineOrbwell", QStringLiteral("&orbwell.example"));
    separator(mnuHelp, "mnuHelpSep3");
    mnuHelpAbout = entry(mnuHelp, "mnuHelpAbout", QStringLiteral("&About ") + appinfo::kAppName);
}

void frmMain::buildToolbar() {
    tbMain = addToolBar(QStringLiteral("Main"));
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setMovable(false);
    tbMain->setFloatable(false);
    tbMain->setIconSize(QSize(20, 20));
    tbMain->setContextMenuPolicy(Qt::PreventContextMenu);
    // The buttons are the menu's own commands, so they are enabled and run as the menu is; each
    // carries its own drawing. An empty row is a separator.
    using toolicons::Glyph;
    struct Button {
        QAction* action;
        Glyph glyph;
        const char* tip;
    };
    const Button buttons[] = {{nullptr, {}, nullptr},
                              {mnuFileNew, Glyph::New, "New"},
                              {mnuFileOpen, Glyph::Open, "Open"},
                              {mnuFileSave, Glyph::Save, "Save"},
                              {nullptr, {}, nullptr},
                              {mnuEditCut, Glyph::Cut, "Cut"},
                              {mnuEditCopy, Glyph::Copy, "Copy"},
                              {mnuEditPaste, Glyph::Paste, "Paste"},
                              {nullptr, {}, nullptr},
                              {mnuItemAdd, Glyph::AddItem, "Add Item"},
                              {mnuItemDelete, Glyph::DeleteItem, "Delete Item"},
                              {mnuItemMoveUp, Glyph::MoveUp, "Move Item Up"},
                              {mnuItemMoveDown, Glyph::MoveDown, "Move Item Down"},
                              {nullptr, {}, nullptr},
                              {mnuHelpWhatsThis, Glyph::WhatsThis, "What's This?"},
                              {mnuHelpContents, Glyph::Help, "Help"},
                              {nullptr, {}, nullptr}};
    const auto add = [this](QAction* action) {
        tbMain->addAction(action);
        // Clicking a button must not take the focus from the field being edited.
        if (QWidget* w = tbMain->widgetForAction(action))
            w->setFocusPolicy(Qt::NoFocus);
    };
    int separators = 0;
    for (const Button& b : buttons) {
        if (!b.action) {
            tbMain->addSeparator()->setObjectName(QStringLiteral("tbMainSep%1").arg(++separators));
            continue;
        }
        b.action->setIcon(toolicons::icon(b.glyph, style()));
        b.action->setToolTip(QLatin1String(b.tip));
        add(b.action);
    }
    mnuEditUndo->setIcon(
        QIcon::fromTheme(QStringLiteral("edit-undo"), style()->standardIcon(QStyle::SP_ArrowBack)));
    mnuEditRedo->setIcon(QIcon::fromTheme(QStringLiteral("edit-redo"),
                                          style()->standardIcon(QStyle::SP_ArrowForward)));
    add(mnuEditUndo);
    add(mnuEditRedo);
}

void frmMain::RefreshControls() {
    const bool dirty = isDirty();
    mnuFileSave->setEnabled(dirty);

    // Undo names what it takes back; typing not yet taken in is taken back first.
    const QUndoStack* stack = m_doc->undoStack();
    mnuEditUndo->setEnabled(stack->canUndo() || m_fieldsEdited);
    mnuEditUndo->setText(m_fieldsEdited     ? QStringLiteral("&Undo Typing")
                         : stack->canUndo() ? QStringLiteral("&Undo ") + stack->undoText()
                                            : QStringLiteral("&Undo"));
    mnuEditRedo->setEnabled(stack->canRedo() && !m_fieldsEdited);
    mnuEditRedo->setText(stack->canRedo() && !m_fieldsEdited
                             ? QStringLiteral("&Redo ") + stack->redoText()
                             : QStringLiteral("&Redo"));

    const bool onItems = tabMain && tabMain->currentIndex() == 1;
    // A disabled menu must not leave its entries' shortcuts working. The Edit menu holds Undo
    // and Redo for every tab; its item commands follow the Items tab.
    mnuItem->setEnabled(onItems);
    mnuItem->menuAction()->setEnabled(onItems);
    for (QAction* a : {mnuEditCut, mnuEditCopy, mnuEditPaste, mnuItemAdd, mnuItemImportFeed})
        a->setEnabled(onItems);
    const bool hasFeed = m_doc->feedSource().isSet();
    mnuItemRefreshFeed->setEnabled(onItems && hasFeed);
    mnuItemForgetFeed->setEnabled(onItems && hasFeed);

    const int at = m_doc->current();
    mnuItemDelete->setEnabled(onItems && at >= 0);
    mnuItemMoveUp->setEnabled(onItems && at > 0);
    mnuItemMoveDown->setEnabled(onItems && at >= 0 && at + 1 < m_doc->count());

    // The Item fields belong to the current item; without one there is nothing to type into.
    fraItmAttr->setEnabled(at >= 0);

    setWindowTitle(windowCaption(m_doc->filePath(), dirty));
    noteFileName();
    scheduleLivePreview();
}
