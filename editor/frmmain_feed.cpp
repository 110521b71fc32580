// Items from a news feed: Import from Feed, Refresh from Feed, Forget Feed, and the side file
// in which a document remembers its feed.
#include "frmmain.h"

#include "editorrules.h"
#include "feeddialog.h"
#include "feedparser.h"
#include "itemnode.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTreeWidget>

#include <limits>

using platform::Dialogs;

namespace {
constexpr int kFeedsTopic = 1110; // the help page on feeds
} // namespace

void frmMain::connectFeedCommands() {
    connect(mnuItemImportFeed, &QAction::triggered, this, &frmMain::mnuItemImportFeed_Click);
    connect(mnuItemRefreshFeed, &QAction::triggered, this, &frmMain::mnuItemRefreshFeed_Click);
    connect(mnuItemForgetFeed, &QAction::triggered, this, &frmMain::mnuItemForgetFeed_Click);
}

void frmMain::mnuItemImportFeed_Click() {
    StoreItemFields(oSelNode);
    FeedDialog dialog(m_dialogs, m_feed, this);
    dialog.setLimits(m_feedLimits);
    // Help reaches into the dialog, whose window holds the keyboard while it is open.
    installContextHelp(&dialog);
    connect(&dialog, &FeedDialog::whatsThisRequested, this, &frmMain::mnuHelpWhatsThis_Click);
    connect(&dialog, &FeedDialog::helpRequested, this, [this] { showHelpTopic(kFeedsTopic); });
    const int answer = m_feedDialogRunner ? m_feedDialogRunner(dialog) : dialog.exec();
    if (answer != QDialog::Accepted)
        return;
    FeedChange change;
    change.items = dialog.chosenItems();
    if (change.items.isEmpty())
        return;
    change.insertAt = m_itm.count(); // after every item, as Add puts a new one
    if (dialog.remember()) {
        change.feedAfter = dialog.source();
        change.feedAfter.items = change.items;
    } else {
        // The items stay, but a refresh would no longer know them.
        change.feedAfter = m_feed;
    }
    applyFeedChange(change);
}

void frmMain::mnuItemRefreshFeed_Click() {
    if (!m_feed.isSet()) {
        RefreshControls();
        return;
    }
    StoreItemFields(oSelNode);
    const QString unchanged = QStringLiteral("\nThe items were left as they were.");
    QString why;
    const std::optional<QUrl> url = feed::addressToUrl(m_feed.address, &why);
    if (!url) {
        inform(why + unchanged, Dialogs::Icon::Exclamation);
        return;
    }

    // The read runs in the event loop behind a progress box whose Cancel stops it.
    feed::Fetcher fetcher;
    fetcher.setLimits(m_feedLimits);
    QProgressDialog progress(QStringLiteral("Reading the feed %1 ...").arg(m_feed.address),
                             QStringLiteral("Cancel"), 0, 0, this);
    progress.setWindowTitle(editorrules::kAppTitle);
    // Shown at once: the window must take no command while its items are about to change.
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    feed::FetchResult result;
    bool finished = false;
    QEventLoop loop;
    connect(&fetcher, &feed::Fetcher::finished, &loop, [&](const feed::FetchResult& r) {
        result = r;
        finished = true;
        loop.quit();
    });
    connect(&progress, &QProgressDialog::canceled, &fetcher, &feed::Fetcher::cancel);
    connect(&progress, &QDialog::rejected, &fetcher, &feed::Fetcher::cancel); // Escape
    fetcher.start(*url);
    if (!finished) {
        progress.show();
        loop.exec();
    }
    progress.reset();
    progress.hide();

    if (result.cancelled)
        return;
    if (!result.ok) {
        inform(result.error + unchanged, Dialogs::Icon::Exclamation);
        return;
    }
    const feed::ParseResult parsed = feed::parse(result.bytes, result.finalUrl);
    if (!parsed.ok) {
        inform(parsed.error + unchanged, Dialogs::Icon::Exclamation);
        return;
    }
    FeedChange change;
    change.items = feed::makeItems(parsed.feed.entries, m_feed.options, m_feed.maxEntries);
    if (change.items.isEmpty()) {
        // An empty feed is more often a passing fault than news.
        inform(QStringLiteral("The feed %1 has no entries at the moment.").arg(m_feed.address) +
                   unchanged,
               Dialogs::Icon::Exclamation);
        return;
    }
    QList<clsItem> current;
    current.reserve(m_itm.count());
    for (int i = 0; i < m_itm.count(); ++i)
        current << m_itm.at(i)->oItem;
    const feed::RefreshPlan plan = feed::planRefresh(current, m_feed.items);
    change.removedRows = plan.removed;
    change.insertAt = plan.insertAt;
    change.feedAfter = m_feed;
    change.feedAfter.items = change.items;
    change.selectNew = false;
    applyFeedChange(change);
}

void frmMain::mnuItemForgetFeed_Click() {
    if (!m_feed.isSet())
        return;
    // The feed's items stay as ordinary items.
    m_feed = feed::Source();
    bDirty = true;
    RefreshControls();
}

// The one place where feed items enter and leave the list, so that the whole import or refresh
// is a single step (and a single step to take back).
void frmMain::applyFeedChange(const FeedChange& change) {
    for (qsizetype i = change.removedRows.size() - 1; i >= 0; --i) {
        ItemNode* node = m_itm.at(change.removedRows[i]);
        if (!node)
            continue;
        // The list makes another entry current as this one goes, and stores the fields of the
        // item it believes shown: that must not be the removed one.
        if (node == oSelNode)
            oSelNode = nullptr;
        m_itm.remove(node);
    }

    QStringList keys;
    keys.reserve(change.items.size());
    for (qsizetype i = 0; i < change.items.size(); ++i) {
        keys << QStringLiteral("Item%1").arg(iNextItem);
        if (iNextItem < std::numeric_limits<qint16>::max())
            ++iNextItem;
    }
    const int at = std::clamp(change.insertAt, 0, m_itm.count());
    ItemNode* firstNew = nullptr;
    if (at == m_itm.count()) {
        m_itm.appendAll(keys, change.items);
        firstNew = m_itm.at(at);
    } else if (at > 0) {
        ItemNode* previous = m_itm.at(at - 1);
        for (qsizetype i = 0; i < change.items.size(); ++i) {
            ItemNode* node = m_itm.insertAfter(previous, keys[i]);
            node->oItem = change.items[i];
            node->setText(0, change.items[i].sName);
            previous = node;
            if (!firstNew)
                firstNew = node;
        }
    } else {
        // Before the first item: the new items go after it, and it moves behind them the way
        // Move Down moves an item, as a copy.
        ItemNode* first = m_itm.at(0);
        ItemNode* previous = first;
        for (qsizetype i = 0; i < change.items.size(); ++i) {
            ItemNode* node = m_itm.insertAfter(previous, keys[i]);
            node->oItem = change.items[i];
            node->setText(0, change.items[i].sName);
            previous = node;
            if (!firstNew)
                firstNew = node;
        }
        ItemNode* moved = m_itm.insertAfter(previous, QStringLiteral("TmpNode"));
        CopyTempToItems(first, moved);
        if (oSelNode == first)
            oSelNode = moved;
        m_itm.remove(first);
    }

    m_feed = change.feedAfter;
    if (change.selectNew || !oSelNode)
        makeCurrent(firstNew);
    else
        makeCurrent(oSelNode);
    ShowItemFields(oSelNode);
    bDirty = true;
    RefreshControls();
}

void frmMain::readFeedSource(const QString& scriptPath) {
    const feed::SourceRead r = feed::readSource(scriptPath);
    m_feed = r.source.value_or(feed::Source());
    if (!r.error.isEmpty())
        inform(r.error, Dialogs::Icon::Exclamation);
    RefreshControls();
}

void frmMain::writeFeedSource(const QString& scriptPath) {
    // A side file stands beside exactly the scripts that remember a feed.
    const QString error =
        m_feed.isSet() ? feed::writeSource(scriptPath, m_feed) : feed::removeSource(scriptPath);
    if (!error.isEmpty())
        inform(error + QStringLiteral("\nThe scroller itself was saved; Refresh from Feed will "
                                      "not know its feed items after the next Open."),
               Dialogs::Icon::Exclamation);
}
