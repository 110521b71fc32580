#include "registrystore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::RegistryStore;
using Root = RegistryStore::Root;
using Type = RegistryStore::Type;

// What a store call answered, against what it should.
#define ANSWERS(call, code) QCOMPARE(long(call), long(RegistryStore::code))

class TestRegistryStore : public QObject {
    Q_OBJECT

    QTemporaryDir tmp;
    QString path() const { return tmp.path() + "/nested/folder/registry.ini"; }

private slots:
    void init() { QFile::remove(path()); }

    void valuesRoundTripThroughTheFile() {
        const struct {
            const char* name;
            Type type;
            const char* text;
            quint32 number;
        } values[] = {
            {"Plain", Type::String, "C:\\Pages\\news.js", 0},
            {"Odd \"name\"", Type::String, "line one\nline \"two\"\\", 0},
            {"Expand", Type::ExpandString, "%HOME%/x", 0},
            {"Count", Type::Number, "", 0xfeedbeef},
            {"", Type::String, "default", 0},
        };
        {
            RegistryStore s(path());
            RegistryStore::Key key = 0;
            bool created = false;
            ANSWERS(s.create(Root::CurrentUser, "Software\\Tickora\\Recent", RegistryStore::Write,
                             &key, &created),
                    Success);
            QVERIFY(created && key != 0);
            for (const auto& e : values)
                ANSWERS(e.type == Type::Number ? s.setNumber(key, e.name, e.number)
                                               : s.setString(key, e.name, e.text, e.type),
                        Success);
            ANSWERS(s.close(key), Success);
            ANSWERS(s.close(key), InvalidHandle);
        }
        RegistryStore s(path());
        RegistryStore::Key key = 0;
        ANSWERS(s.open(Root::CurrentUser, "software\\TICKORA\\recent", RegistryStore::Read, &key),
                Success);
        int index = 0;
        RegistryStore::Value v;
        for (const auto& e : values) {
            ANSWERS(s.enumValue(key, index++, &v), Success);
            QCOMPARE(v.name, QString(e.name));
            QCOMPARE(v.type, e.type);
            QCOMPARE(v.text, QString(e.text));
            QCOMPARE(v.number, e.number);
        }
        ANSWERS(s.enumValue(key, index, &v), NoMoreItems);
        ANSWERS(s.queryValue(key, "COUNT", &v), Success);
        QCOMPARE(v.number, 0xfeedbeefu);
        ANSWERS(s.queryValue(key, "missing", &v), FileNotFound);
    }

    void namesAreCaseBlindButKeepTheirCase() {
        RegistryStore s(path());
        RegistryStore::Key key = 0;
        ANSWERS(s.create(Root::LocalMachine, "Software\\A", RegistryStore::AllAccess, &key),
                Success);
        ANSWERS(s.setString(key, "Library.chm", "/one/"), Success);
        ANSWERS(s.setString(key, "LIBRARY.CHM", "/two/"), Success);
        RegistryStore::Value v;
        ANSWERS(s.enumValue(key, 0, &v), Success);
        QCOMPARE(v.name + v.text, QString("Library.chm/two/"));
        ANSWERS(s.enumValue(key, 1, &v), NoMoreItems);

        ANSWERS(s.deleteValue(key, "library.CHM"), Success);
        ANSWERS(s.deleteValue(key, "library.CHM"), FileNotFound);
        ANSWERS(s.enumValue(key, 0, &v), NoMoreItems);
        s.close(key);

        // A key that was created stays, with its parents, even without values; roots are
        // separate, except that the classes root shows the machine's classes.
        const auto opens = [&](Root root, const char* keyPath) {
            const long rc = s.open(root, keyPath, RegistryStore::Read, &key);
            s.close(key);
            return rc;
        };
        ANSWERS(opens(Root::LocalMachine, "SOFTWARE\\a"), Success);
        ANSWERS(opens(Root::LocalMachine, "software"), Success);
        ANSWERS(opens(Root::LocalMachine, "Software\\B"), FileNotFound);
        QCOMPARE(key, RegistryStore::Key(0));
        ANSWERS(opens(Root::CurrentUser, "Software\\A"), FileNotFound);
        ANSWERS(
            s.create(Root::LocalMachine, "Software\\Classes\\CLSID\\X", RegistryStore::Write, &key),
            Success);
        ANSWERS(s.setString(key, "", "/lib/viewer.so"), Success);
        s.close(key);
        ANSWERS(s.open(Root::ClassesRoot, "clsid\\x", RegistryStore::Read, &key), Success);
        ANSWERS(s.queryValue(key, "", &v), Success);
        QCOMPARE(v.text, QString("/lib/viewer.so"));
    }

    void rightsAreChecked() {
        RegistryStore s(path());
        RegistryStore::Key key = 0;
        ANSWERS(s.create(Root::LocalMachine, "K", RegistryStore::Write, &key), Success);
        RegistryStore::Value v;
        // Write rights do not include reading.
        ANSWERS(s.queryValue(key, "x", &v), AccessDenied);
        ANSWERS(s.enumValue(key, 0, &v), AccessDenied);
        ANSWERS(s.setString(key, "x", "1"), Success);
        s.close(key);

        ANSWERS(s.open(Root::LocalMachine, "K", RegistryStore::QueryValue, &key), Success);
        ANSWERS(s.setString(key, "x", "2"), AccessDenied);
        ANSWERS(s.deleteValue(key, "x"), AccessDenied);
        ANSWERS(s.queryValue(key, "x", &v), Success);
        QCOMPARE(v.text, QString("1"));
        s.close(key);
        ANSWERS(s.setString(key, "x", "3"), InvalidHandle);

        // A store that cannot be written grants reading only.
        s.setReadOnly(true);
        QVERIFY(!s.writable());
        ANSWERS(s.open(Root::LocalMachine, "K", RegistryStore::AllAccess, &key), AccessDenied);
        ANSWERS(s.create(Root::LocalMachine, "K\\New", RegistryStore::QueryValue, &key),
                AccessDenied);
        ANSWERS(s.open(Root::LocalMachine, "K", RegistryStore::Read, &key), Success);
        ANSWERS(s.queryValue(key, "X", &v), Success);
    }

    void anotherInstancesWritesAreKept() {
        RegistryStore a(path());
        RegistryStore b(path());
        RegistryStore::Key ka = 0;
        RegistryStore::Key kb = 0;
        ANSWERS(a.create(Root::CurrentUser, "K", RegistryStore::AllAccess, &ka), Success);
        ANSWERS(b.open(Root::CurrentUser, "K", RegistryStore::AllAccess, &kb), Success);
        ANSWERS(a.setString(ka, "fromA", "1"), Success);
        ANSWERS(b.setString(kb, "fromB", "2"), Success);
        RegistryStore c(path());
        RegistryStore::Value v;
        ANSWERS(c.open(Root::CurrentUser, "K", RegistryStore::Read, &ka), Success);
        ANSWERS(c.queryValue(ka, "fromA", &v), Success);
        ANSWERS(c.queryValue(ka, "fromB", &v), Success);
    }

    void environmentExpansion() {
        qputenv("TICKORA_REG_A", "alpha");
        const char* const rows[][2] = {
            {"x%TICKORA_REG_A%y", "xalphay"},
            {"%TICKORA_REG_A%%TICKORA_REG_A%", "alphaalpha"},
            {"%TICKORA_NOT_SET%/b", "%TICKORA_NOT_SET%/b"}, // unknown: kept
            {"100%", "100%"},
            {"a%%b", "a%%b"},
            {"/usr/lib", "/usr/lib"},
        };
        for (const auto& r : rows)
            QCOMPARE(RegistryStore::expandEnvironment(r[0]), QString(r[1]));
    }
};

QTEST_GUILESS_MAIN(TestRegistryStore)
#include "tst_registrystore.moc"
