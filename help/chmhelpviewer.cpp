#include "chmhelpviewer.h"

#include "dialogs.h"
#include "modform.h"
#include "shell.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace help {

namespace {

constexpr int kLocalRole = Qt::UserRole + 1;
const QString kScheme = QStringLiteral("chm");

QString withoutAnchor(const QString& topic) {
    const int hash = topic.indexOf(QLatin1Char('#'));
    return hash < 0 ? topic : topic.left(hash);
}

} // namespace

// ---- HelpBrowser ----------------------------------------------------------------------------

HelpBrowser::HelpBrowser(std::shared_ptr<ChmFile> chm, QWidget* parent)
    : QTextBrowser(parent), m_chm(std::move(chm)) {
    // Every link goes through the window, which knows topics from web addresses.
    setOpenLinks(false);
    setFrameShape(QFrame::NoFrame);
}

QUrl HelpBrowser::topicUrl(const QString& innerPath) {
    QString path = innerPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString fragment;
    const int hash = path.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(path);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

QString HelpBrowser::currentTopic() const {
    return source().path();
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    QUrl url = name;
    if (url.isRelative())
        url = source().resolved(name);
    if (url.scheme() != kScheme)
        return QTextBrowser::loadResource(type, name);
    switch (type) {
    case QTextDocument::HtmlResource:
    case QTextDocument::StyleSheetResource:
    case QTextDocument::MarkdownResource: {
        const QString text = m_chm->readText(url.path());
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case QTextDocument::ImageResource: {
        const QImage image = QImage::fromData(m_chm->read(url.path()));
        return image.isNull() ? QVariant() : QVariant(image);
    }
    default:
        return QVariant(m_chm->read(url.path()));
    }
}

// ---- HelpWindow -----------------------------------------------------------------------------

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
    if (scheme == kScheme) {
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

// ---- ChmHelpViewer --------------------------------------------------------------------------

ChmHelpViewer::ChmHelpViewer(platform::Dialogs* dialogs, platform::Shell* shell)
    : m_dialogs(dialogs), m_shell(shell) {
    if (!m_dialogs) {
        m_ownDialogs = std::make_unique<platform::QtDialogs>();
        m_dialogs = m_ownDialogs.get();
    }
    if (!m_shell) {
        m_ownShell = std::make_unique<platform::DesktopShell>();
        m_shell = m_ownShell.get();
    }
}

ChmHelpViewer::~ChmHelpViewer() {
    closeAll();
}

ChmHelpViewer::Target ChmHelpViewer::parse(const QString& file) {
    Target t;
    QString rest = file;
    // "file.chm::/inner.htm>Window": the window follows the last '>' after the file name.
    const int gt = rest.lastIndexOf(QLatin1Char('>'));
    if (gt >= 0) {
        t.windowName = rest.mid(gt + 1);
        rest.truncate(gt);
    }
    const int inner = rest.indexOf(QLatin1String("::"));
    if (inner >= 0) {
        t.inner = rest.mid(inner + 2);
        rest.truncate(inner);
    }
    t.chmPath = rest;
    return t;
}

QString ChmHelpViewer::popupText(const QString& fileArgument, qint32 id) {
    const Target t = parse(fileArgument);
    std::shared_ptr<ChmFile> chm = openFile(t.chmPath);
    if (!chm)
        return QString();
    if (chm->resolve(t.inner).isEmpty()) {
        fail(HelpFailure::Kind::NoTopic, t.chmPath, t.inner);
        return QString();
    }
    const QString text = chm->popupText(t.inner, id);
    if (text.isEmpty())
        fail(HelpFailure::Kind::NoTopic, t.chmPath,
             QStringLiteral("%1 (topic %2)").arg(t.inner).arg(id));
    return text;
}

std::shared_ptr<ChmFile> ChmHelpViewer::openFile(const QString& path) {
    auto chm = std::make_shared<ChmFile>();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty() && chm->open(canonical))
        return chm;
    if (canonical.isEmpty() || chm->problem().isEmpty())
        fail(HelpFailure::Kind::Missing, path);
    else
        fail(HelpFailure::Kind::Damaged, path, chm->problem());
    return nullptr;
}

HelpWindow* ChmHelpViewer::windowFor(quintptr owner, const Target& t, const QString& recordWindow) {
    std::shared_ptr<ChmFile> chm = openFile(t.chmPath);
    if (!chm)
        return nullptr;
    QString name = t.windowName.trimmed();
    if (name.isEmpty())
        name = recordWindow.trimmed();
    if (name.isEmpty())
        name = chm->defaultWindow();
    const QString key = chm->path() + QLatin1Char('|') + name.toLower();
    if (HelpWindow* w = m_windows.value(key))
        return w;
    QWidget* parent = owner ? QWidget::find(WId(owner)) : nullptr;
    auto* w = new HelpWindow(chm, chm->window(name), *m_dialogs, *m_shell,
                             parent ? parent->window() : nullptr);
    if (parent)
        w->setWindowFlag(Qt::Window);
    m_windows.insert(key, w);
    return w;
}

quintptr ChmHelpViewer::showPopup(quintptr owner, const QString& file, const HelpPopupRecord& r) {
    QString text = r.text;
    if (text.isNull() && !file.isEmpty())
        text = popupText(file, r.stringId);
    return HelpPopup::replace(m_popup, owner, text, r);
}

void ChmHelpViewer::closeAll() {
    if (m_popup)
        m_popup->close();
    for (const QPointer<HelpWindow>& w : m_windows) {
        if (w)
            w->close();
    }
    m_windows.clear();
}

HelpWindow* ChmHelpViewer::window(quintptr handle) const {
    for (const QPointer<HelpWindow>& w : m_windows) {
        if (w && quintptr(w->winId()) == handle)
            return w;
    }
    return nullptr;
}

std::optional<quintptr> ChmHelpViewer::htmlHelp(quintptr owner, const QString& file, int command,
                                                const HelpData& data) {
    if (command == CloseAll) {
        closeAll();
        return quintptr(0);
    }
    if (command == DisplayTextPopup) {
        const auto* r = std::get_if<HelpPopupRecord>(&data);
        return r ? showPopup(owner, file, *r) : 0;
    }

    const Target t = parse(file);
    if (t.chmPath.isEmpty())
        return quintptr(0);
    HelpWindow* w = nullptr;
    QString topic;
    switch (command) {
    case DisplayTopic: {
        const auto* s = std::get_if<QString>(&data);
        topic = s && !s->isEmpty() ? *s : t.inner;
        if (!(w = windowFor(owner, t)))
            return quintptr(0);
        if (topic.isEmpty()) {
            w->showHome();
        } else {
            if (w->chm().resolve(withoutAnchor(topic)).isEmpty()) {
                fail(HelpFailure::Kind::NoTopic, t.chmPath, topic);
                return quintptr(0);
            }
            w->showTopic(topic);
        }
        break;
    }
    case HelpContext: {
        const auto* id = std::get_if<qint32>(&data);
        if (!id || !(w = windowFor(owner, t)))
            return quintptr(0);
        topic = w->chm().contextTopic(*id);
        if (topic.isEmpty()) {
            fail(HelpFailure::Kind::NoTopic, t.chmPath,
                 QStringLiteral("context number %1").arg(*id));
            return quintptr(0);
        }
        w->showTopic(topic);
        break;
    }
    case DisplayToc:
    case DisplayIndex:
    case DisplaySearch: {
        if (!(w = windowFor(owner, t)))
            return quintptr(0);
        if (w->browser()->source().isEmpty())
            w->showHome();
        if (command == DisplayToc)
            w->showContents();
        else if (command == DisplayIndex)
            w->showIndex();
        else if (const auto* r = std::get_if<HelpSearchRecord>(&data))
            w->showSearch(r->query);
        else
            w->showSearch();
        break;
    }
    case KeywordLookup:
    case ALinkLookup: {
        const auto* r = std::get_if<HelpLinkRecord>(&data);
        if (!r)
            return quintptr(0);
        std::shared_ptr<ChmFile> chm = openFile(t.chmPath);
        if (!chm)
            return quintptr(0);
        QStringList names;
        for (const QString& k : r->keywords.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            names << k.trimmed();
        QStringList found;
        QString keyword;
        if (command == KeywordLookup) {
            for (const ChmFile::IndexEntry& e : chm->index()) {
                if (names.contains(e.keyword, Qt::CaseInsensitive) && !e.locals.isEmpty()) {
                    found << e.locals;
                    if (keyword.isEmpty())
                        keyword = e.keyword;
                }
            }
        } else {
            found = chm->aLinkTopics(names);
        }
        if (found.isEmpty() && r->url.isNull()) {
            if (!r->msgText.isNull()) {
                m_dialogs->inform(nullptr, r->msgText,
                                  r->msgTitle.isNull() ? chm->title() : r->msgTitle,
                                  platform::Dialogs::Icon::Information);
            }
            return quintptr(0);
        }
        if (!(w = windowFor(owner, t, r->window)))
            return quintptr(0);
        w->showTopic(found.isEmpty() ? r->url : found.first());
        if (!keyword.isEmpty())
            w->showIndex(keyword);
        break;
    }
    default:
        return quintptr(0);
    }
    w->bringToFront();
    return quintptr(w->winId());
}

bool ChmHelpViewer::deleteMenuItem(quintptr window, int) {
    // Our help windows offer no jump-to-address command, so there is never an item to remove;
    // the answer only tells whether the window is one of ours.
    return this->window(window) != nullptr;
}

} // namespace help
