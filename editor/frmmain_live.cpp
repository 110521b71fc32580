// The live preview beside the tabs: the document as it stands in the fields, run a short moment
// after each change that passes the field checks.
#include "frmmain.h"

#include "document.h"
#include "fieldrow.h"
#include "fieldrules.h"
#include "livepreview.h"
#include "scriptwriter.h"
#include "userconfig.h"

#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString kLiveVisible = QStringLiteral("live/visible");
const QString kLiveDark = QStringLiteral("live/dark");
const QString kLiveRtl = QStringLiteral("live/rightToLeft");

} // namespace

void frmMain::buildLivePreview() {
    m_live = new LivePreview(
        m_appFolder,
        [this](const QUrl& url) {
            if (m_linkOpener)
                m_linkOpener(url);
        },
        this);
    m_live->addToBar(embedButton(m_live));

    // The pane stands beside the tabs, in a splitter whose place is remembered.
    auto* split = new QSplitter(Qt::Horizontal);
    split->setObjectName(QStringLiteral("liveSplitter"));
    split->setChildrenCollapsible(false);
    delete centralWidget()->layout()->replaceWidget(tabMain, split);
    split->addWidget(tabMain);
    split->addWidget(m_live);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    // Room for the default scroller beside the fields at the window's first size.
    split->setSizes({440, 340});
    nameSplitter(split, QStringLiteral("Tabs and live preview"));

    mnuView = new QMenu(QStringLiteral("&View"), this);
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuView->menuAction()->setObjectName(QStringLiteral("mnuViewAction"));
    menuBar()->insertMenu(mnuHelp->menuAction(), mnuView);
    const auto entry = [this](const char* name, const QString& caption) {
        QAction* a = mnuView->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        return a;
    };
    mnuViewLive = entry("mnuViewLive", QStringLiteral("&Live Preview"));
    mnuViewLive->setShortcut(QKeySequence(QStringLiteral("F12")));
    mnuView->addSeparator();
    QAction* dark = entry("mnuViewLiveDark", QStringLiteral("&Dark Preview Page"));
    QAction* rtl = entry("mnuViewLiveRtl", QStringLiteral("&Right-to-Left Preview Page"));

    const auto settings = userconfig::settings();
    mnuViewLive->setChecked(settings->value(kLiveVisible, true).toBool());
    m_live->setDark(settings->value(kLiveDark, false).toBool());
    m_live->setRightToLeft(settings->value(kLiveRtl, false).toBool());
    dark->setChecked(m_live->dark());
    rtl->setChecked(m_live->rightToLeft());
    connect(dark, &QAction::toggled, m_live, &LivePreview::setDark);
    connect(rtl, &QAction::toggled, m_live, &LivePreview::setRightToLeft);
    connect(m_live, &LivePreview::lookChanged, this, [this, dark, rtl] {
        dark->setChecked(m_live->dark());
        rtl->setChecked(m_live->rightToLeft());
        userconfig::write([this](QSettings& s) {
            s.setValue(kLiveDark, m_live->dark());
            s.setValue(kLiveRtl, m_live->rightToLeft());
        });
    });
    connect(mnuViewLive, &QAction::toggled, this, [this](bool on) {
        userconfig::write([on](QSettings& s) { s.setValue(kLiveVisible, on); });
        showLivePane();
    });
    connect(tabMain, &QTabWidget::currentChanged, this, &frmMain::showLivePane);

    m_liveTimer = new QTimer(this);
    m_liveTimer->setSingleShot(true);
    m_liveTimer->setInterval(kLiveDelayMs);
    connect(m_liveTimer, &QTimer::timeout, this, &frmMain::refreshLivePreview);
    showLivePane();
}

void frmMain::showLivePane() {
    // The Preview tab shows the scroller already.
    const bool on = mnuViewLive->isChecked() && tabMain->currentIndex() != 2;
    m_live->setVisible(on);
    if (on) {
        m_live->ensureView();
        scheduleLivePreview();
    }
}

void frmMain::scheduleLivePreview() {
    if (m_liveTimer && m_live->isVisibleTo(this))
        m_liveTimer->start();
}

QString frmMain::liveProblem() const {
    const QString kept = QStringLiteral(" The preview shows the last good values.");
    for (const FieldRow& f : fieldTable()) {
        if (f.check == FieldRow::Check::None || (f.ofItem() && m_doc->current() < 0))
            continue;
        const QString problem = f.problem(typedText(f));
        if (problem.isEmpty())
            continue;
        const QString label =
            (f.ofItem() ? QStringLiteral("Item ") : QString()) + widgetOf(f)->accessibleName();
        if (f.check == FieldRow::Check::Name)
            return label + QStringLiteral(": ") + problem + kept;
        const fieldrules::Bounds b = fieldrules::bounds(f.bounds);
        return QStringLiteral("%1: enter a number from %2 to %3.")
                   .arg(label)
                   .arg(b.min)
                   .arg(b.max) +
               kept;
    }
    return QString();
}

ScrollerDocument frmMain::liveDocument() const {
    // The records stay as they are until their fixed moments; the preview reads the fields.
    ScrollerDocument doc = m_doc->records();
    fieldsInto(doc.scroller);
    const int at = m_doc->current();
    if (at >= 0 && at < doc.items.size())
        itemFieldsInto(doc.items[at]);
    return doc;
}

void frmMain::refreshLivePreview() {
    if (!m_live->isVisibleTo(this))
        return;
    const QString problem = liveProblem();
    if (!problem.isEmpty()) {
        m_live->setNote(problem);
        return;
    }
    const ScrollerDocument doc = liveDocument();
    m_live->setNote(doc.items.isEmpty()
                        ? QStringLiteral("The scroller has no items yet: add one on the Items tab.")
                        : QString());
    m_live->showScript(scriptwriter::BuildScript(doc), doc.scroller.sName,
                       m_doc->projectFolder().isEmpty() ? m_appFolder : m_doc->projectFolder());
}
