// The About box: its captions, closing it, and finding the system-information tool.
#include "fakedialogs.h"
#include "fakeshell.h"
#include "frmabout.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using platform::RegistryStore;

namespace {

const QString kPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

struct Fixture {
    QTemporaryDir dir;
    RegistryStore store{dir.filePath(QStringLiteral("registry.ini"))};
    platform::FakeDialogs dialogs;
    platform::FakeShell shell;

    void set(const QString& key, const QString& name, const QString& text,
             RegistryStore::Type type = RegistryStore::Type::String) {
        RegistryStore::Key k = 0;
        QCOMPARE(store.create(RegistryStore::Root::LocalMachine, key, RegistryStore::AllAccess, &k),
                 long(RegistryStore::Success));
        QCOMPARE(store.setString(k, name, text, type), long(RegistryStore::Success));
        store.close(k);
    }
};

} // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void captions() {
        Fixture f;
        frmAbout about(f.dialogs, f.store, f.shell);
        QCOMPARE(about.windowTitle(), QStringLiteral("About Tickora Creator"));
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Tickora Creator"));
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 4.0.0"));
        QVERIFY(about.lblDescription->text().contains(QStringLiteral("Copyright")));
        QVERIFY(!about.lblDisclaimer->text().isEmpty());
        QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QVERIFY(!about.picIcon->pixmap().isNull());
        QVERIFY(about.cmdOK->isDefault());
    }

    void enterAndEscapeClose_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("enter") << int(Qt::Key_Return);
        QTest::newRow("escape") << int(Qt::Key_Escape);
    }
    void enterAndEscapeClose() {
        QFETCH(int, key);
        Fixture f;
        frmAbout about(f.dialogs, f.store, f.shell);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QSignalSpy finished(&about, &QDialog::finished);
        QTest::keyClick(&about, Qt::Key(key));
        QCOMPARE(finished.size(), 1);
        QVERIFY(!about.isVisible());
        QVERIFY(f.shell.started.isEmpty());
    }

    void pathValueIsStartedUnchecked() {
        Fixture f;
        f.set(kPathKey, QStringLiteral("PATH"), QStringLiteral("/opt/tools/sysinfo --all"));
        frmAbout about(f.dialogs, f.store, f.shell);
        QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
        QCOMPARE(f.shell.started.size(), 1);
        QCOMPARE(f.shell.started[0].program, QStringLiteral("/opt/tools/sysinfo --all"));
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void folderValue_data() {
        QTest::addColumn<bool>("programThere");
        QTest::newRow("program in the folder") << true;
        QTest::newRow("program missing") << false;
    }
    void folderValue() {
        QFETCH(bool, programThere);
        Fixture f;
        const QString exe = f.dir.filePath(QStringLiteral("MSINFO32.EXE"));
        if (programThere) {
            QFile file(exe);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        f.set(kFolderKey, QStringLiteral("MSINFO"), f.dir.path() + QLatin1Char('/'));
        f.shell.programs = {QStringLiteral("/usr/bin/hardinfo")}; // not used: the key exists
        frmAbout about(f.dialogs, f.store, f.shell);
        about.StartSysInfo();
        if (programThere) {
            QCOMPARE(f.shell.started.size(), 1);
            QCOMPARE(f.shell.started[0].program, exe);
            QVERIFY(f.dialogs.messages.isEmpty());
        } else {
            QVERIFY(f.shell.started.isEmpty());
            QCOMPARE(f.dialogs.texts(),
                     QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
            QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Tickora Creator"));
            QCOMPARE(f.dialogs.messages[0].icon, platform::Dialogs::Icon::None);
        }
    }

    void withoutRegistryTheDesktopsToolIsUsed() {
        Fixture f;
        f.shell.programs = {QStringLiteral("/usr/bin/gnome-system-monitor"),
                            QStringLiteral("/usr/bin/kinfocenter")};
        frmAbout about(f.dialogs, f.store, f.shell);
        about.StartSysInfo();
        QCOMPARE(f.shell.started.size(), 1);
        QCOMPARE(f.shell.started[0].program, QStringLiteral("/usr/bin/kinfocenter"));

        Fixture none;
        frmAbout bare(none.dialogs, none.store, none.shell);
        bare.StartSysInfo();
        QVERIFY(none.shell.started.isEmpty());
        QCOMPARE(none.dialogs.texts(),
                 QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
    }

    void failedStartIsTold() {
        Fixture f;
        f.set(kPathKey, QStringLiteral("PATH"), QStringLiteral("/opt/tools/sysinfo"));
        f.shell.startFails = true;
        frmAbout about(f.dialogs, f.store, f.shell);
        about.StartSysInfo();
        QCOMPARE(f.dialogs.texts(),
                 QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
    }

    void readOnlyStoreRefusesTheRights() {
        Fixture f;
        f.set(kPathKey, QStringLiteral("PATH"), QStringLiteral("/opt/tools/sysinfo"));
        f.store.setReadOnly(true);
        frmAbout about(f.dialogs, f.store, f.shell);
        QString value = QStringLiteral("stale");
        QVERIFY(!about.GetKeyValue(RegistryStore::Root::LocalMachine, kPathKey,
                                   QStringLiteral("PATH"), value));
        QVERIFY(value.isEmpty());
        about.StartSysInfo();
        QVERIFY(f.shell.started.isEmpty());
        QCOMPARE(f.dialogs.messages.size(), 1);
    }

    void keyValues() {
        Fixture f;
        f.set(QStringLiteral("K"), QStringLiteral("plain"), QStringLiteral("abc"));
        f.set(QStringLiteral("K"), QStringLiteral("nul"), QStringLiteral("abc") + QChar(u'\0'));
        qputenv("TICKORA_TEST_DIR", "/opt/x");
        f.set(QStringLiteral("K"), QStringLiteral("expand"),
              QStringLiteral("%TICKORA_TEST_DIR%/info"), RegistryStore::Type::ExpandString);
        RegistryStore::Key k = 0;
        QCOMPARE(f.store.open(RegistryStore::Root::LocalMachine, QStringLiteral("K"),
                              RegistryStore::AllAccess, &k),
                 long(RegistryStore::Success));
        QCOMPARE(f.store.setNumber(k, QStringLiteral("number"), 0x102),
                 long(RegistryStore::Success));
        f.store.close(k);

        frmAbout about(f.dialogs, f.store, f.shell);
        const auto read = [&](const char* name, QString* out) {
            return about.GetKeyValue(RegistryStore::Root::LocalMachine, QStringLiteral("K"),
                                     QString::fromLatin1(name), *out);
        };
        QString v;
        QVERIFY(read("plain", &v));
        QCOMPARE(v, QStringLiteral("abc"));
        QVERIFY(read("nul", &v));
        QCOMPARE(v, QStringLiteral("abc"));
        QVERIFY(read("expand", &v));
        QCOMPARE(v, QStringLiteral("/opt/x/info"));
        QVERIFY(read("number", &v));
        QCOMPARE(v, QStringLiteral("&h102"));
        v = QStringLiteral("stale");
        QVERIFY(!read("missing", &v));
        QVERIFY(v.isEmpty());
        QVERIFY(!about.GetKeyValue(RegistryStore::Root::LocalMachine, QStringLiteral("Nope"),
                                   QStringLiteral("x"), v));
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
