// The window's widgets: tabs, frames, labels, fields and spinners, in their tab order.
#include "frmmain.h"

#include "htmlhelp.h" // complete types for the members the constructor may unwind
#include "shell.h"

#include "fieldrow.h"
#include "fieldrules.h"
#include "itemlistview.h"
#include "singleline.h"
#include "updown.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString plainCaption(QString caption) {
    if (caption.endsWith(u':'))
        caption.chop(1);
    return caption;
}

// A field and its spinner side by side, as one cell of a form.
QWidget* withSpinner(QLineEdit* field, UpDown* spinner) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    row->addWidget(field);
    row->addWidget(spinner);
    row->addStretch(1);
    return box;
}

QGridLayout* formGrid(QGroupBox* frame) {
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    return grid;
}

} // namespace

void frmMain::nameSplitter(QSplitter* split, const QString& name) {
    split->setAccessibleName(name);
    for (int i = 1; i < split->count(); ++i)
        split->handle(i)->setAccessibleName(name + QStringLiteral(": divider"));
}

frmMain::frmMain(platform::Dialogs& dialogs, const QString& appFolder, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs),
      m_appFolder(QDir::cleanPath(appFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : appFolder)) {
    setObjectName(QStringLiteral("frmMain"));
    m_doc = new EditorDocument(dialogs, m_appFolder, this);
    m_doc->setDialogParent(this);
    buildMenus();
    buildToolbar();
    buildForm();
    connectFieldLogic();
    connectItemCommands();
    connectDocument();
    connectFeedCommands();
    connectHelp();
    buildEmbedCommand();
    buildLivePreview();
    connect(tabMain, &QTabWidget::currentChanged, this, &frmMain::tabMain_Click);
    // The keyboard chooses an item as a click does.
    connect(tvItm, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current && !m_syncingList && tvItm->indexOfTopLevelItem(current) != m_doc->current())
            tvItm_NodeClick(current);
    });
    resize(780, 580);
    Form_Load();
    restoreUserState();
    connectDiskCare();
}

QLineEdit* frmMain::addTextField(const QString& name, const QString& tip) {
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setValidator(new SingleLineValidator(field));
    if (!tip.isEmpty()) {
        field->setToolTip(tip);
        field->setAccessibleDescription(tip);
    }
    return field;
}

QLabel* frmMain::addLabel(const QString& name, const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption);
    label->setObjectName(name);
    label->setBuddy(buddy);
    buddy->setAccessibleName(plainCaption(caption));
    return label;
}

QWidget* frmMain::buildField(const FieldRow& f, QLabel*& label) {
    const QString key = QLatin1String(f.key);
    QWidget* field = nullptr;
    if (f.line) {
        field = this->*f.line = addTextField(QStringLiteral("txt") + key, f.tip);
    } else if (f.list) {
        auto* list = new QComboBox;
        list->setObjectName(QStringLiteral("cbo") + key);
        if (!f.tip.isEmpty())
            list->setToolTip(f.tip);
        list->addItems(f.entries);
        list->setMinimumWidth(150);
        field = this->*f.list = list;
    } else {
        auto* box = new QPlainTextEdit;
        box->setObjectName(QStringLiteral("txt") + key);
        box->setToolTip(f.tip);
        box->setAccessibleDescription(f.tip);
        box->setTabChangesFocus(true);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        field = this->*f.box = box;
    }
    label = addLabel(QStringLiteral("lbl") + key, f.caption, field);
    if (!f.spinner) {
        if (f.place != FieldRow::Place::ItemsTab)
            field->setMaximumWidth(260);
        return field;
    }
    const fieldrules::Bounds b = fieldrules::bounds(f.bounds);
    auto* spinner = new UpDown(this->*f.line, b.min, b.max, b.step);
    spinner->setObjectName(QStringLiteral("ud") + key);
    spinner->setToolTip(field->toolTip());
    spinner->setAccessibleName(field->accessibleName() + QStringLiteral(" up/down"));
    field->setMaximumWidth(110);
    this->*f.spinner = spinner;
    return withSpinner(this->*f.line, spinner);
}

void frmMain::buildForm() {
    tabMain = new QTabWidget;
    tabMain->setObjectName(QStringLiteral("tabMain"));
    tabMain->setAccessibleName(QStringLiteral("Tabs"));
    tabMain->setDocumentMode(false);
    // At small sizes the settings scroll rather than squeeze.
    auto* properties = new QScrollArea;
    properties->setObjectName(QStringLiteral("propertiesScroll"));
    properties->setWidgetResizable(true);
    properties->setFrameShape(QFrame::NoFrame);
    // The fields take the focus; the area scrolls to them. As a stop of its own it had no name.
    properties->setFocusPolicy(Qt::NoFocus);
    properties->setWidget(buildPropertiesTab());
    tabMain->addTab(properties, QStringLiteral("Properties"));
    tabMain->addTab(buildItemsTab(), QStringLiteral("Items"));
    m_previewPage = new QWidget;
    m_previewPage->setObjectName(QStringLiteral("previewPage"));
    auto* previewLayout = new QVBoxLayout(m_previewPage);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    tabMain->addTab(m_previewPage, QStringLiteral("Preview"));

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(tabMain);
    setCentralWidget(central);
    setMinimumSize(520, 420);
}

QWidget* frmMain::buildPropertiesTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("propertiesPage"));
    fraScroller = new QGroupBox(QStringLiteral("Scroller"));
    fraScroller->setObjectName(QStringLiteral("fraScroller"));
    fraItem = new QGroupBox(QStringLiteral("Item"));
    fraItem->setObjectName(QStringLiteral("fraItem"));
    auto* scrollerGrid = formGrid(fraScroller);
    auto* itemGrid = formGrid(fraItem);
    QList<QLabel*> labels;
    for (const FieldRow& f : fieldTable()) {
        if (f.place == FieldRow::Place::ItemsTab)
            continue;
        QLabel* label = nullptr;
        QWidget* cell = buildField(f, label);
        QGridLayout* grid = f.place == FieldRow::Place::ScrollerFrame ? scrollerGrid : itemGrid;
        const int r = grid->rowCount();
        grid->addWidget(label, r, 0);
        grid->addWidget(cell, r, 1);
        labels << label;
    }

    // One label column for both frames, so the fields line up.
    int labelWidth = 0;
    for (QLabel* l : labels)
        labelWidth = std::max(labelWidth, l->sizeHint().width());
    scrollerGrid->setColumnMinimumWidth(0, labelWidth);
    itemGrid->setColumnMinimumWidth(0, labelWidth);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(fraScroller);
    layout->addWidget(fraItem);
    layout->addStretch(1);
    return page;
}

QWidget* frmMain::buildItemsTab() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("itemsPage"));

    tvItm = new ItemListView;
    tvItm->setObjectName(QStringLiteral("tvItm"));
    tvItm->setAccessibleName(QStringLiteral("Items"));
    tvItm->setHeaderHidden(true);
    // Hidden, the header is still read out by screen readers.
    tvItm->setHeaderLabels({QStringLiteral("Items")});
    tvItm->setRootIsDecorated(false);
    tvItm->setUniformRowHeights(true);
    tvItm->setMinimumWidth(160);

    fraItmAttr = new QGroupBox(QStringLiteral("Item Attributes"));
    fraItmAttr->setObjectName(QStringLiteral("fraItmAttr"));
    m_itemButtons = new QWidget;
    auto* buttons = new QHBoxLayout(m_itemButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(4);
    buttons->addStretch(1);
    auto* grid = formGrid(fraItmAttr);
    int r = 0;
    for (const FieldRow& f : fieldTable()) {
        if (f.place != FieldRow::Place::ItemsTab)
            continue;
        QLabel* label = nullptr;
        QWidget* cell = buildField(f, label);
        grid->addWidget(label, r, 0);
        if (f.box) {
            // The text takes the whole width below its label and the markup buttons.
            grid->addWidget(m_itemButtons, r++, 1);
            grid->addWidget(cell, r, 0, 1, 2);
            grid->setRowStretch(r, 1);
        } else {
            grid->addWidget(cell, r, 1);
        }
        ++r;
    }

    auto* split = new QSplitter(Qt::Horizontal);
    split->setObjectName(QStringLiteral("itemsSplitter"));
    split->setChildrenCollapsible(false);
    split->addWidget(tvItm);
    split->addWidget(fraItmAttr);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    split->setSizes({220, 480});
    nameSplitter(split, QStringLiteral("Item list and attributes"));

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(split);
    return page;
}
