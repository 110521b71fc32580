#include "registrystore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::RegistryStore;
using Root = RegistryStore::Root;

class TestRegistryStore : public QObject {
    Q_OBJECT

    QTemporaryDir tmp;
    QString path() const { return tmp.path() + "/nested/folder/registry.ini"; }

private slots:
    void init() { QFile::remove(path()); }

    void valuesRoundTripThroughTheFile() {
        {
            RegistryStore s(path());
            RegistryStore::Key key = 0;
            bool created = false;
            QCOMPARE(s.create(Root::CurrentUser, "Software\\Tickora\\Recent", RegistryStore::Write,
                              &key, &created),
                     long(RegistryStore::Success));
            QVERIFY(created);
            QVERIFY(key != 0);
            QCOMPARE(s.setString(key, "Plain", "C:\\Pages\\news.js"), long(RegistryStore::Success));
            QCOMPARE(s.setString(key, "Odd \"name\"", "line one\nline \"two\"\\"),
                     long(RegistryStore::Success));
            QCOMPARE(s.setString(key, "Expand", "%HOME%/x", RegistryStore::Type::ExpandString),
                     long(RegistryStore::Success));
            QCOMPARE(s.setNumber(key, "Count", 0xfeedbeef), long(RegistryStore::Success));
            QCOMPARE(s.setString(key, QString(), "default"), long(RegistryStore::Success));
            QCOMPARE(s.close(key), long(RegistryStore::Success));
            QCOMPARE(s.close(key), long(RegistryStore::InvalidHandle));
        }
        RegistryStore s(path());
        RegistryStore::Key key = 0;
        QCOMPARE(s.open(Root::CurrentUser, "software\\TICKORA\\recent", RegistryStore::Read, &key),
                 long(RegistryStore::Success));
        const struct {
            const char* name;
            RegistryStore::Type type;
            const char* text;
            quint32 number;
        } expected[] = {
            {"Plain", RegistryStore::Type::String, "C:\\Pages\\news.js", 0},
            {"Odd \"name\"", RegistryStore::Type::String, "line one\nline \"two\"\\", 0},
            {"Expand", RegistryStore::Type::ExpandString, "%HOME%/x", 0},
            {"Count", RegistryStore::Type::Number, "", 0xfeedbeef},
            {"", RegistryStore::Type::String, "default", 0},
        };
        int index = 0;
        for (const auto& e : expected) {
            RegistryStore::Value v;
            QCOMPARE(s.enumValue(key, index++, &v), long(RegistryStore::Success));
            QCOMPARE(v.name, QString(e.name));
            QCOMPARE(v.type, e.type);
            QCOMPARE(v.text, QString(e.text));
            QCOMPARE(v.number, e.number);
        }
        RegistryStore::Value v;
        QCOMPARE(s.enumValue(key, index, &v), long(RegistryStore::NoMoreItems));
        QCOMPARE(s.queryValue(key, "COUNT", &v), long(RegistryStore::Success));
        QCOMPARE(v.number, 0xfeedbeefu);
        QCOMPARE(s.queryValue(key, "missing", &v), long(RegistryStore::FileNotFound));
    }

    void namesAreCaseBlindButKeepTheirCase() {
        RegistryStore s(path());
        RegistryStore::Key key = 0;
        QCOMPARE(s.create(Root::LocalMachine, "Software\\A", RegistryStore::AllAccess, &key),
                 long(RegistryStore::Success));
        QCOMPARE(s.setString(key, "Library.chm", "/one/"), long(RegistryStore::Success));
        QCOMPARE(s.setString(key, "LIBRARY.CHM", "/two/"), long(RegistryStore::Success));
        RegistryStore::Value v;
        QCOMPARE(s.enumValue(key, 0, &v), long(RegistryStore::Success));
        QCOMPARE(v.name, QString("Library.chm"));
        QCOMPARE(v.text, QString("/two/"));
        QCOMPARE(s.enumValue(key, 1, &v), long(RegistryStore::NoMoreItems));

        QCOMPARE(s.deleteValue(key, "library.CHM"), long(RegistryStore::Success));
        QCOMPARE(s.deleteValue(key, "library.CHM"), long(RegistryStore::FileNotFound));
        QCOMPARE(s.enumValue(key, 0, &v), long(RegistryStore::NoMoreItems));
        s.close(key);

        // A key that was created stays, with its parents, even without values.
        QCOMPARE(s.open(Root::LocalMachine, "SOFTWARE\\a", RegistryStore::Read, &key),
                 long(RegistryStore::Success));
        s.close(key);
        QCOMPARE(s.open(Root::LocalMachine, "software", RegistryStore::Read, &key),
                 long(RegistryStore::Success));
        s.close(key);
        QCOMPARE(s.open(Root::LocalMachine, "Software\\B", RegistryStore::Read, &key),
                 long(RegistryStore::FileNotFound));
        QCOMPARE(key, RegistryStore::Key(0));
        // Roots are separate, except that the classes root shows the machine's classes.
        QCOMPARE(s.open(Root::CurrentUser, "Software\\A", RegistryStore::Read, &key),
                 long(RegistryStore::FileNotFound));
        QCOMPARE(
            s.create(Root::LocalMachine, "Software\\Classes\\CLSID\\X", RegistryStore::Write, &key),
            long(RegistryStore::Success));
        QCOMPARE(s.setString(key, "", "/lib/viewer.so"), long(RegistryStore::Success));
        s.close(key);
        QCOMPARE(s.open(Root::ClassesRoot, "clsid\\x", RegistryStore::Read, &key),
                 long(RegistryStore::Success));
        QCOMPARE(s.queryValue(key, "", &v), long(RegistryStore::Success));
        QCOMPARE(v.text, QString("/lib/viewer.so"));
        s.close(key);
    }

    void rightsAreChecked() {
        RegistryStore s(path());
        RegistryStore::Key key = 0;
        QCOMPARE(s.create(Root::LocalMachine, "K", RegistryStore::Write, &key),
                 long(RegistryStore::Success));
        RegistryStore::Value v;
        // Write rights do not include reading.
        QCOMPARE(s.queryValue(key, "x", &v), long(RegistryStore::AccessDenied));
        QCOMPARE(s.enumValue(key, 0, &v), long(RegistryStore::AccessDenied));
        QCOMPARE(s.setString(key, "x", "1"), long(RegistryStore::Success));
        s.close(key);

        QCOMPARE(s.open(Root::LocalMachine, "K", RegistryStore::QueryValue, &key),
                 long(RegistryStore::Success));
        QCOMPARE(s.setString(key, "x", "2"), long(RegistryStore::AccessDenied));
        QCOMPARE(s.deleteValue(key, "x"), long(RegistryStore::AccessDenied));
        QCOMPARE(s.queryValue(key, "x", &v), long(RegistryStore::Success));
        QCOMPARE(v.text, QString("1"));
        s.close(key);
        QCOMPARE(s.setString(key, "x", "3"), long(RegistryStore::InvalidHandle));

        // A store that cannot be written grants reading only.
        s.setReadOnly(true);
        QVERIFY(!s.writable());
        QCOMPARE(s.open(Root::LocalMachine, "K", RegistryStore::AllAccess, &key),
                 long(RegistryStore::AccessDenied));
        QCOMPARE(s.create(Root::LocalMachine, "K\\New", RegistryStore::QueryValue, &key),
                 long(RegistryStore::AccessDenied));
        QCOMPARE(s.open(Root::LocalMachine, "K", RegistryStore::Read, &key),
                 long(RegistryStore::Success));
        QCOMPARE(s.queryValue(key, "X", &v), long(RegistryStore::Success));
        s.close(key);
    }

    void anotherInstancesWritesAreKept() {
        RegistryStore a(path());
        RegistryStore b(path());
        RegistryStore::Key ka = 0;
        RegistryStore::Key kb = 0;
        QCOMPARE(a.create(Root::CurrentUser, "K", RegistryStore::AllAccess, &ka),
                 long(RegistryStore::Success));
        QCOMPARE(b.open(Root::CurrentUser, "K", RegistryStore::AllAccess, &kb),
                 long(RegistryStore::Success));
        QCOMPARE(a.setString(ka, "fromA", "1"), long(RegistryStore::Success));
        QCOMPARE(b.setString(kb, "fromB", "2"), long(RegistryStore::Success));
        RegistryStore c(path());
        RegistryStore::Key kc = 0;
        RegistryStore::Value v;
        QCOMPARE(c.open(Root::CurrentUser, "K", RegistryStore::Read, &kc),
                 long(RegistryStore::Success));
        QCOMPARE(c.queryValue(kc, "fromA", &v), long(RegistryStore::Success));
        QCOMPARE(c.queryValue(kc, "fromB", &v), long(RegistryStore::Success));
    }

    void environmentExpansion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expanded");
        qputenv("TICKORA_REG_A", "alpha");
        QTest::newRow("known") << "x%TICKORA_REG_A%y"
                               << "xalphay";
        QTest::newRow("twice") << "%TICKORA_REG_A%%TICKORA_REG_A%"
                               << "alphaalpha";
        QTest::newRow("unknown kept") << "%TICKORA_NOT_SET%/b"
                                      << "%TICKORA_NOT_SET%/b";
        QTest::newRow("lone percent") << "100%"
                                      << "100%";
        QTest::newRow("empty name") << "a%%b"
                                    << "a%%b";
        QTest::newRow("plain") << "/usr/lib"
                               << "/usr/lib";
    }

    void environmentExpansion() {
        QFETCH(QString, text);
        QFETCH(QString, expanded);
        QCOMPARE(RegistryStore::expandEnvironment(text), expanded);
    }
};

QTEST_GUILESS_MAIN(TestRegistryStore)
#include "tst_registrystore.moc"
