// What the editor keeps for the user between sessions: the user's own default scroller.
#include "editorsession.h"

#include "document.h"
#include "scriptreader.h"
#include "userconfig.h"

#include <QTabWidget>

#include <unistd.h>

using Answer = platform::Dialogs::Answer;

namespace {

QString nameIn(const QString& path) {
    ScrollerDocument doc;
    scriptreader::LoadScroller(path, doc);
    return doc.scroller.sName;
}

// A folder the program may not write, as after a system-wide install. The owner of a folder
// without write permission still may when it is root, so root acts as another user meanwhile.
class ReadOnlyFolder {
public:
    ReadOnlyFolder(const QString& folder, const QString& userFolder) : m_folder(folder) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        if (geteuid() == 0) {
            // The other user needs to reach the session's folders and write the user's own.
            const auto all = QFileDevice::Permissions(0x7777);
            QFile::setPermissions(QFileInfo(folder).path(), all);
            if (!userFolder.isEmpty()) {
                QFile::setPermissions(QFileInfo(userFolder).path(), all);
                QFile::setPermissions(userFolder, all);
            }
            m_wasRoot = seteuid(65534) == 0;
        }
    }
    ~ReadOnlyFolder() {
        if (m_wasRoot && seteuid(0) != 0)
            qFatal("cannot return to root");
        QFile::setPermissions(m_folder, QFileDevice::Permissions(0x7755));
    }
    bool active() const { return !userconfig::canWriteIn(m_folder); }

private:
    QString m_folder;
    bool m_wasRoot = false;
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void saveAsDefaultGoesWhereNewReads_data() {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<bool>("ownBefore");
        QTest::addColumn<bool>("writesOwn");
        QTest::newRow("installed program, no own default") << false << false << true;
        QTest::newRow("installed program, own default") << false << true << true;
        QTest::newRow("writable program, no own default") << true << false << false;
        // New reads the user's own, so that is the default to change.
        QTest::newRow("writable program, own default") << true << true << true;
    }
    void saveAsDefaultGoesWhereNewReads() {
        QFETCH(bool, programWritable);
        QFETCH(bool, ownBefore);
        QFETCH(bool, writesOwn);
        EditorSession s;
        const QString shipped = s.app + QStringLiteral("/default.js");
        const QString own = userconfig::userDefaultPath();
        QVERIFY(own.startsWith(s.config + QLatin1Char('/')));
        if (ownBefore) {
            QVERIFY(QDir().mkpath(userconfig::folder()));
            QFile::setPermissions(userconfig::folder(), QFileDevice::Permissions(0x7777));
            QVERIFY(writeFile(own, "earlier = new Tickora();\r\nearlier.name = 'earlier';\r\n"));
            s.restart();
            QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("earlier"));
        }
        const QByteArray shippedBefore = readAll(shipped);
        s.field("txtScrName")->setText(QStringLiteral("mine"));
        {
            std::optional<ReadOnlyFolder> ro;
            if (!programWritable) {
                ro.emplace(s.app, userconfig::folder());
                QVERIFY(ro->active());
            }
            s.dialogs.answers << Answer::Yes;
            s.action("mnuFileSaveAsDefault")->trigger();
            QCOMPARE(s.dialogs.messages.size(), 1); // the question only
            // New starts from what was just saved.
            s.dialogs.answers << Answer::No;
            s.action("mnuFileNew")->trigger();
            QCOMPARE(s.field("txtScrName")->text(), QStringLiteral("mine"));
        }
        QCOMPARE(s.dialogs.unexpected, 0);
        if (writesOwn) {
            QCOMPARE(nameIn(own), QStringLiteral("mine"));
            QCOMPARE(readAll(shipped), shippedBefore);
        } else {
            QCOMPARE(nameIn(shipped), QStringLiteral("mine"));
            QVERIFY(!QFile::exists(own));
        }
        // Finding out whether the folder may be written leaves nothing behind.
        QCOMPARE(QDir(s.app).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("probe")),
                 QStringList());
    }

    void aDefaultThatCannotBeSavedAnywhereIsReported() {
        EditorSession s;
        // Neither the program folder nor the user's own may be written.
        QVERIFY(QDir().mkpath(userconfig::folder()));
        QFile::setPermissions(userconfig::folder(),
                              QFileDevice::Permissions(0x5555)); // read and enter only
        ReadOnlyFolder ro(s.app, QString());
        QVERIFY(!userconfig::canWriteIn(userconfig::folder()));
        QVERIFY(ro.active());
        s.field("txtScrName")->setText(QStringLiteral("mine"));
        s.dialogs.answers << Answer::Yes;
        s.action("mnuFileSaveAsDefault")->trigger();
        QCOMPARE(s.dialogs.messages.size(), 2);
        QVERIFY(s.dialogs.lastText().contains(
            QStringLiteral("The default scroller is unchanged. Please check that you may write "
                           "to the folder \"%1\".")
                .arg(QDir::toNativeSeparators(userconfig::folder()))));
        QVERIFY(s.w->isDirty());
        QVERIFY(!QFile::exists(userconfig::userDefaultPath()));
    }
};

TICKORA_EDITOR_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
