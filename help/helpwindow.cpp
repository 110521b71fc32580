#include "helpwindow.h"

#include "dialogs.h"
#include "modform.h"
#include "shell.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <functional>

namespace help {

namespace {

// Where list and tree entries keep the topic they lead to.
constexpr int kLocalRole = Qt::UserRole + 1;

} // namespace

HelpWindow::HelpWindow(std::shared_ptr<ChmFile> chm, const ChmFile::WindowDef* def,
                       platform::Dialogs& dialogs, platform::Shell& shell, QWidget* parent)
    : QMainWindow(parent), m_chm(std::move(chm)), m_dialogs(dialogs), m_shell(shell) {
    setAttribute(Qt::WA_DeleteOnClose);
    const QString caption = def && !def->caption.isEmpty() ? def->caption : m_chm->title();
    setWindowTitle(caption.isEmpty() ? tr("Help") : caption);
    m_home = def && !def->home.isEmpty() ? def->home : m_chm->defaultTopic();

    m_browser = new HelpBrowser(m_chm, this);
    m_browser->setAccessibleName(tr("Topic"));
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);

    m_tabs = new QTabWidget(this);
    m_tabs->setDocumentMode(true);

    m_toc = new QTreeWidget;
    m_toc->setHeaderHidden(true);
    m_toc->setAccessibleName(tr("Contents"));
    m_toc->setFrameShape(QFrame::NoFrame);
    connect(m_toc, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kLocalRole).toString()); });
    connect(m_toc, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kLocalRole).toString()); });
    m_tabs->addTab(m_toc, tr("&Contents"));

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(6, 6, 6, 6);
    auto* indexLabel = new QLabel(tr("&Type in the keyword to find:"));
    m_indexFilter = new QLineEdit;
    m_indexFilter->setClearButtonEnabled(true);
    indexLabel->setBuddy(m_indexFilter);
    m_indexList = new QListWidget;
    m_indexList->setAccessibleName(tr("Keywords"));
    auto* display = new QPushButton(tr("&Display"));
    indexLayout->addWidget(indexLabel);
    indexLayout->addWidget(m_indexFilter);
    indexLayout->addWidget(m_indexList, 1);
    indexLayout->addWidget(display, 0, Qt::AlignRight);
    connect(m_indexFilter, &QLineEdit::textChanged, this, &HelpWindow::filterIndex);
    connect(m_indexFilter, &QLineEdit::returnPressed, this, &HelpWindow::openIndexItem);
    connect(m_indexList, &QListWidget::itemActivated, this, &HelpWindow::openIndexItem);
    connect(display, &QPushButton::clicked, this, &HelpWindow::openIndexItem);
    m_tabs->addTab(indexPage, tr("I&ndex"));

    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(6, 6, 6, 6);
    auto* searchLabel = new QLabel(tr("Type in the &word(s) to search for:"));
    m_searchEdit = new QLineEdit;
    m_searchEdit->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_searchEdit);
    auto* list = new QPushButton(tr("&List Topics"));
    m_searchResults = new QListWidget;
    m_searchResults->setAccessibleName(tr("Topics found"));
    auto* row = new QHBoxLayout;
    row->addWidget(m_searchEdit, 1);
    row->addWidget(list);
    searchLayout->addWidget(searchLabel);
    searchLayout->addLayout(row);
    searchLayout->addWidget(m_searchResults, 1);
    connect(m_searchEdit, &QLineEdit::returnPressed, this, &HelpWindow::runSearch);
    connect(list, &QPushButton::clicked, this, &HelpWindow::runSearch);
    connect(m_searchResults, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(kLocalRole).toString()); });
    connect(m_searchResults, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showTopic(item->data(kLocalRole).toString()); });
    m_tabs->addTab(searchPage, tr("&Search"));

    m_splitter = new QSplitter(this);
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_browser);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    setCentralWidget(m_splitter);

    auto* bar = addToolBar(tr("Navigation"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QAction* hide =
        bar->addAction(style()->standardIcon(QStyle::SP_FileDialogListView), tr("Hide"));
    hide->setCheckable(true);
    hide->setToolTip(tr("Hide or show the navigation pane"));
    connect(hide, &QAction::toggled, this, [this, hide](bool hidden) {
        m_tabs->setVisible(!hidden);
        hide->setText(hidden ? tr("Show") : tr("Hide"));
    });
    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    QAction* forward =
        bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    QAction* home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"));
    connect(home, &QAction::triggered, this, &HelpWindow::showHome);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::syncContents);

    buildContents();
    buildIndex();

    if (def && def->rect.isValid()) {
        resize(def->rect.size());
        move(def->rect.topLeft());
    } else {
        resize(900, 680);
    }
    const int nav = def && def->navWidth > 0 ? def->navWidth : 260;
    m_splitter->setSizes({nav, width() - nav});
}

void HelpWindow::buildContents() {
    std::function<void(QTreeWidgetItem*, const QList<ChmFile::TocEntry>&)> add =
        [&](QTreeWidgetItem* parent, const QList<ChmFile::TocEntry>& entries) {
            for (const ChmFile::TocEntry& e : entries) {
                auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_toc);
                item->setText(0, e.name);
                item->setData(0, kLocalRole, e.local);
                item->setIcon(0, style()->standardIcon(e.children.isEmpty() ? QStyle::SP_FileIcon
                                                                            : QStyle::SP_DirIcon));
                add(item, e.children);
            }
        };
    add(nullptr, m_chm->contents());
    m_toc->expandAll();
}

void HelpWindow::buildIndex() {
    for (const ChmFile::IndexEntry& e : m_chm->index()) {
        auto* item = new QListWidgetItem(e.keyword, m_indexList);
        item->setData(kLocalRole, e.locals);
    }
}

void HelpWindow::filterIndex(const QString& text) {
    const QString wanted = text.trimmed();
    QListWidgetItem* first = nullptr;
    QListWidgetItem* prefix = nullptr;
    for (int i = 0; i < m_indexList->count(); ++i) {
        QListWidgetItem* item = m_indexList->item(i);
        const bool match = item->text().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!match);
        if (match && !first)
            first = item;
        if (match && !prefix && item->text().startsWith(wanted, Qt::CaseInsensitive))
            prefix = item;
    }
    m_indexList->setCurrentItem(prefix ? prefix : first);
}

void HelpWindow::openIndexItem() {
    QListWidgetItem* item = m_indexList->currentItem();
    if (!item || item->isHidden())
        return;
    const QStringList locals = item->data(kLocalRole).toStringList();
    if (!locals.isEmpty())
        showTopic(locals.first());
}

void HelpWindow::runSearch() {
    m_searchResults->clear();
    const QList<ChmFile::SearchHit> hits = m_chm->search(m_searchEdit->text());
    for (const ChmFile::SearchHit& h : hits) {
        auto* item = new QListWidgetItem(h.title, m_searchResults);
        item->setData(kLocalRole, h.local);
    }
    if (hits.isEmpty() && !m_searchEdit->text().trimmed().isEmpty())
        new QListWidgetItem(tr("No topics found."), m_searchResults);
    else if (!hits.isEmpty())
        m_searchResults->setCurrentRow(0);
}

void HelpWindow::syncContents(const QUrl& url) {
    const QString topic = url.path();
    for (QTreeWidgetItemIterator it(m_toc); *it; ++it) {
        QString local = (*it)->data(0, kLocalRole).toString();
        local = local.left(local.indexOf(QLatin1Char('#')) < 0 ? local.size()
                                                               : local.indexOf(QLatin1Char('#')));
        if (m_chm->resolve(local).compare(topic, Qt::CaseInsensitive) == 0 &&
            (*it)->childCount() == 0) {
            const QSignalBlocker block(m_toc);
            m_toc->setCurrentItem(*it);
            return;
        }
    }
}

void HelpWindow::showTopic(const QString& innerPath) {
    if (innerPath.isEmpty())
        return;
    QString path = innerPath;
    const int hash = path.indexOf(QLatin1Char('#'));
    const QString stored = m_chm->resolve(hash < 0 ? path : path.left(hash));
    if (stored.isEmpty())
        return;
    m_browser->setSource(HelpBrowser::topicUrl(stored + (hash < 0 ? QString() : path.mid(hash))));
}

void HelpWindow::followLink(const QUrl& link) {
    const QUrl url = link.isRelative() ? m_browser->source().resolved(link) : link;
    const QString scheme = url.scheme().toLower();
    if (scheme == HelpBrowser::scheme()) {
        if (m_chm->resolve(url.path()).isEmpty()) {
            m_dialogs.inform(this,
                             tr("This link leads to \u201c%1\u201d, which is not in this help "
                                "file. Use the Contents, the Index or the Search to find the "
                                "topic.")
                                 .arg(link.toString()),
                             windowTitle(), platform::Dialogs::Icon::Exclamation);
            return;
        }
        m_browser->setSource(url);
        return;
    }
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto") || scheme == QLatin1String("ftp")) {
        modForm::OpenInBrowser(url.toString(), this, m_shell, m_dialogs);
        return;
    }
    m_dialogs.inform(this,
                     tr("This link (\u201c%1\u201d) cannot be followed from the help window.")
                         .arg(link.toString()),
                     windowTitle(), platform::Dialogs::Icon::Exclamation);
}

void HelpWindow::showHome() {
    showTopic(m_home);
}

void HelpWindow::showContents() {
    m_tabs->setCurrentIndex(0);
    m_toc->setFocus();
}

void HelpWindow::showIndex(const QString& keyword) {
    m_tabs->setCurrentIndex(1);
    if (!keyword.isNull())
        m_indexFilter->setText(keyword);
    m_indexFilter->setFocus();
}

void HelpWindow::showSearch(const QString& query) {
    m_tabs->setCurrentIndex(2);
    if (!query.isEmpty()) {
        m_searchEdit->setText(query);
        runSearch();
    }
    m_searchEdit->setFocus();
}

void HelpWindow::bringToFront() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

} // namespace help
