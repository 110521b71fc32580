// The Help menu: help contents and topics, What's This, the online links and the About box.
#include "frmmain.h"

#include "appinfo.h"
#include "fieldrow.h"
#include "frmabout.h"
#include "helpprocess.h"
#include "htmlhelp.h"
#include "modform.h"
#include "registrystore.h"
#include "shell.h"
#include "stringtable.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHash>
#include <QHelpEvent>
#include <QPointer>
#include <QUrl>
#include <QWhatsThis>
#include <QWidget>

namespace {

const QString kVendorHost = QStringLiteral("orbwell.example");

// Answers the window system's What's This questions for the controls that have a topic.
class ContextHelpFilter : public QObject {
public:
    ContextHelpFilter(QObject* owner, std::function<void(QWidget*, QPoint)> show)
        : QObject(owner), m_show(std::move(show)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::QueryWhatsThis) {
            event->setAccepted(true);
            return true;
        }
        if (event->type() == QEvent::WhatsThis) {
            // One question per What's This click, as the window system's own help text does.
            QWhatsThis::leaveWhatsThisMode();
            m_show(static_cast<QWidget*>(watched), static_cast<QHelpEvent*>(event)->globalPos());
            event->setAccepted(true);
            return true;
        }
        return false;
    }

private:
    std::function<void(QWidget*, QPoint)> m_show;
};

} // namespace

// Which context-help topic each control asks for: a field, its label and its spinner share one.
const QHash<QString, int>& frmMain::helpNumbers() {
    static const QHash<QString, int> numbers = [] {
        std::vector<std::pair<QString, int>> rows;
        for (const FieldRow& f : fieldTable())
            rows.emplace_back(QLatin1String(f.key), f.help);
        // Import from Feed
        const std::pair<const char*, int> feed[] = {
            {"FeedAddress", 4001}, {"FeedEntries", 4002}, {"FeedNameLength", 4003},
            {"FeedSummary", 4004}, {"FeedMarkup", 4005},  {"FeedRemember", 4006}};
        for (const auto& [key, number] : feed)
            rows.emplace_back(QLatin1String(key), number);
        QHash<QString, int> h;
        for (const auto& [key, number] : rows)
            for (const char* prefix : {"txt", "cbo", "lbl", "ud", "tv", "chk"})
                h.insert(QLatin1String(prefix) + key, number);
        return h;
    }();
    return numbers;
}

frmMain::~frmMain() = default;

void frmMain::setHelpServices(help::HelpViewer* viewer, platform::RegistryStore* registry,
                              platform::Shell* shell) {
    m_viewer = viewer;
    m_registry = registry;
    m_shell = shell;
    if (m_viewer)
        m_viewer->setFailureHandler([this](const help::HelpFailure& f) { reportHelpFailure(f); });
}

help::HelpViewer& frmMain::helpViewer() {
    if (!m_viewer) {
        // Help runs in a process of its own: a help file that upsets its reader cannot take the
        // editor, and the user's unsaved work, down with it.
        m_ownViewer = std::make_unique<help::HelpProcessViewer>();
        m_viewer = m_ownViewer.get();
        m_viewer->setFailureHandler([this](const help::HelpFailure& f) { reportHelpFailure(f); });
    }
    return *m_viewer;
}

platform::RegistryStore& frmMain::registry() {
    if (!m_registry) {
        m_ownRegistry = std::make_unique<platform::RegistryStore>();
        m_registry = m_ownRegistry.get();
    }
    return *m_registry;
}

platform::Shell& frmMain::shell() {
    if (!m_shell) {
        m_ownShell = std::make_unique<platform::DesktopShell>();
        m_shell = m_ownShell.get();
    }
    return *m_shell;
}

HTMLHelp& frmMain::help() {
    if (!m_help) {
        m_help = std::make_unique<HTMLHelp>(helpViewer(), registry(), m_dialogs, m_appFolder);
        m_help->setStringTable(&stringtable::text);
    }
    return *m_help;
}

QString frmMain::helpFile() const {
    return QDir::toNativeSeparators(m_appFolder + u'/' + appinfo::kHelpFile);
}

void frmMain::connectHelp() {
    connect(mnuHelpContents, &QAction::triggered, this, &frmMain::mnuHelpContents_Click);
    connect(mnuHelpWhatsThis, &QAction::triggered, this, &frmMain::mnuHelpWhatsThis_Click);
    connect(mnuHelpIntegrate, &QAction::triggered, this, &frmMain::mnuHelpIntegrate_Click);
    connect(mnuHelpOnlinePage, &QAction::triggered, this, &frmMain::mnuHelpOnlinePage_Click);
    connect(mnuHelpOnlineSupport, &QAction::triggered, this, &frmMain::mnuHelpOnlineSupport_Click);
    connect(mnuHelpOnlineOrbwell, &QAction::triggered, this, &frmMain::mnuHelpOnlineOrbwell_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);

    installContextHelp(this);
}

void frmMain::installContextHelp(QWidget* window) {
    auto* filter = new ContextHelpFilter(window, [this](QWidget* w, QPoint pos) {
        showContextHelp(helpNumbers().value(w->objectName()), pos);
    });
    for (QWidget* w : window->findChildren<QWidget*>())
        if (helpNumbers().contains(w->objectName()))
            w->installEventFilter(filter);
}

bool frmMain::helpFilePresent() {
    if (QFileInfo(helpFile()).isFile())
        return true;
    reportHelpFailure(help::HelpFailure{help::HelpFailure::Kind::Missing, helpFile(), QString()});
    return false;
}

void frmMain::reportHelpFailure(const help::HelpFailure& failure) {
    using Kind = help::HelpFailure::Kind;
    const QString file = QDir::toNativeSeparators(failure.file);
    QString what;
    switch (failure.kind) {
    case Kind::Missing:
        what = QStringLiteral("the help file is missing.\n\nLooked for: %1").arg(file);
        break;
    case Kind::Damaged:
        what =
            QStringLiteral("the help file is damaged (%1).\n\nFile: %2").arg(failure.detail, file);
        break;
    case Kind::NoTopic:
        what = QStringLiteral("the help file lacks what was asked for (%1); it may be damaged or "
                              "belong to another version.\n\nFile: %2")
                   .arg(failure.detail, file);
        break;
    case Kind::ViewerFailed:
        what = QStringLiteral("%1; the help file may be damaged. Your document is not "
                              "affected.\n\nFile: %2")
                   .arg(failure.detail, file);
        break;
    }
    inform(QStringLiteral("Help could not be shown: ") + what +
           QStringLiteral("\n\nReinstall %1 to restore its help file.").arg(appinfo::kAppName));
}

void frmMain::showContextHelp(int number, QPoint globalPos) {
    if (number == 0 || m_contextHelpFile.isEmpty())
        return;
    help::HelpPopupRecord record;
    record.stringId = number;
    record.pos = globalPos;
    helpViewer().htmlHelp(quintptr(winId()), m_contextHelpFile, help::HelpViewer::DisplayTextPopup,
                          record);
}

void frmMain::mnuHelpContents_Click() {
    if (!helpFilePresent())
        return;
    HTMLHelp& h = help();
    h.setCHMFile(helpFile());
    h.setHHWindow(QStringLiteral("Main"));
    h.HHDisplayContents(0);
}

void frmMain::mnuHelpIntegrate_Click() {
    showHelpTopic(1001);
}

void frmMain::showHelpTopic(int number) {
    if (!helpFilePresent())
        return;
    HTMLHelp& h = help();
    h.setCHMFile(helpFile());
    h.setHHWindow(QStringLiteral("Main"));
    h.setHHTopicID(number);
    h.HHDisplayTopicID(0);
}

void frmMain::mnuHelpWhatsThis_Click() {
    help().HHInvokeWhatsThisHelp(quintptr(winId()));
}

void frmMain::mnuHelpOnlinePage_Click() {
    modForm::OpenInBrowser(kVendorHost + QStringLiteral("/dhtml/tickora/"), this, shell(),
                           m_dialogs);
}

void frmMain::mnuHelpOnlineSupport_Click() {
    modForm::OpenInBrowser(kVendorHost + QStringLiteral("/support/"), this, shell(), m_dialogs);
}

void frmMain::mnuHelpOnlineOrbwell_Click() {
    modForm::OpenInBrowser(kVendorHost, this, shell(), m_dialogs);
}

void frmMain::mnuHelpAbout_Click() {
    // Where the user was working; the box must not send later typing elsewhere (into the
    // list's type-ahead, say, which would switch items).
    const QPointer<QWidget> was = focusWidget();
    frmAbout about(m_dialogs, registry(), shell(), this);
    about.exec();
    if (!was || !was->isVisible() || !was->isEnabled()) {
        Form_Activate();
        return;
    }
    // On its way back the focus passes no field check, as after a rejection.
    m_focusReturn = was;
    Form_Activate();
    was->setFocus(Qt::ActiveWindowFocusReason);
    if (was->hasFocus())
        m_focusReturn = nullptr;
}

void frmMain::openLink(const QUrl& url) {
    modForm::OpenInBrowser(url.toString(), this, shell(), m_dialogs);
}
