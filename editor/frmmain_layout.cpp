// The window's widgets: tabs, frames, labels, fields and spinners, in their tab order.
#include "frmmain.h"

#include "htmlhelp.h" // complete types for the members the constructor may unwind
#include "shell.h"

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

UpDown* frmMain::addUpDown(const QString& name, QLineEdit* field, int kind) {
    const fieldrules::Bounds b = fieldrules::bounds(static_cast<fieldrules::NumericField>(kind));
    auto* spinner = new UpDown(field, b.min, b.max, b.step);
    spinner->setObjectName(name);
    spinner->setToolTip(field->toolTip());
    spinner->setAccessibleName(field->accessibleName() + QStringLiteral(" up/down"));
    field->setMaximumWidth(110);
    return spinner;
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
    using fieldrules::NumericField;
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("propertiesPage"));

    fraScroller = new QGroupBox(QStringLiteral("Scroller"));
    fraScroller->setObjectName(QStringLiteral("fraScroller"));
    txtScrName = addTextField(QStringLiteral("txtScrName"),
                              QStringLiteral("Scroller name. The name must contain only "
                                             "alphanumeric characters and must not begin with a "
                                             "number."));
    txtScrName->setMaximumWidth(260);
    txtScrWidth = addTextField(QStringLiteral("txtScrWidth"), QStringLiteral("Scroller width"));
    txtScrHeight = addTextField(QStringLiteral("txtScrHeight"), QStringLiteral("Scroller height"));
    txtScrSpeed = addTextField(QStringLiteral("txtScrSpeed"), QStringLiteral("Scroller speed"));
    cboScrDirn = new QComboBox;
    cboScrDirn->setObjectName(QStringLiteral("cboScrDirn"));
    cboScrDirn->setToolTip(QStringLiteral("Scroll direction"));
    cboScrDirn->addItems({QStringLiteral("Top < Bottom"), QStringLiteral("Top > Bottom"),
                          QStringLiteral("Left < Right"), QStringLiteral("Left > Right")});
    cboScrMsePause = new QComboBox;
    cboScrMsePause->setObjectName(QStringLiteral("cboScrMsePause"));
    cboScrMsePause->addItems({QStringLiteral("Yes"), QStringLiteral("No")});
    for (QComboBox* list : {cboScrDirn, cboScrMsePause}) {
        list->setMinimumWidth(150);
        list->setMaximumWidth(260);
    }

    auto* scrollerGrid = formGrid(fraScroller);
    QList<QLabel*> labels;
    const auto row = [&](QGridLayout* grid, QLabel* label, QWidget* cell) {
        const int r = grid->rowCount();
        grid->addWidget(label, r, 0);
        grid->addWidget(cell, r, 1);
        labels << label;
    };
    row(scrollerGrid, addLabel(QStringLiteral("lblScrName"), QStringLiteral("Name:"), txtScrName),
        txtScrName);
    QLabel* lblWidth =
        addLabel(QStringLiteral("lblScrWidth"), QStringLiteral("Width (px):"), txtScrWidth);
    udScrWidth = addUpDown(QStringLiteral("udScrWidth"), txtScrWidth, int(NumericField::ScrWidth));
    row(scrollerGrid, lblWidth, withSpinner(txtScrWidth, udScrWidth));
    QLabel* lblHeight =
        addLabel(QStringLiteral("lblScrHeight"), QStringLiteral("Height (px):"), txtScrHeight);
    udScrHeight =
        addUpDown(QStringLiteral("udScrHeight"), txtScrHeight, int(NumericField::ScrHeight));
    row(scrollerGrid, lblHeight, withSpinner(txtScrHeight, udScrHeight));
    QLabel* lblSpeed =
        addLabel(QStringLiteral("lblScrSpeed"), QStringLiteral("Scroll Speed (ms):"), txtScrSpeed);
    udScrSpeed = addUpDown(QStringLiteral("udScrSpeed"), txtScrSpeed, int(NumericField::ScrSpeed));
    row(scrollerGrid, lblSpeed, withSpinner(txtScrSpeed, udScrSpeed));
    row(scrollerGrid,
        addLabel(QStringLiteral("lblScrDirn"), QStringLiteral("Scroll Direction:"), cboScrDirn),
        cboScrDirn);
    row(scrollerGrid,
        addLabel(QStringLiteral("lblScrMsePause"), QStringLiteral("Mouseover Pause:"),
                 cboScrMsePause),
        cboScrMsePause);

    fraItem = new QGroupBox(QStringLiteral("Item"));
    fraItem->setObjectName(QStringLiteral("fraItem"));
    txtScrDefWidth = addTextField(QStringLiteral("txtScrDefWidth"),
                                  QStringLiteral("Default item width. Not required for vertical "
                                                 "scroller."));
    txtScrSpacing =
        addTextField(QStringLiteral("txtScrSpacing"), QStringLiteral("Spacing between items"));
    txtScrPause = addTextField(QStringLiteral("txtScrPause"),
                               QStringLiteral("Item pause after scrolling into view"));
    auto* itemGrid = formGrid(fraItem);
    lblScrDefWidth = addLabel(QStringLiteral("lblScrDefWidth"),
                              QStringLiteral("Default Width (px):"), txtScrDefWidth);
    udScrDefWidth =
        addUpDown(QStringLiteral("udScrDefWidth"), txtScrDefWidth, int(NumericField::ScrDefWidth));
    row(itemGrid, lblScrDefWidth, withSpinner(txtScrDefWidth, udScrDefWidth));
    QLabel* lblSpacing =
        addLabel(QStringLiteral("lblScrSpacing"), QStringLiteral("Spacing (px):"), txtScrSpacing);
    udScrSpacing =
        addUpDown(QStringLiteral("udScrSpacing"), txtScrSpacing, int(NumericField::ScrSpacing));
    row(itemGrid, lblSpacing, withSpinner(txtScrSpacing, udScrSpacing));
    QLabel* lblPause =
        addLabel(QStringLiteral("lblScrPause"), QStringLiteral("Pause (ms):"), txtScrPause);
    udScrPause = addUpDown(QStringLiteral("udScrPause"), txtScrPause, int(NumericField::ScrPause));
    row(itemGrid, lblPause, withSpinner(txtScrPause, udScrPause));

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
    txtItmName = addTextField(QStringLiteral("txtItmName"),
                              QStringLiteral("Item name. For reference only. This will not be "
                                             "displayed."));
    txtItmWidth = addTextField(QStringLiteral("txtItmWidth"),
                               QStringLiteral("Item width. Not required for vertical scroller."));
    txtItmText = new QPlainTextEdit;
    txtItmText->setObjectName(QStringLiteral("txtItmText"));
    const QString textTip =
        QStringLiteral("Item text. This will be displayed. HTML syntax supported.");
    txtItmText->setToolTip(textTip);
    txtItmText->setAccessibleDescription(textTip);
    txtItmText->setTabChangesFocus(true);
    txtItmText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtItmText->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    auto* grid = formGrid(fraItmAttr);
    grid->addWidget(addLabel(QStringLiteral("lblItmName"), QStringLiteral("Name"), txtItmName), 0,
                    0);
    grid->addWidget(txtItmName, 0, 1);
    lblItmWidth =
        addLabel(QStringLiteral("lblItmWidth"), QStringLiteral("Width (px)"), txtItmWidth);
    udItmWidth = addUpDown(QStringLiteral("udItmWidth"), txtItmWidth,
                           int(fieldrules::NumericField::ItmWidth));
    grid->addWidget(lblItmWidth, 1, 0);
    grid->addWidget(withSpinner(txtItmWidth, udItmWidth), 1, 1);
    QLabel* lblText = addLabel(QStringLiteral("lblItmText"), QStringLiteral("Text"), txtItmText);
    m_itemButtons = new QWidget;
    auto* buttons = new QHBoxLayout(m_itemButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(4);
    buttons->addStretch(1);
    grid->addWidget(lblText, 2, 0);
    grid->addWidget(m_itemButtons, 2, 1);
    grid->addWidget(txtItmText, 3, 0, 1, 2);
    grid->setRowStretch(3, 1);

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
