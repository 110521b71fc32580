// Items from a news feed: Import from Feed, Refresh from Feed, Forget Feed, and the side file
// in which a document remembers its feed.
#include "frmmain.h"

#include "appinfo.h"
#include "feeddialog.h"
#include "feedparser.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QProgressBar>
#include <QProgressDialog>

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
    commitFields();
    FeedDialog dialog(m_dialogs, m_doc->feedSource(), this);
    dialog.setLimits(m_feedLimits);
    // Help reaches into the dialog, whose window holds the keyboard while it is open.
    installContextHelp(&dialog);
    connect(&dialog, &FeedDialog::whatsThisRequested, this, &frmMain::mnuHelpWhatsThis_Click);
    connect(&dialog, &FeedDialog::helpRequested, this, [this] { showHelpTopic(kFeedsTopic); });
    const int answer = m_feedDialogRunner ? m_feedDialogRunner(dialog) : dialog.exec();
    if (answer != QDialog::Accepted)
        return;
    const QList<clsItem> items = dialog.chosenItems();
    if (items.isEmpty())
        return;
    feed::Source after = m_doc->feedSource();
    if (dialog.remember()) {
        after = dialog.source();
        after.items = items;
    } // else the items stay, but a refresh would no longer know them
    // After every item, as Add puts a new one; the whole import is one step.
    m_doc->replaceFeedItems({}, m_doc->count(), items, after, true,
                            QStringLiteral("Import from Feed"));
    RefreshControls();
}

void frmMain::mnuItemRefreshFeed_Click() {
    const feed::Source source = m_doc->feedSource(); // a copy: the read runs the event loop
    if (!source.isSet()) {
        RefreshControls();
        return;
    }
    commitFields();
    const QString unchanged = QStringLiteral("\nThe items were left as they were.");
    QString why;
    const std::optional<QUrl> url = feed::addressToUrl(source.address, &why);
    if (!url) {
        inform(why + unchanged, Dialogs::Icon::Exclamation);
        return;
    }

    // The read runs in the event loop behind a progress box whose Cancel stops it.
    feed::Fetcher fetcher;
    fetcher.setLimits(m_feedLimits);
    QProgressDialog progress(QStringLiteral("Reading the feed %1 ...").arg(source.address),
                             QStringLiteral("Cancel"), 0, 0, this);
    progress.setWindowTitle(appinfo::kAppName);
    auto* bar = new QProgressBar(&progress);
    bar->setAccessibleName(QStringLiteral("Reading the feed"));
    progress.setBar(bar);
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
    fetcher.start(*url, feed::Validators{source.etag, source.lastModified});
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
    if (result.notModified) {
        inform(QStringLiteral("The feed %1 has nothing new since it was last read.")
                       .arg(source.address) +
                   unchanged,
               Dialogs::Icon::Information);
        return;
    }
    const feed::ParseResult parsed = feed::parse(result.bytes, result.finalUrl, result.contentType);
    if (!parsed.ok) {
        inform(parsed.error + unchanged, Dialogs::Icon::Exclamation);
        return;
    }
    const QList<clsItem> items =
        feed::makeItems(parsed.feed.entries, source.options, source.maxEntries);
    if (items.isEmpty()) {
        // An empty feed is more often a passing fault than news.
        inform(QStringLiteral("The feed %1 has no entries at the moment.").arg(source.address) +
                   unchanged,
               Dialogs::Icon::Exclamation);
        return;
    }
    QList<clsItem> current;
    current.reserve(m_doc->count());
    for (int i = 0; i < m_doc->count(); ++i)
        current << m_doc->item(i);
    const feed::RefreshPlan plan = feed::planRefresh(current, source.items);
    feed::Source after = source;
    after.items = items;
    after.etag = result.etag;
    after.lastModified = result.lastModified;
    // A feed that moved for good is read at its new address from now on, once the user saves.
    if (!result.movedTo.isEmpty())
        after.address = result.movedTo.toString();
    // The old feed items go and the new ones come in one step.
    m_doc->replaceFeedItems(plan.removed, plan.insertAt, items, after, false,
                            QStringLiteral("Refresh from Feed"));
    RefreshControls();
}

void frmMain::mnuItemForgetFeed_Click() {
    if (!m_doc->feedSource().isSet())
        return;
    commitFields();
    // The feed's items stay as ordinary items.
    m_doc->setFeedSource(feed::Source(), QStringLiteral("Forget Feed"));
    RefreshControls();
}
