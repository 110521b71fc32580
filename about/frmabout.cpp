#include "frmabout.h"

#include "appicon.h"
#include "appinfo.h"
#include "dialogs.h"
#include "shell.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

frmAbout::frmAbout(platform::Dialogs& dialogs, platform::RegistryStore& registry,
                   platform::Shell& shell, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_registry(registry), m_shell(shell) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About MyApp"));
    setWindowIcon(platform::applicationIcon());

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(platform::applicationIcon().pixmap(64, 64));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    picIcon->setAccessibleName(QStringLiteral("Application icon"));

    lblTitle = new QLabel(QStringLiteral("Application Title"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    lblTitle->setFont(big);

    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    lblDescription =
        new QLabel(QStringLiteral("Copyright \u00A9 2026 Orbwell. All rights reserved."), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);

    lblDisclaimer = new QLabel(
        QStringLiteral("Warning: this program is protected by copyright law. Copying or "
                       "distributing it, or any part of it, without the owner's permission "
                       "may be prosecuted to the full extent of the law."),
        this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    QPalette muted = lblDisclaimer->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::PlaceholderText));
    lblDisclaimer->setPalette(muted);

    for (QFrame*& line : Line1) {
        line = separator(this);
        line->setObjectName(QStringLiteral("Line1"));
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true); // Enter presses it; Escape rejects the dialog, which is the same
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    auto* text = new QVBoxLayout;
    text->setSpacing(6);
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(lblDescription);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(picIcon);
    top->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOK);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(20, 20, 20, 16);
    root->setSpacing(12);
    root->addLayout(top);
    root->addWidget(Line1[0]);
    root->addWidget(lblDisclaimer);
    root->addWidget(Line1[1]);
    root->addLayout(buttons);
    setMinimumWidth(440);

    Form_Load();
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + appinfo::kAppName);
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(appinfo::kVersionMajor)
                            .arg(appinfo::kVersionMinor)
                            .arg(appinfo::kVersionPatch));
    lblTitle->setText(appinfo::kAppName);
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

QStringList frmAbout::systemInfoPrograms() {
    return {QStringLiteral("hardinfo2"),           QStringLiteral("hardinfo"),
            QStringLiteral("kinfocenter"),         QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager")};
}

bool frmAbout::start(const QString& program) {
    return m_shell.startDetached(program, {});
}

void frmAbout::StartSysInfo() {
    using Root = platform::RegistryStore::Root;
    QString path;
    if (GetKeyValue(Root::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path)) {
        if (start(path))
            return;
    } else if (GetKeyValue(Root::LocalMachine,
                           QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                           QStringLiteral("MSINFO"), path)) {
        const QString exe = QDir::cleanPath(path + QStringLiteral("/MSINFO32.EXE"));
        if (QFileInfo(exe).isFile() && start(exe))
            return;
    } else {
        // Without a registry entry, use what this desktop offers.
        for (const QString& name : systemInfoPrograms()) {
            const QString found = m_shell.findProgram(name);
            if (!found.isEmpty() && start(found))
                return;
        }
    }
    m_dialogs.inform(this, QStringLiteral("System Information Is Unavailable At This Time"),
                     appinfo::kAppName);
}

bool frmAbout::GetKeyValue(platform::RegistryStore::Root KeyRoot, const QString& KeyName,
                           const QString& SubKeyRef, QString& KeyVal) {
    using Store = platform::RegistryStore;
    // Read access plus every key-specific right, as the tool's own lookup asks for.
    constexpr quint32 kRights = 0x2003F;
    Store::Key key = 0;
    if (m_registry.open(KeyRoot, KeyName, kRights, &key) != Store::Success) {
        KeyVal.clear();
        return false;
    }
    Store::Value value;
    if (m_registry.queryValue(key, SubKeyRef, &value) != Store::Success) {
        KeyVal.clear();
        m_registry.close(key);
        return false;
    }
    switch (value.type) {
    case Store::Type::String:
        KeyVal = value.text;
        if (KeyVal.endsWith(QChar(u'\0')))
            KeyVal.chop(1);
        break;
    case Store::Type::ExpandString:
        // A path such as "%ProgramFiles%\..." is of no use unexpanded.
        KeyVal = Store::expandEnvironment(value.text);
        if (KeyVal.endsWith(QChar(u'\0')))
            KeyVal.chop(1);
        break;
    case Store::Type::Number:
        // The number in hexadecimal, most significant digit first.
        KeyVal = QStringLiteral("&h") + QString::number(value.number, 16).toUpper();
        break;
    default:
        break;
    }
    m_registry.close(key);
    return true;
}
