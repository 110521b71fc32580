#include "feeddialog.h"

#include "dialogs.h"
#include "feeditems.h"
#include "feedparser.h"
#include "htmltext.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

FeedDialog::FeedDialog(platform::Dialogs& dialogs, const feed::Source& remembered, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmFeed"));
    setWindowTitle(QStringLiteral("Import from Feed"));

    txtFeedAddress = new QLineEdit(remembered.address, this);
    txtFeedAddress->setObjectName(QStringLiteral("txtFeedAddress"));
    txtFeedAddress->setPlaceholderText(QStringLiteral("https://example.com/feed.xml"));
    txtFeedAddress->setToolTip(
        QStringLiteral("The address of an RSS, Atom or JSON feed, or the path of a feed file."));
    auto* lblAddress = new QLabel(QStringLiteral("Feed &address:"), this);
    lblAddress->setBuddy(txtFeedAddress);
    cmdFeedBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    cmdFeedBrowse->setObjectName(QStringLiteral("cmdFeedBrowse"));
    cmdFeedFetch = new QPushButton(QStringLiteral("&Fetch"), this);
    cmdFeedFetch->setObjectName(QStringLiteral("cmdFeedFetch"));

    prgFeed = new QProgressBar(this);
    prgFeed->setObjectName(QStringLiteral("prgFeed"));
    prgFeed->setVisible(false);
    prgFeed->setTextVisible(false);
    prgFeed->setAccessibleName(QStringLiteral("Reading the feed"));
    lblFeedStatus = new QLabel(this);
    lblFeedStatus->setObjectName(QStringLiteral("lblFeedStatus"));
    lblFeedStatus->setWordWrap(true);
    lblFeedStatus->setTextFormat(Qt::PlainText);
    lblFeedStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    tvFeedEntries = new QTreeWidget(this);
    tvFeedEntries->setObjectName(QStringLiteral("tvFeedEntries"));
    tvFeedEntries->setHeaderLabels(
        {QStringLiteral("Title"), QStringLiteral("Date"), QStringLiteral("Link")});
    tvFeedEntries->setRootIsDecorated(false);
    tvFeedEntries->setUniformRowHeights(true);
    tvFeedEntries->header()->setStretchLastSection(true);
    tvFeedEntries->setColumnWidth(0, 300);
    tvFeedEntries->setColumnWidth(1, 150);
    tvFeedEntries->setAccessibleName(QStringLiteral("Feed entries"));
    auto* lblEntries = new QLabel(QStringLiteral("&Entries to add:"), this);
    lblEntries->setBuddy(tvFeedEntries);
    cmdFeedAll = new QPushButton(QStringLiteral("Select A&ll"), this);
    cmdFeedAll->setObjectName(QStringLiteral("cmdFeedAll"));
    cmdFeedNone = new QPushButton(QStringLiteral("Select N&one"), this);
    cmdFeedNone->setObjectName(QStringLiteral("cmdFeedNone"));

    udFeedNameLength = new QSpinBox(this);
    udFeedNameLength->setObjectName(QStringLiteral("udFeedNameLength"));
    udFeedNameLength->setRange(5, 200);
    udFeedNameLength->setValue(std::clamp(remembered.options.nameLength, 5, 200));
    udFeedNameLength->setSuffix(QStringLiteral(" characters"));
    udFeedSummary = new QSpinBox(this);
    udFeedSummary->setObjectName(QStringLiteral("udFeedSummary"));
    udFeedSummary->setRange(0, 2000);
    udFeedSummary->setSingleStep(20);
    udFeedSummary->setSpecialValueText(QStringLiteral("None"));
    udFeedSummary->setSuffix(QStringLiteral(" characters"));
    udFeedSummary->setValue(remembered.options.summaryLength);
    udFeedSummary->setToolTip(
        QStringLiteral("How much of each entry's summary follows its title, as plain text."));
    chkFeedMarkup =
        new QCheckBox(QStringLiteral("Keep simple &markup in titles (bold, italic)"), this);
    chkFeedMarkup->setObjectName(QStringLiteral("chkFeedMarkup"));
    chkFeedMarkup->setChecked(remembered.options.titleMarkup);
    chkFeedMarkup->setToolTip(QStringLiteral(
        "Titles are text unless this is checked. Scripts, links and styles are never kept."));
    chkFeedRemember =
        new QCheckBox(QStringLiteral("&Remember this feed for Item > Refresh from Feed"), this);
    chkFeedRemember->setObjectName(QStringLiteral("chkFeedRemember"));
    chkFeedRemember->setChecked(true);

    m_buttons = new QDialogButtonBox(this);
    cmdFeedAdd = m_buttons->addButton(QStringLiteral("A&dd Items"), QDialogButtonBox::AcceptRole);
    cmdFeedAdd->setObjectName(QStringLiteral("cmdFeedAdd"));
    m_buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdFeedCancel"));

    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(lblAddress);
    addressRow->addWidget(txtFeedAddress, 1);
    addressRow->addWidget(cmdFeedBrowse);
    addressRow->addWidget(cmdFeedFetch);
    auto* selectRow = new QHBoxLayout;
    selectRow->addWidget(lblEntries);
    selectRow->addStretch(1);
    selectRow->addWidget(cmdFeedAll);
    selectRow->addWidget(cmdFeedNone);
    auto* form = new QFormLayout;
    auto* lblName = new QLabel(QStringLiteral("Item &names cut to:"), this);
    lblName->setBuddy(udFeedNameLength);
    auto* lblSummary = new QLabel(QStringLiteral("&Summary after the title:"), this);
    lblSummary->setBuddy(udFeedSummary);
    for (QSpinBox* spin : {udFeedNameLength, udFeedSummary})
        spin->setMaximumWidth(
            spin->fontMetrics().horizontalAdvance(QStringLiteral("0000 characters")) + 48);
    form->addRow(lblName, udFeedNameLength);
    form->addRow(lblSummary, udFeedSummary);
    form->addRow(chkFeedMarkup);
    form->addRow(chkFeedRemember);
    auto* main = new QVBoxLayout(this);
    main->addLayout(addressRow);
    main->addWidget(prgFeed);
    main->addWidget(lblFeedStatus);
    main->addLayout(selectRow);
    main->addWidget(tvFeedEntries, 1);
    main->addLayout(form);
    main->addWidget(m_buttons);
    resize(720, 520);

    // Enter reads the feed while the address is being edited, and adds the items afterwards.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    cmdFeedFetch->setDefault(true);
    connect(txtFeedAddress, &QLineEdit::textEdited, this, [this] {
        cmdFeedAdd->setDefault(false);
        cmdFeedFetch->setDefault(true);
    });
    connect(cmdFeedFetch, &QPushButton::clicked, this, &FeedDialog::fetch);
    connect(cmdFeedBrowse, &QPushButton::clicked, this, &FeedDialog::browse);
    connect(cmdFeedAll, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < tvFeedEntries->topLevelItemCount(); ++i)
            setChecked(i, true);
    });
    connect(cmdFeedNone, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < tvFeedEntries->topLevelItemCount(); ++i)
            setChecked(i, false);
    });
    connect(tvFeedEntries, &QTreeWidget::itemChanged, this, &FeedDialog::updateButtons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        if (checkedCount() > 0)
            accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &FeedDialog::reject);
    connect(&m_fetcher, &feed::Fetcher::finished, this, &FeedDialog::onFinished);
    connect(&m_fetcher, &feed::Fetcher::progress, this, [this](qint64 received, qint64 total) {
        if (total > 0 && total <= m_fetcher.limits().maxBytes) {
            prgFeed->setRange(0, 1000);
            prgFeed->setValue(int(received * 1000 / total));
        }
        setStatus(QStringLiteral("Reading the feed... %1 received.")
                      .arg(QLocale().formattedDataSize(received)),
                  false);
    });
    if (remembered.isSet())
        setStatus(QStringLiteral("Press Fetch to read this feed again, or give another."), false);
    else
        setStatus(QStringLiteral("Give the address of a feed, or browse for a feed file, and "
                                 "press Fetch."),
                  false);
    updateButtons();
}

FeedDialog::~FeedDialog() = default;

void FeedDialog::setLimits(const feed::Limits& limits) {
    m_fetcher.setLimits(limits);
}

void FeedDialog::setAddress(const QString& address) {
    txtFeedAddress->setText(address);
}

QString FeedDialog::address() const {
    return txtFeedAddress->text().trimmed();
}

bool FeedDialog::isFetching() const {
    return m_fetcher.isRunning();
}

bool FeedDialog::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_F1 && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
            e->accept();
            if (e->type() == QEvent::KeyPress)
                emit(mods == Qt::ShiftModifier ? whatsThisRequested() : helpRequested());
            return true;
        }
    }
    return QDialog::event(e);
}

QString FeedDialog::status() const {
    return lblFeedStatus->text();
}

int FeedDialog::entryCount() const {
    return tvFeedEntries->topLevelItemCount();
}

void FeedDialog::setChecked(int row, bool checked) {
    if (QTreeWidgetItem* item = tvFeedEntries->topLevelItem(row))
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

int FeedDialog::checkedCount() const {
    int n = 0;
    for (int i = 0; i < tvFeedEntries->topLevelItemCount(); ++i)
        n += tvFeedEntries->topLevelItem(i)->checkState(0) == Qt::Checked ? 1 : 0;
    return n;
}

feed::ItemOptions FeedDialog::options() const {
    feed::ItemOptions o;
    o.nameLength = udFeedNameLength->value();
    o.summaryLength = udFeedSummary->value();
    o.titleMarkup = chkFeedMarkup->isChecked();
    return o;
}

QList<clsItem> FeedDialog::chosenItems() const {
    const feed::ItemOptions o = options();
    QList<clsItem> items;
    for (int i = 0; i < tvFeedEntries->topLevelItemCount() && i < m_entries.size(); ++i)
        if (tvFeedEntries->topLevelItem(i)->checkState(0) == Qt::Checked)
            items << feed::makeItem(m_entries[i], o);
    return items;
}

feed::Source FeedDialog::source() const {
    feed::Source s;
    s.address = m_readAddress;
    s.options = options();
    s.maxEntries = checkedCount();
    s.etag = m_validators.etag;
    s.lastModified = m_validators.lastModified;
    return s;
}

bool FeedDialog::remember() const {
    return chkFeedRemember->isChecked();
}

void FeedDialog::reject() {
    if (m_fetcher.isRunning()) {
        m_fetcher.cancel();
        return;
    }
    QDialog::reject();
}

void FeedDialog::browse() {
    const QString path = m_dialogs.openFile(
        this, platform::Dialogs::FileRequest{QStringLiteral("Open Feed File"),
                                             QString(),
                                             {QStringLiteral("Feeds (*.xml *.rss *.atom *.json)"),
                                              QStringLiteral("All Files (*)")},
                                             0,
                                             false});
    if (path.isEmpty())
        return;
    setAddress(QDir::toNativeSeparators(path));
    fetch();
}

void FeedDialog::fetch() {
    QString why;
    const std::optional<QUrl> url = feed::addressToUrl(address(), &why);
    if (!url) {
        setStatus(why, true);
        txtFeedAddress->setFocus();
        emit fetchFinished(false);
        return;
    }
    m_entries.clear();
    tvFeedEntries->clear();
    m_readAddress.clear();
    m_validators = {};
    prgFeed->setRange(0, 0); // busy until the size is known
    prgFeed->setVisible(true);
    setStatus(QStringLiteral("Reading the feed... (Cancel or Esc stops it)"), false);
    cmdFeedFetch->setEnabled(false);
    updateButtons();
    m_fetcher.start(*url);
}

void FeedDialog::onFinished(const feed::FetchResult& result) {
    prgFeed->setVisible(false);
    cmdFeedFetch->setEnabled(true);
    if (result.cancelled) {
        setStatus(QStringLiteral("Reading the feed was cancelled. Press Fetch to try again."),
                  false);
    } else if (!result.ok) {
        setStatus(result.error, true);
    } else {
        const feed::ParseResult parsed =
            feed::parse(result.bytes, result.finalUrl, result.contentType);
        if (!parsed.ok) {
            setStatus(parsed.error, true);
        } else {
            showEntries(parsed.feed);
            QString where;
            const std::optional<QUrl> url = feed::addressToUrl(address(), &where);
            m_readAddress = url && url->isLocalFile() ? url->toLocalFile() : address();
            if (!result.movedTo.isEmpty())
                m_readAddress = result.movedTo.toString();
            m_validators = {result.etag, result.lastModified};
        }
    }
    updateButtons();
    emit fetchFinished(result.ok && !m_entries.isEmpty());
}

void FeedDialog::showEntries(const feed::Feed& f) {
    m_entries = f.entries;
    QList<QTreeWidgetItem*> rows;
    rows.reserve(m_entries.size());
    const QLocale locale;
    for (const feed::Entry& e : m_entries) {
        QString title =
            e.titleIsHtml ? htmltext::toPlainText(e.title) : htmltext::collapseSpace(e.title);
        if (title.isEmpty())
            title = htmltext::cut(e.summary, 80);
        auto* row = new QTreeWidgetItem(
            {title,
             e.date.isValid() ? locale.toString(e.date.toLocalTime(), QLocale::ShortFormat)
                              : QString(),
             e.link});
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Checked);
        row->setToolTip(0, title);
        rows << row;
    }
    tvFeedEntries->addTopLevelItems(rows);
    const QString name = f.title.isEmpty() ? QStringLiteral("the feed") : u'"' + f.title + u'"';
    if (m_entries.isEmpty()) {
        setStatus(QStringLiteral("%1 has no entries at the moment.").arg(name), true);
        return;
    }
    setStatus(QStringLiteral("%1 has %2 entries; the checked ones become items at the end of "
                             "the list.")
                  .arg(name)
                  .arg(m_entries.size()),
              false);
    cmdFeedFetch->setDefault(false);
    cmdFeedAdd->setDefault(true);
    tvFeedEntries->setCurrentItem(tvFeedEntries->topLevelItem(0));
    tvFeedEntries->setFocus();
}

void FeedDialog::setStatus(const QString& text, bool error) {
    lblFeedStatus->setText(text);
    lblFeedStatus->setForegroundRole(error ? QPalette::Highlight : QPalette::WindowText);
    lblFeedStatus->setStyleSheet(error ? QStringLiteral("color: #b00020;") : QString());
}

void FeedDialog::updateButtons() {
    const bool idle = !m_fetcher.isRunning();
    const bool any = idle && checkedCount() > 0;
    cmdFeedAdd->setEnabled(any);
    cmdFeedAll->setEnabled(idle && entryCount() > 0);
    cmdFeedNone->setEnabled(idle && entryCount() > 0);
}
