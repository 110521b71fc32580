// Opening a web address in the user's browser: the command the shell gives is started, and
// the two failures the user is told about.
#include "fakedialogs.h"
#include "fakeshell.h"
#include "modform.h"

#include <QTest>

using platform::Dialogs;

class TestModForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openInBrowser_data() {
        QTest::addColumn<QString>("browser"); // empty: none known
        QTest::addColumn<bool>("startFails");
        QTest::addColumn<QString>("text"); // of the message; empty: none
        QTest::addColumn<QString>("title");
        QTest::newRow("no browser")
            << "" << false << "Could Not Find Associated Browser" << QString("Browser Not Found");
        QTest::newRow("start fails")
            << "/usr/bin/browser" << true << "Web Page Not Opened" << QString("URL Failed");
        QTest::newRow("started") << "/usr/bin/browser" << false << "" << QString("");
    }
    void openInBrowser() {
        platform::FakeShell shell;
        platform::FakeDialogs dialogs;
        QFETCH(QString, browser);
        shell.browser = browser;
        QFETCH(bool, startFails);
        shell.startFails = startFails;
        const QString address = QStringLiteral("orbwell.example/support/");
        modForm::OpenInBrowser(address, nullptr, shell, dialogs);
        QFETCH(QString, text);
        QCOMPARE(dialogs.messages.size(), text.isEmpty() ? 0 : 1);
        QCOMPARE(shell.started.size(), text.isEmpty() ? 1 : 0);
        if (text.isEmpty()) {
            QCOMPARE(shell.started[0].program, browser);
            QCOMPARE(shell.started[0].arguments, QStringList{address});
            return;
        }
        QCOMPARE(dialogs.messages[0].text, text);
        QTEST(dialogs.messages[0].title, "title");
        QCOMPARE(dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(dialogs.messages[0].buttons, Dialogs::Buttons::Ok);
    }
};

QTEST_GUILESS_MAIN(TestModForm)
#include "tst_modform.moc"
