#pragma once

#include "registrystore.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace platform {
class Dialogs;
class Shell;
} // namespace platform

// The modal About box: title, version, copyright and a button that starts the desktop's
// system-information tool.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(platform::Dialogs& dialogs, platform::RegistryStore& registry, platform::Shell& shell,
             QWidget* parent = nullptr);

    void StartSysInfo();
    // Reads a string or number value; false, with KeyVal empty, when it cannot be read.
    bool GetKeyValue(platform::RegistryStore::Root KeyRoot, const QString& KeyName,
                     const QString& SubKeyRef, QString& KeyVal);

    // Well-known system-information programs looked for on the PATH when the registry names
    // none.
    static QStringList systemInfoPrograms();

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QFrame* Line1[2];
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    bool start(const QString& program);

    platform::Dialogs& m_dialogs;
    platform::RegistryStore& m_registry;
    platform::Shell& m_shell;
};
