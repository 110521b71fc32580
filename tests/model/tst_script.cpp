// Script files. The writer: the text it builds, the passes, and how it saves and copies files,
// also when the disk is full, the folder is closed or the target is no file. The reader: the
// lines it takes in (clsScroller's settings, clsItem's items, the property-line parser),
// patterns, line ends, failures, what it refuses and what is kept.
#include "clsitem.h"
#include "clsscroller.h"
#include "fileio.h"
#include "files.h"
#include "readcheck.h"
#include "scriptreader.h"
#include "scriptwriter.h"
#include "workedexample.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

ScrollerDocument withItems(int count, qint16 dirn) {
    ScrollerDocument d;
    d.scroller.sName = QStringLiteral("s");
    d.scroller.iDirn = dirn;
    for (int i = 0; i < count; ++i)
        d.items.append({QStringLiteral("Item %1").arg(i + 1), {}, {}});
    return d;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// A small file system of the test's own, so that a full disk is real. Mounting needs root;
// without it the cases that need one are skipped.
class SmallDisk {
public:
    SmallDisk() {
        if (::geteuid() != 0) {
            m_why = "mounting a small file system needs root";
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                    "size=64k,mode=0755") != 0) {
            m_why = QByteArray("cannot mount a small file system: ") + strerror(errno);
            return;
        }
        m_mounted = true;
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool ok() const { return m_mounted; }
    const char* why() const { return m_why.constData(); }
    QString path() const { return m_dir.path(); }

    // Fills the disk with a file of its own until only freeBytes (whole pages) stay free.
    bool leaveFree(qint64 freeBytes) {
        const int fd = ::open(QFile::encodeName(m_dir.filePath(QStringLiteral("filler"))),
                              O_WRONLY | O_CREAT | O_TRUNC, 0644);
        struct statvfs st;
        const bool ok =
            fd >= 0 && ::fstatvfs(fd, &st) == 0 &&
            ::posix_fallocate(fd, 0, qint64(st.f_bavail * st.f_frsize) - freeBytes) == 0;
        ::close(fd);
        return ok;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QByteArray m_why;
};

// While alive and wanted, the process acts as a user who may not write into folders owned by
// root.
class AsOtherUser {
public:
    explicit AsOtherUser(bool wanted) : m_switched(wanted && ::geteuid() == 0) {
        if (m_switched)
            m_switched = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
    }
    ~AsOtherUser() {
        if (m_switched) {
            [[maybe_unused]] const int a = ::seteuid(0);
            [[maybe_unused]] const int b = ::setegid(0);
        }
    }
    AsOtherUser(const AsOtherUser&) = delete;
    AsOtherUser& operator=(const AsOtherUser&) = delete;

private:
    bool m_switched;
};

} // namespace

class TestScript : public QObject {
    Q_OBJECT

    QTemporaryDir app;

private Q_SLOTS:
    void initTestCase() {
        for (const QString& name : scriptwriter::projectFiles())
            QVERIFY(writeFile(app.filePath(name), "project file " + name.toUtf8()));
    }

    void passes_data() {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("dirn");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("defWidth");
        QTest::addColumn<QStringList>("itemWidths");
        QTest::addColumn<int>("passes");
        const auto row = [](const char* tag, int items, int dirn, const QString& width,
                            const QString& height, const QString& defWidth,
                            const QStringList& itemWidths, int passes) {
            QTest::newRow(tag) << items << dirn << width << height << defWidth << itemWidths
                               << passes;
        };
        // Vertical: every item counts 15 against the height (100 when it holds no number).
        row("no height, two items", 2, 0, "", "", "", QStringList(), 4);
        row("text height", 2, 1, "", "abc", "", QStringList(), 4);
        row("height 40, one item", 1, 0, "", "40", "", QStringList(), 3);
        row("height 45 is not passed at 45", 1, 0, "", "45", "", QStringList(), 4);
        row("height rounds half to even", 1, 0, "", "44.5", "", QStringList(), 3);
        row("negative height still keeps the items", 2, 0, "", "-5", "", QStringList(), 1);
        row("other direction counts as vertical", 1, -7, "1000", "40", "", QStringList(), 3);
        row("huge height is clamped", 1000, 0, "", "1e300", "", QStringList(), 3);
        // Horizontal: own width, else the default width, else 100, against the box width.
        row("own widths", 2, 2, "300", "", "", QStringList{"50", "60"}, 3);
        row("default width", 2, 3, "300", "", "80", QStringList{"", "abc"}, 2);
        row("fallback 100", 1, 2, "250", "", "x", QStringList{""}, 3);
        row("no width: limit 100, filled exactly", 1, 2, "", "", "", QStringList{"50"}, 3);
        // Repeats never assume an item narrower than the narrowest the editor admits (10).
        row("tiny widths count as 10", 1, 2, "25", "", "", QStringList{"0.2"}, 3);
        row("negative widths count as 10", 1, 2, "30", "", "", QStringList{"-50"}, 4);
        row("huge box is clamped, still ends", 1, 2, "1e9", "", "", QStringList{"1000"}, 33);
        row("widest box, narrowest items", 3, 2, "32767", "", "", QStringList{"1", "1", "1"}, 1093);
    }
    void passes() {
        QFETCH(int, items);
        QFETCH(int, dirn);
        QFETCH(QStringList, itemWidths);
        ScrollerDocument d = withItems(items, qint16(dirn));
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, defWidth);
        d.scroller.sWidth = width;
        d.scroller.sHeight = height;
        d.scroller.sDefWidth = defWidth;
        for (int i = 0; i < itemWidths.size(); ++i)
            d.items[i].sWidth = itemWidths[i];
        QFETCH(int, passes);
        QCOMPARE(scriptwriter::passCount(d), qint64(passes));
        const QString s = scriptwriter::BuildScript(d);
        QCOMPARE(s.count(QStringLiteral("/* -- Replicate Items -- */")), passes);
        QCOMPARE(s.count(QStringLiteral(".add(")), passes * items);
        // A pass always writes the whole list, followed by an empty line and the marker.
        QVERIFY(s.contains(QStringLiteral("');\r\n\r\n/* -- Replicate Items -- */\r\n")));
        // Read back, every line the writer wrote is understood.
        QVERIFY(readcheck::unreadLines(s.toUtf8()).isEmpty());
    }

    // A document of 100 KB with the widest box and items of width 1 once asked for 32,768
    // passes (a script of gigabytes); the repeats now stay within a few megabytes.
    void repeatsAreBounded() {
        ScrollerDocument d = withItems(100, 2);
        d.scroller.sWidth = QStringLiteral("32767");
        for (clsItem& item : d.items) {
            item.sWidth = QStringLiteral("1");
            item.sText = QString(1000, u'x');
        }
        const QString s = scriptwriter::BuildScript(d);
        QVERIFY2(s.size() < 3 * 1024 * 1024, qPrintable(QString::number(s.size())));
        QVERIFY(scriptwriter::passCount(d) >= 2);
        ScrollerDocument back;
        QVERIFY(scriptreader::LoadScrollerBytes(s.toUtf8(), back).ok);
        QCOMPARE(back.items, d.items);
    }

    // Numbers reach the page as the decimal number typed, and read back as written; without a
    // name, lines start with the call.
    void numbersAreWrittenAsDecimals() {
        ScrollerDocument d = withItems(1, 0);
        d.scroller.sName.clear();
        d.scroller.sWidth = QStringLiteral("0100");
        d.scroller.sHeight = QStringLiteral("010.5");
        d.scroller.sSpacing = QStringLiteral(" 05 ");
        d.scroller.sSpeed = QStringLiteral("abc");
        d.items[0].sWidth = QStringLiteral("050");
        const QString s = scriptwriter::BuildScript(d);
        for (const char* line :
             {"\r\n.width = 100;\r\n", "\r\n.height = 10.5;\r\n", "\r\n.spacing = 5;\r\n",
              "\r\n.scrollspeed = abc;\r\n", "\r\n.add('', '050', 'Item 1');\r\n"})
            QVERIFY2(s.contains(QLatin1String(line)), line);
        QVERIFY(s.endsWith(QStringLiteral("function(){.load();});")));
        ScrollerDocument back;
        QVERIFY(scriptreader::LoadScrollerBytes(s.toUtf8(), back).ok);
        QCOMPARE(back.scroller, scriptwriter::asWritten(d).scroller);
        QCOMPARE(back.items, d.items); // quoted, so the page reads it as a decimal already
        QCOMPARE(scriptwriter::BuildScript(back), s);
    }

    // A failed save leaves the old file as it was, nothing behind it, and no project file
    // copied. In a folder the user may not write to ("locked"), a file the user may write is
    // written in place, and a failure there puts the old bytes back.
    void writerFailures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("size");     // of the new script
        QTest::addColumn<QString>("says"); // the system's reason, in the message; empty: written
        QTest::newRow("full disk, small script") << "full" << 1400 << "No space left on device";
        QTest::newRow("12 KB free, 12.9 KB script")
            << "12k free" << 12934 << "No space left on device";
        QTest::newRow("file-size limit") << "fsize" << 5000 << "File too large";
        QTest::newRow("a pipe") << "fifo" << 1400 << "not a regular file";
        QTest::newRow("a folder") << "folder" << 1400 << "folder";
        QTest::newRow("a missing folder") << "missing" << 1400 << "does not exist";
        QTest::newRow("locked: a writable file is written in place") << "locked" << 9000 << "";
        QTest::newRow("locked: a new file names the folder")
            << "locked new" << 9000 << "you may not create files in the folder";
        QTest::newRow("locked: a full disk in place keeps the old bytes")
            << "locked full" << 9000 << "still holds what it held before";
    }
    void writerFailures() {
        QFETCH(QString, kind);
        QFETCH(int, size);
        const bool locked = kind.startsWith(u"locked");
        std::unique_ptr<SmallDisk> disk;
        QTemporaryDir plain;
        QString folder = plain.path();
        if (kind == u"full" || kind == u"12k free" || kind == u"locked full") {
            disk = std::make_unique<SmallDisk>();
            if (!disk->ok())
                QSKIP(disk->why());
            folder = disk->path();
        }
        const QString file = folder + QStringLiteral("/s.js");
        const QByteArray old(3000, 'o');
        const QByteArray native = QFile::encodeName(file);
        if (kind == u"fifo") {
            QCOMPARE(::mkfifo(native.constData(), 0644), 0);
        } else if (kind == u"folder") {
            QVERIFY(QDir(folder).mkdir(QStringLiteral("s.js")));
        } else if (kind != u"missing" && kind != u"locked new") {
            QVERIFY(writeFile(file, old));
            QVERIFY(QFile::setPermissions(file, QFile::Permissions(0x6666)));
        }
        if (disk)
            QVERIFY(disk->leaveFree(kind == u"12k free" ? 12288 : 0));
        if (locked)
            QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x5555)));
        const QStringList before = filesIn(folder);

        struct rlimit saved;
        ::getrlimit(RLIMIT_FSIZE, &saved);
        if (kind == u"fsize") {
            struct rlimit small = saved;
            small.rlim_cur = 1000;
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        const QString target = kind == u"missing" ? folder + QStringLiteral("/no/such/s.js") : file;
        // A script of about that size: one item on a box so low that one pass fills it.
        ScrollerDocument doc = withItems(1, 0);
        doc.scroller.sHeight = QStringLiteral("10");
        doc.items[0].sText = QString(size - 160, u'x');
        scriptwriter::SaveResult r;
        bool writable = false;
        {
            const AsOtherUser other(locked);
            writable = locked && ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK,
                                             AT_EACCESS) == 0;
            if (!writable)
                r = scriptwriter::SaveScroller(target, doc, folder, app.path());
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QFile::setPermissions(folder, QFile::Permissions(0x7755));
        if (writable)
            QSKIP("the folder stays writable for this user");

        QFETCH(QString, says);
        QCOMPARE(r.written, says.isEmpty());
        QVERIFY2(r.writeError.contains(says), qPrintable(r.writeError));
        if (!r.written)
            QVERIFY2(r.writeError.startsWith(QStringLiteral("Could not write \"%1\": ")
                                                 .arg(QDir::toNativeSeparators(target))),
                     qPrintable(r.writeError));
        if (kind == u"locked new")
            QVERIFY(r.writeError.contains(QDir::toNativeSeparators(folder)));
        QCOMPARE(filesIn(folder), before);
        struct stat st;
        const bool exists = ::lstat(native.constData(), &st) == 0;
        QCOMPARE(exists, kind != u"missing" && kind != u"locked new");
        if (kind == u"fifo")
            QVERIFY(S_ISFIFO(st.st_mode));
        else if (kind == u"folder")
            QVERIFY(S_ISDIR(st.st_mode));
        else if (exists)
            QCOMPARE(readAll(file),
                     r.written ? (scriptwriter::BuildScript(doc) + "\r\n").toUtf8() : old);
    }

    // The script in its folder, and the project files beside it from the application folder:
    // every one it has, never over the script or onto themselves, each missing one reported.
    void projectFiles_data() {
        QTest::addColumn<QString>("script");     // in the target folder; empty: no script file
        QTest::addColumn<QString>("project");    // "target", "none" or "app" (spelt another way)
        QTest::addColumn<bool>("libraryOnly");   // the application folder has only the library
        QTest::addColumn<QStringList>("files");  // the target folder afterwards
        QTest::addColumn<QStringList>("errors"); // what each copy error names, in order
        const QStringList all{"news.js", "tickolib.js", "tickora.htm", "tickora.js"};
        const QStringList none;
        QTest::newRow("over an old script, runtime and own page")
            << QString("news.js") << "target" << false << all << none;
        QTest::newRow("no file name still copies")
            << QString("") << "target" << false << all.mid(1) << none;
        QTest::newRow("script named like a project file")
            << QString("tickora.js") << "target" << false << all.mid(1)
            << QStringList{"\"tickora.js\" was not copied"};
        QTest::newRow("no project folder")
            << QString("news.js") << "none" << false << all.mid(0, 1) << none;
        QTest::newRow("project folder is the application folder")
            << QString("news.js") << "app" << false << all << none;
        QTest::newRow("missing project files")
            << QString("news.js") << "target" << true << QStringList{"news.js", "tickolib.js"}
            << QStringList{"tickora.htm", "tickora.js"};
    }
    void projectFiles() {
        QFETCH(QString, project);
        QFETCH(bool, libraryOnly);
        QTemporaryDir appDir, dir;
        for (const QString& name : scriptwriter::projectFiles())
            if (!libraryOnly || name == u"tickolib.js")
                QVERIFY(writeFile(appDir.filePath(name), "project file " + name.toUtf8()));
        const QString target = project == u"app" ? appDir.path() : dir.path();
        QFETCH(QString, script);
        const QString file = script.isEmpty() ? QString() : target + u'/' + script;
        // Over old files, a page of the user's own stays.
        const QByteArray ownPage = "<html><body>Our news</body></html>";
        const bool over = QByteArray(QTest::currentDataTag()).startsWith("over an old");
        if (over) {
            QVERIFY(writeFile(file, QByteArray(100000, 'x')));
            QVERIFY(writeFile(target + QStringLiteral("/tickolib.js"), "old runtime"));
            QVERIFY(writeFile(target + QStringLiteral("/tickora.htm"), ownPage));
        }
        const QString projectFolder = project == u"none"  ? QString()
                                      : project == u"app" ? target + QStringLiteral("/./sub/..")
                                                          : target;
        QDir(target).mkdir(QStringLiteral("sub"));
        const scriptwriter::SaveResult r =
            scriptwriter::SaveScroller(file, workedExample(), projectFolder, appDir.path());
        QVERIFY2(r.written, qPrintable(r.writeError));
        QTEST(QDir(target).entryList(QDir::Files), "files");
        if (!file.isEmpty())
            QCOMPARE(readAll(file), workedExampleBytes());
        for (const QString& name : scriptwriter::projectFiles())
            if (name != script && QFile::exists(target + u'/' + name))
                QCOMPARE(readAll(target + u'/' + name), over && name == u"tickora.htm"
                                                            ? ownPage
                                                            : "project file " + name.toUtf8());
        QFETCH(QStringList, errors);
        QCOMPARE(r.copyErrors.size(), errors.size());
        for (int i = 0; i < errors.size(); ++i)
            QVERIFY2(r.copyErrors[i].contains(errors[i]), qPrintable(r.copyErrors[i]));
    }

    // A script read as Windows-1252 is saved in it, until a character it lacks makes it UTF-8.
    void keepsTheEncodingItWasRead() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("s.js"));
        QVERIFY(writeFile(file, "a.add('caf\xE9');"));
        ScrollerDocument d;
        const scriptreader::LoadResult read = scriptreader::LoadScroller(file, d);
        QVERIFY(read.ok);
        QCOMPARE(read.encoding, TextEncoding::Windows1252);
        QCOMPARE(d.encoding, TextEncoding::Windows1252);
        QCOMPARE(d.items.value(0).sText, QString::fromUtf8("caf\xC3\xA9"));
        scriptwriter::SaveResult r = scriptwriter::SaveScroller(file, d, QString(), app.path());
        QCOMPARE(r.encoding, TextEncoding::Windows1252);
        QVERIFY(readAll(file).contains("caf\xE9'"));

        d.items[0].sText = QString::fromUtf8("\xE4\xB8\xAD");
        r = scriptwriter::SaveScroller(file, d, QString(), app.path());
        QCOMPARE(r.encoding, TextEncoding::Utf8);
        QVERIFY(readAll(file).contains("'\xE4\xB8\xAD'"));
    }

    // What a script sets, on a document whose height and mouse-over pause no row mentions; a
    // failure says where and why, quoting a huge value short, and keeps what came before it.
    void patterns_data() {
        const QString longText = QString(40000, u'a') + QStringLiteral("=b"); // past 16-bit
        const QStringList utf16{"The file is in UTF-16"};
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("says"); // the failure: how it starts, then parts of it
        QTest::addColumn<int>("type");
        const auto row = [](const char* tag, const QByteArray& script, const QString& width = {},
                            const QStringList& texts = {}, const QStringList& says = {},
                            int type = 0) {
            QTest::newRow(tag) << script << width << texts << says << type;
        };
        row("only mentioned settings change", "news.width = 300;", "300");
        row("setting without an object name", ".width = 3;", "3");
        row("every kind of line end", "a.add('x');\r.width = 1;\n.add('y');\r\n", "1", {"x", "y"});
        row("what follows the marker is ignored",
            "a.width = 1;\r\na.add('x');\r\n/* -- Replicate Items -- */\r\na.width = 2;\r\n"
            "a.add('x');",
            "1", {"x"});
        row("any marker-like comment ends reading",
            "/* any -- Replicate Items -- text */\na.width = 2;");
        row("marker needs its slashes", "* -- Replicate Items -- */\na.width = 2;", "2");
        row("tab before a marker is no marker", "\t/* -- Replicate Items -- */\na.width = 2;", "2");
        row("leading spaces are trimmed", "    /* -- Replicate Items -- */\na.width = 2;");
        row("item before properties", "a.add('x', '', 'n');\na.width = 5;", "5", {"x"});
        row("capital Add is no item", "news.Add('a', '1', 'b');");
        row("tab-indented lines still match", "\ta.width = 4;\n\ta.add('t');", "4", {"t"});
        row("item needs its closing", "a.add('x', '', 'n')");
        row("item with = is offered to both, harmlessly", "a.add('<a href=\"x\">', '', 'n');", "",
            {"<a href=\"x\">"});
        row("long item with =", "x.add('" + longText.toUtf8() + "', '', 'n');", "", {longText});
        row("comments and blank lines ignored",
            "// c\r\n\r\nnews = new Tickora();\r\na.display();");
        row("empty file", "");
        row("failure keeps what was read",
            "a.width = 1;\r\na.add('one');\r\na.add('two');\r\n\r\nnews.type = abc;\r\n"
            "a.height = 9;\r\na.add('three');",
            "1", {"one", "two"}, {"Line 5: \"abc\" is not a number for type."});
        row("line numbers count every kind of line end", "a\r\nb\rc\n\r\nx;a.b = 1", "", {},
            {"Line 5: "});
        row("huge bad value", "a.type = x" + QByteArray(1 << 20, '9') + ";", "", {},
            {"Line 1: \"x999", "(1048577 characters)"});
        row("out-of-list direction is kept", "a.type = 7;", "", {}, {}, 7);
        row("UTF-16 LE", QByteArrayLiteral("\xFF\xFEs\0.\0w\0=\0x\0"), "", {}, utf16);
        row("UTF-16 BE", QByteArrayLiteral("\xFE\xFF\0s\0.\0w\0=\0x"), "", {}, utf16);
    }
    void patterns() {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, says);
        ScrollerDocument d;
        d.scroller.sHeight = QStringLiteral("77");
        d.scroller.iMsePause = 1;
        const scriptreader::LoadResult r = scriptreader::LoadScrollerBytes(script, d);
        QCOMPARE(r.ok, says.isEmpty());
        QVERIFY2(r.error.size() < 160, qPrintable(r.error.left(200)));
        if (!says.isEmpty())
            QVERIFY2(r.error.startsWith(says[0]), qPrintable(r.error));
        for (const QString& part : says)
            QVERIFY2(r.error.contains(part), qPrintable(r.error));
        QTEST(d.scroller.sWidth, "width");
        QStringList texts;
        for (const clsItem& i : d.items)
            texts << i.sText;
        QTEST(texts, "texts");
        QCOMPARE(r.itemsRead, int(d.items.size()));
        QTEST(int(d.scroller.iDirn), "type");
        QCOMPARE(d.scroller.sHeight, QStringLiteral("77"));
        QCOMPARE(d.scroller.iMsePause, qint16(1));
    }

    // What the reader refuses before reading a byte, and what it reads no further.
    void readerLimits_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("a folder") << QString("folder") << "cannot be read: it is a folder";
        QTest::newRow("a pipe") << QString("fifo") << "cannot be read: it is not a regular file";
        QTest::newRow("above 64 MB")
            << QString("huge") << "cannot be read: it is larger than 64 MB";
        QTest::newRow("missing") << QString("missing") << "cannot be opened: No such file";
    }
    void readerLimits() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.js"));
        if (kind == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("s.js")));
        } else if (kind == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else if (kind == u"huge") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(64 * 1024 * 1024 + 1)); // sparse: costs no disk
        }
        ScrollerDocument d;
        const scriptreader::LoadResult r = scriptreader::LoadScroller(path, d);
        QVERIFY(!r.ok);
        QFETCH(QString, says);
        QVERIFY2(r.error.contains(says), qPrintable(r.error));
        QVERIFY(r.error.startsWith(QStringLiteral("The file \"%1\" cannot be ").arg(path)));
    }

    // A file that holds more than it reports (system files report 0 bytes; a log grows while it
    // is read) is read to its end, within the same limit.
    void fileLargerThanItReports() {
        const QString path = QStringLiteral("/proc/version");
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            QSKIP("this system has no /proc/version");
        const QByteArray bytes = f.readAll();
        QVERIFY(QFileInfo(path).size() == 0 && bytes.size() > 1);
        QCOMPARE(fileio::readRegularFile(path).bytes, bytes);
        QCOMPARE(fileio::readRegularFile(path, bytes.size()).bytes, bytes);
        QVERIFY(!fileio::readRegularFile(path, bytes.size() - 1).ok);
    }

    // Blank settings are left out, a blank (not empty) one is written; the order of a full block
    // is the worked example's, whose bytes projectFiles compares.
    void blockLeavesOutEmptySettings() {
        clsScroller s;
        s.sWidth = QStringLiteral(" ");
        s.iDirn = -3;
        s.iMsePause = -1;
        QCOMPARE(s.ToString(), QStringLiteral(" = new Tickora();\r\n.name = '';\r\n.type = -3;\r\n"
                                              ".width =  ;\r\n.pausemouseover = false;\r\n"));
    }

    // What a property line sets, or why it is refused, and then nothing is set.
    void setProperty_data() {
        const QString range = QStringLiteral(" is out of range for type (it must lie between "
                                             "-32768 and 32767).");
        const QString pad(70000, u'x'); // marks far beyond 32767 characters still cut
        QTest::addColumn<QString>("line");
        // The block after the call, minus the fixed lines, or the error.
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const QString& line, const QString& expected) {
            QTest::newRow(tag) << line << expected;
        };
        row("other object", "other.width = 300;", "w=300");
        row("letter case", "news.Width = 300;", "");
        row("spaces around the name trimmed", "news.  width  = 300;", "w=300");
        row("a tab is no space", "news.\twidth = 300;", "");
        row("second dot", "news.x.width = 300;", "");
        row("quoted name trimmed", "news.name = ' big ';", "n=big");
        row("double quotes, the last one closes", "news.name = \"x\"y\";", "n=x\"y");
        row("single quote before double", "news.name = 'it\"s';", "n=it\"s");
        row("one quote runs to the last character", "news.name = 'xyz", "n=xy");
        row("True is not true", "news.pausemouseover = True;", "p=1");
        row("true", "news.pausemouseover = true;", "p=0");
        row("half to even", "news.type = 2.5;", "t=2");
        row("half to even, odd", "news.type = 3.5;", "t=4");
        row("exponent", "news.type = 1e1;", "t=10");
        row("edge of range", "news.type = -32768;", "t=-32768");
        row("no semicolon", "news.height = 40", "h=4");
        row("itemwidth", "news.itemwidth = 120;", "d=120");
        row("pausedelay", "news.pausedelay = 2000;", "z=2000");
        row("no equals", "news.display();", "");
        row("unknown name", "news.colour = red;", "");
        row("long name", "a." + pad + " = 1;", "");
        row("long value", "a.name = '" + pad + "';", "n=" + pad);
        row("not a number", "news.type = x;", "error: \"x\" is not a number for type.");
        row("empty", "news.type = ;", "error: \"\" is not a number for type.");
        row("comma fraction", "news.type = 1,5;", "error: \"1,5\" is not a number for type.");
        row("hex", "news.type = 0x1;", "error: \"0x1\" is not a number for type.");
        row("overflow", "news.type = 32767.5;", "error: \"32767.5\"" + range);
        row("huge", "news.type = 1e999;", "error: \"1e999\"" + range);
        row("marks out of order", "x;a.width = 3",
            "error: The value cannot be read, because a \";\" stands before the \"=\".");
    }
    void setProperty() {
        QFETCH(QString, line);
        clsScroller s;
        s.iMsePause = 5;
        QString error;
        const bool ok = s.SetProperty(line, &error);
        const std::pair<const char*, QString> fields[] = {
            {"n", s.sName},
            {"w", s.sWidth},
            {"h", s.sHeight},
            {"s", s.sSpeed},
            {"t", s.iDirn != 0 ? QString::number(s.iDirn) : QString()},
            {"p", s.iMsePause != 5 ? QString::number(s.iMsePause) : QString()},
            {"d", s.sDefWidth},
            {"g", s.sSpacing},
            {"z", s.sPause}};
        QStringList got;
        for (const auto& [key, value] : fields)
            if (!value.isEmpty())
                got << QLatin1String(key) + u'=' + value;
        if (!ok)
            got << QStringLiteral("error: ") + error;
        QTEST(got.join(u','), "expected");
    }

    // What an item line gives; fields a line lacks keep the values T, W and N.
    void setItem_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        const auto row = [](const char* tag, const QString& line, const QString& text,
                            const QString& width, const QString& name) {
            QTest::newRow(tag) << line << QStringList{text, width, name};
        };
        row("three arguments", "news.add('It\\'s new', '150', 'Item 2');", "It\\'s new", "150",
            "Item 2");
        row("one argument", "x.add('a');", "a", "W", "N");
        row("fourth argument ignored", "x.add('a', '1', 'b', 'c');", "a", "1", "b");
        row("unclosed text runs to the end", "x.add('abc", "abc", "W", "N");
        row("placeholder text survives", "x.add('a~||~b', '', 'n');", "a~||~b", "", "n");
        row("escaped quotes everywhere", "x.add('\\'q\\'', '\\'', 'O\\'Neil');", "\\'q\\'", "\\'",
            "O\\'Neil");
        row("trailing backslash joins the next argument", "x.add('a\\', '1', 'b');", "a\\', ", ", ",
            ");");
        row("no quotes", "x.add();", "T", "W", "N");
    }
    void setItem() {
        QFETCH(QString, line);
        clsItem i{QStringLiteral("N"), QStringLiteral("T"), QStringLiteral("W")};
        i.SetItem(line);
        QTEST((QStringList{i.sText, i.sWidth, i.sName}), "fields");
    }
};

QTEST_GUILESS_MAIN(TestScript)
#include "tst_script.moc"
