// Menu bar, toolbar and the enabling rules that follow the document state.
#include "frmmain.h"

#include "editorrules.h"
#include "itemnode.h"
#include "toolicons.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

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

QMenu* topMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Action"));
    return m;
}

} // namespace

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
    mnuFileSaveAs = entry(mnuFile, "mnuFileSaveAs", QStringLiteral("Save As ..."));
    separator(mnuFile, "mnuFileSep3");
    mnuFileSaveAsDefault =
        entry(mnuFile, "mnuFileSaveAsDefault", QStringLiteral("Save As Default"));
    separator(mnuFile, "mnuFileSep2");
    mnuFileQuit = entry(mnuFile, "mnuFileQuit", QStringLiteral("&Quit"),
                        QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(mnuFileNew, &QAction::triggered, this, &frmMain::mnuFileNew_Click);
    connect(mnuFileOpen, &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    connect(mnuFileSave, &QAction::triggered, this, &frmMain::mnuFileSave_Click);
    connect(mnuFileSaveAs, &QAction::triggered, this, &frmMain::mnuFileSaveAs_Click);
    connect(mnuFileSaveAsDefault, &QAction::triggered, this, &frmMain::mnuFileSaveAsDefault_Click);
    connect(mnuFileQuit, &QAction::triggered, this, &frmMain::mnuFileQuit_Click);

    // The Edit commands act on whole items and carry no shortcuts.
    mnuEdit = topMenu(bar, "mnuEdit", QStringLiteral("&Edit"));
    mnuEditCut = entry(mnuEdit, "mnuEditCut", QStringLiteral("Cu&t"));
    mnuEditCopy = entry(mnuEdit, "mnuEditCopy", QStringLiteral("&Copy"));
    mnuEditPaste = entry(mnuEdit, "mnuEditPaste", QStringLiteral("&Paste"));

    mnuItem = topMenu(bar, "mnuItem", QStringLiteral("Item"));
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
    mnuItemMoveDown = entry(mnuItem, "mnuItemMoveDown", QStringLiteral("Move &Down"),
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
    mnuHelpAbout =
        entry(mnuHelp, "mnuHelpAbout", QStringLiteral("&About ") + editorrules::kAppTitle);
}

void frmMain::buildToolbar() {
    tbMain = addToolBar(QStringLiteral("Main"));
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setMovable(false);
    tbMain->setFloatable(false);
    tbMain->setIconSize(QSize(20, 20));
    tbMain->setContextMenuPolicy(Qt::PreventContextMenu);
    static const char* const tips[16] = {
        nullptr,          "New",   "Open",         "Save",     nullptr,       "Cut",
        "Copy",           "Paste", nullptr,        "Add Item", "Delete Item", "Move Item Up",
        "Move Item Down", nullptr, "What's This?", "Help"};
    for (int i = 0; i < 16; ++i) {
        QAction* a = nullptr;
        if (!tips[i]) {
            a = tbMain->addSeparator();
        } else {
            a = tbMain->addAction(toolicons::icon(i + 1, style()), QLatin1String(tips[i]));
            a->setToolTip(QLatin1String(tips[i]));
            connect(a, &QAction::triggered, this, [this, i] { tbMain_ButtonClick(i + 1); });
            // Clicking a button must not take the focus from the field being edited.
            if (QWidget* w = tbMain->widgetForAction(a))
                w->setFocusPolicy(Qt::NoFocus);
        }
        a->setObjectName(QStringLiteral("tbMainButton%1").arg(i + 1));
        m_tbButtons << a;
    }
}

void frmMain::tbMain_ButtonClick(int index) {
    switch (index) {
    case 2:
        mnuFileNew->trigger();
        break;
    case 3:
        mnuFileOpen->trigger();
        break;
    case 4:
        mnuFileSave->trigger();
        break;
    case 6:
        mnuEditCut->trigger();
        break;
    case 7:
        mnuEditCopy->trigger();
        break;
    case 8:
        mnuEditPaste->trigger();
        break;
    case 10:
        mnuItemAdd->trigger();
        break;
    case 11:
        mnuItemDelete->trigger();
        break;
    case 12:
        mnuItemMoveUp->trigger();
        break;
    case 13:
        mnuItemMoveDown->trigger();
        break;
    case 15:
        mnuHelpWhatsThis->trigger();
        break;
    case 16:
        mnuHelpContents->trigger();
        break;
    default:
        break; // separators
    }
}

void frmMain::RefreshControls() {
    mnuFileSave->setEnabled(bDirty);
    m_tbButtons[3]->setEnabled(bDirty);

    const bool onItems = tabMain && tabMain->currentIndex() == 1;
    // A disabled menu must not leave its entries' shortcuts working.
    mnuEdit->setEnabled(onItems);
    mnuEdit->menuAction()->setEnabled(onItems);
    mnuItem->setEnabled(onItems);
    mnuItem->menuAction()->setEnabled(onItems);
    for (QAction* a : {mnuEditCut, mnuEditCopy, mnuEditPaste, mnuItemAdd, mnuItemImportFeed})
        a->setEnabled(onItems);
    mnuItemRefreshFeed->setEnabled(onItems && m_feed.isSet());
    mnuItemForgetFeed->setEnabled(onItems && m_feed.isSet());
    for (int i = 5; i <= 14; ++i)
        m_tbButtons[i - 1]->setEnabled(onItems);

    if (onItems) {
        const QTreeWidgetItem* parent = oSelNode ? oSelNode->parent() : nullptr;
        const QTreeWidget* tree = oSelNode ? oSelNode->treeWidget() : nullptr;
        const int at = !oSelNode ? -1
                       : parent  ? parent->indexOfChild(oSelNode)
                                 : tree->indexOfTopLevelItem(oSelNode);
        const int count = !oSelNode ? 0 : parent ? parent->childCount() : tree->topLevelItemCount();
        mnuItemDelete->setEnabled(oSelNode != nullptr);
        mnuItemMoveUp->setEnabled(oSelNode && at > 0);
        mnuItemMoveDown->setEnabled(oSelNode && at + 1 < count);
    } else {
        for (QAction* a : {mnuItemDelete, mnuItemMoveUp, mnuItemMoveDown})
            a->setEnabled(false);
    }
    m_tbButtons[10]->setEnabled(mnuItemDelete->isEnabled());
    m_tbButtons[11]->setEnabled(mnuItemMoveUp->isEnabled());
    m_tbButtons[12]->setEnabled(mnuItemMoveDown->isEnabled());

    // The Item fields belong to the current item; without one there is nothing to type into.
    fraItmAttr->setEnabled(oSelNode != nullptr);

    setWindowTitle(editorrules::caption(sFilePath, bDirty));
    noteFileName();
    scheduleLivePreview();
}
