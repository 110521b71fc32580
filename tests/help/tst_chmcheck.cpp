#include "chmcheck.h"
#include "chmfile.h"
#include "files.h"
#include "toolrun.h"

#include <QTemporaryDir>
#include <QTest>

using help::ChmFile;

namespace {

// Writes n bytes of v at `at`, least significant first.
void put(QByteArray& bytes, qsizetype at, int n, quint64 v) {
    for (int i = 0; i < n; ++i)
        bytes[at + i] = char(v >> (8 * i));
}

// A help file written byte by byte, as the help compiler lays one out, but small: no compressed
// section, and a directory whose three listing chunks are reached through an index chunk
// (chunk 3); chunk 4 is unused. The test files the build compiles are too small to have an
// index, so the checks of its walk need this one.
struct Crafted {
    static constexpr quint32 kChunk = 0x100;
    static constexpr int kChunks = 5;
    static constexpr int kRoot = 3;
    static constexpr int kUnused = 4;

    struct Entry {
        QByteArray name;
        quint64 section = 0;
        QByteArray data;
        quint64 offset = ~0ull; // where the data goes unless given
        quint64 length = ~0ull;
    };

    QByteArray bytes;
    qsizetype dir = 0;
    qsizetype content = 0;

    qsizetype chunk(int c) const { return dir + 0x54 + c * qsizetype(kChunk); }
    void put32(qsizetype at, quint32 v) { put(bytes, at, 4, v); }
    void put64(qsizetype at, quint64 v) { put(bytes, at, 8, v); }

    static QByteArray encint(quint64 v) {
        QByteArray out(1, char(v & 0x7f));
        while (v >>= 7)
            out.prepend(char(0x80 | (v & 0x7f)));
        return out;
    }

    // Topics /html/t01.htm ... in the listing chunks, `extra` appended to the last.
    static QList<Entry> topics(const QList<Entry>& extra = {}) {
        QList<Entry> out;
        for (int i = 1; i <= 24; ++i) {
            const QByteArray n = QByteArray::number(i).rightJustified(2, '0');
            out.append({"/html/t" + n + ".htm", 0, "<html><title>Topic " + n + "</title></html>"});
        }
        // Declared, undeclared UTF-8 and undeclared other bytes.
        out[0].data = "<meta charset=\"windows-1252\">\x80\xe9";
        out[1].data = "<p>\xc3\xa9</p>";
        out[2].data = "<p>\xe9</p>";
        return out + extra;
    }

    explicit Crafted(int version = 3, const QList<Entry>& entries = topics()) {
        const qsizetype header = version == 2 ? 0x58 : 0x60;
        dir = header + 0x18;
        const qsizetype dirLength = 0x54 + kChunks * qsizetype(kChunk);
        content = dir + dirLength;
        QByteArray data;
        QList<QByteArray> lines;
        for (const Entry& e : entries) {
            const quint64 at = e.offset != ~0ull ? e.offset : quint64(data.size());
            const quint64 length = e.length != ~0ull ? e.length : quint64(e.data.size());
            data += e.data;
            lines << encint(quint64(e.name.size())) + e.name + encint(e.section) + encint(at) +
                         encint(length);
        }
        bytes = QByteArray(content, '\0') + data;
        bytes.replace(0, 4, "ITSF");
        put32(4, quint32(version));
        put32(8, quint32(header));
        put32(12, 1);
        put64(0x38, quint64(header));
        put64(0x40, 0x18);
        put64(0x48, quint64(dir));
        put64(0x50, quint64(dirLength));
        if (version == 3)
            put64(0x58, quint64(content));
        put32(header, 0x1fe);
        put64(header + 8, quint64(bytes.size()));

        bytes.replace(dir, 4, "ITSP");
        const quint32 itsp[] = {1, 0x54, 0x0a, kChunk, 2, 2, kRoot, 0, 2, ~0u, kChunks, 0x409};
        for (int i = 0; i < 12; ++i)
            put32(dir + 4 + 4 * i, itsp[i]);

        // Listing chunks of eight entries each (the last takes the rest), then their index.
        QByteArray index;
        for (int c = 0; c < 3; ++c) {
            const qsizetype from = c * 8;
            const qsizetype to = c == 2 ? lines.size() : from + 8;
            QByteArray body;
            for (qsizetype i = from; i < to; ++i)
                body += lines[i];
            bytes.replace(chunk(c), 4, "PMGL");
            put32(chunk(c) + 4, quint32(kChunk - 0x14 - body.size()));
            put32(chunk(c) + 12, quint32(c - 1));
            put32(chunk(c) + 16, c == 2 ? ~0u : quint32(c + 1));
            bytes.replace(chunk(c) + 0x14, body.size(), body);
            const QByteArray first = entries[from].name;
            index += encint(quint64(first.size())) + first + encint(quint64(c));
        }
        bytes.replace(chunk(kRoot), 4, "PMGI");
        put32(chunk(kRoot) + 4, quint32(kChunk - 8 - index.size()));
        bytes.replace(chunk(kRoot) + 8, index.size(), index);
    }

    // Where the index entry leading to listing chunk `c` keeps its chunk number.
    qsizetype indexChild(int c) const { return chunk(kRoot) + 8 + (c + 1) * 15 - 1; }
    // Where a listing chunk keeps the number of the next one.
    qsizetype next(int c) const { return chunk(c) + 16; }
};

QByteArray patched(QByteArray bytes, qsizetype at, int n, quint64 v) {
    put(bytes, at, n, v);
    return bytes;
}

} // namespace

// The structure checks that keep a damaged help file from the reading library, which trusts
// every count and link it finds (a loop in the directory never ends), and reading a sound one.
class TestChmCheck : public QObject {
    Q_OBJECT

    static QString appFile(const char* name) {
        return qEnvironmentVariable("TICKORA_APP_DIR") + QLatin1Char('/') + QLatin1String(name);
    }

private slots:
    void structures_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("problem");
        const Crafted c;
        const qsizetype size = c.bytes.size();
        const quint32 chunk = Crafted::kChunk;
        const char* unknown = "unknown header version";
        const char* header = "the directory header is damaged";
        const char* outside = "the directory points outside itself";
        const char* fit = "the directory's chunks do not fit";
        const char* chain = "the directory's chunk chain is broken";
        const char* entry = "a directory entry is damaged";
        // One value written over the sound file: where, how many bytes, what, and the fault.
        const struct {
            const char* name;
            qsizetype at;
            int bytes;
            quint64 value;
            const char* problem;
        } patches[] = {
            {"sound, with an index", 0, 0, 0, ""},
            {"sound, no index", c.dir + 0x1c, 4, ~0u, ""},
            {"sound, a listing without entries", c.chunk(2) + 4, 4, chunk - 0x14, ""},
            {"other signature", 3, 1, 'G', "not a compiled help file"},
            {"version 4", 4, 4, 4, unknown},
            {"newer version, older length", 4, 4, 2, unknown},
            {"directory past the end", 0x48, 8, quint64(size) - 0x553,
             "the directory lies outside the file"},
            {"directory shorter than its header", 0x50, 8, 0x53,
             "the directory lies outside the file"},
            {"directory of its header alone", 0x50, 8, 0x54, fit},
            {"content past the end", 0x58, 8, quint64(size) + 1,
             "the content lies outside the file"},
            {"content at the end", 0x58, 8, quint64(size), "an entry lies outside the file"},
            {"directory signature", c.dir, 1, 'X', header},
            {"directory version", c.dir + 4, 4, 2, header},
            {"directory header length", c.dir + 8, 4, 0x50, header},
            {"chunks too small", c.dir + 0x10, 4, 0x1f, fit},
            {"smallest chunks", c.dir + 0x10, 4, 0x20, "a directory chunk is damaged"},
            {"chunks too large", c.dir + 0x10, 4, 0x10001, fit},
            {"no chunks", c.dir + 0x2c, 4, 0, fit},
            {"one chunk too many", c.dir + 0x2c, 4, 6, fit},
            {"first listing past the last chunk", c.dir + 0x20, 4, 5, outside},
            {"first listing before the first", c.dir + 0x20, 4, ~0u, outside},
            {"index root past the last chunk", c.dir + 0x1c, 4, 5, outside},
            {"index root -2", c.dir + 0x1c, 4, ~1u, outside},
            {"listing free space too large", c.chunk(1) + 4, 4, chunk - 0x13,
             "a directory chunk is damaged"},
            {"index free space too large", c.chunk(Crafted::kRoot) + 4, 4, chunk - 7,
             "a directory chunk is damaged"},
            {"empty entry name", c.chunk(0) + 0x14, 1, 0, entry},
            {"chunk ends inside an entry's name", c.chunk(0) + 4, 4, chunk - 0x14 - 5, entry},
            {"section 2", c.chunk(0) + 0x14 + 14, 1, 2, entry},
            {"listing chain loops", c.next(2), 4, 0, chain},
            {"listing chain enters the index", c.next(0), 4, Crafted::kRoot, chain},
            {"listing chain leaves the directory", c.next(1), 4, 5, chain},
            {"index names a chunk past the last", c.indexChild(1), 1, 5,
             "the directory index points outside the directory"},
            {"index names an unused chunk", c.indexChild(1), 1, Crafted::kUnused,
             "the directory index leads to a damaged chunk"},
            {"index names itself", c.indexChild(2), 1, Crafted::kRoot, "the directory index loops"},
        };
        for (const auto& p : patches)
            QTest::newRow(p.name) << patched(c.bytes, p.at, p.bytes, p.value)
                                  << QString::fromLatin1(p.problem);

        using E = Crafted::Entry;
        const quint64 rest = quint64(size - c.content);
        QTest::newRow("sound, older header") << Crafted(2).bytes << QString();
        Crafted older(2);
        older.put32(4, 3);
        QTest::newRow("older version, newer length") << older.bytes << unknown;
        QTest::newRow("cut inside the header") << c.bytes.left(0x57) << "the header is cut short";
        QTest::newRow("cut inside the newer header") << c.bytes.left(0x58) << unknown;
        QTest::newRow("sound, entry ends at the file's end")
            << Crafted(3, Crafted::topics({E{"/zz", 0, "", 0, rest}})).bytes << QString();
        QTest::newRow("entry past the end")
            << Crafted(3, Crafted::topics({E{"/zz", 0, "", 0, rest + 1}})).bytes
            << "an entry lies outside the file";
        QTest::newRow("compressed entry without the section")
            << Crafted(3, Crafted::topics({E{"/zz", 1, "", 0, 1}})).bytes
            << "the compressed section is missing";

        // Chunk 4 made a second index, of listing chunk 0, below the root.
        for (const bool loop : {false, true}) {
            Crafted d;
            d.bytes.replace(d.chunk(4), 4, "PMGI");
            d.put32(d.chunk(4) + 4, chunk - 8 - 15);
            d.bytes.replace(d.chunk(4) + 8, 15, d.bytes.mid(d.indexChild(0) - 14, 15));
            d.bytes[d.indexChild(1)] = 4;
            if (loop) // back to the root
                d.bytes[d.chunk(4) + 8 + 14] = char(Crafted::kRoot);
            else // named twice: shared, not a loop
                d.bytes[d.indexChild(0)] = 4;
            QTest::newRow(loop ? "index loops through a second index" : "sound, shared index")
                << d.bytes << (loop ? "the directory index loops" : "");
        }

        // One value written into the compressed section of the help file the build compiles.
        const QByteArray built = readAll(appFile("tickora.chm"));
        QTest::newRow("sound, the built file") << built << QString();
        const char* control = "::DataSpace/Storage/MSCompressed/ControlData";
        const char* reset = "::DataSpace/Storage/MSCompressed/Transform/"
                            "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
        const struct {
            const char* name;
            const char* file;
            int at;
            quint32 value;
            const char* problem;
        } compressed[] = {
            {"control signature", control, 4, 0x43585a4d,
             "the compression's control data is damaged"},
            {"version 3", control, 8, 3, "the compression's version is unknown"},
            {"window of 3", control, 16, 3, "the compression's window is damaged"},
            {"no reset interval", control, 12, 0, "the compression's window is damaged"},
            {"reset entries of 4 bytes", reset, 8, 4, "the reset table is damaged"},
            {"two blocks at one place", reset, 0x28 + 8, 0, "the reset table is damaged"},
            // The byte that made the reading library abort in an earlier build of the help file
            // (tests/help/aborting.chm), in the second block's start.
            {"second block's start", reset, 0x28 + 9, 0x9b, "the reset table is damaged"},
            {"no blocks", reset, 4, 0, "the reset table does not match the content"},
        };
        for (const auto& p : compressed) {
            const qint64 start = help::chmcheck::storedOffset(built, p.file);
            QVERIFY(start > 0);
            QTest::newRow(p.name) << patched(built, start + p.at, 4, p.value)
                                  << QString::fromLatin1(p.problem);
        }
    }
    void structures() {
        QFETCH(QByteArray, file);
        QTEST(help::chmcheck::problem(file), "problem");
    }

    // A sound file without a compressed section is read, every name through the index, and its
    // topics are decoded by the character set they declare; reopening forgets the file before.
    void uncompressedFileIsRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath("crafted.chm");
        QVERIFY(writeFile(path, Crafted().bytes));
        ChmFile f;
        QVERIFY(f.open(appFile("tickora.chm"))); // what it held before is gone after the next
        QVERIFY2(f.open(path), qPrintable(f.problem()));
        const QList<Crafted::Entry> topics = Crafted::topics();
        QCOMPARE(f.files().size(), topics.size());
        for (const Crafted::Entry& e : topics)
            QCOMPARE(f.read(QString::fromLatin1(e.name)), e.data);
        QCOMPARE(f.readText("/html/t01.htm").right(2), QStringLiteral("\u20ac\u00e9"));
        QCOMPARE(f.readText("/html/t02.htm"), QStringLiteral("<p>\u00e9</p>"));
        QCOMPARE(f.readText("/html/t03.htm"), QStringLiteral("<p>\u00e9</p>"));
    }

    // The build's help step stamps the compiled file: it refuses a damaged one and one without
    // its system file, and clears only the compile times of a sound one.
    void stamp_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("refusal");
        auto record = [](quint16 code, const QByteArray& data) {
            const auto n = quint16(data.size());
            return QByteArray(1, char(code)) + '\0' + char(n & 0xff) + char(n >> 8) + data;
        };
        // A record longer than 255 bytes before the compile time.
        const QByteArray system = QByteArray("\3\0\0\0", 4) + record(9, QByteArray(300, 'v')) +
                                  record(10, "\x11\x22\x33\x44\x55\x66") + record(11, "xyz");
        Crafted sound(3, Crafted::topics({Crafted::Entry{"/#SYSTEM", 0, system}}));
        sound.put32(0x10, 0x12345678);
        QTest::newRow("sound") << sound.bytes << QString();
        QTest::newRow("no system file") << Crafted().bytes << "no #SYSTEM";
        sound.put32(sound.next(2), 0);
        QTest::newRow("damaged") << sound.bytes << "the directory's chunk chain is broken";
    }
    void stamp() {
        QFETCH(QByteArray, file);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        const QString path = dir.filePath("crafted.chm");
        QVERIFY(writeFile(path, file));
        const ToolRun r = runProgram(QStringLiteral(CHMSTAMP), {path});
        const QByteArray stamped = readAll(path);
        if (!refusal.isEmpty()) {
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(refusal.toLatin1()), r.err.constData());
            QCOMPARE(stamped, file);
            return;
        }
        QCOMPARE(r.code, 0);
        QByteArray expected = file;
        expected.replace(0x10, 4, QByteArray(4, '\0'));
        const qsizetype time = expected.indexOf("\x11\x22\x33\x44\x55\x66");
        expected.replace(time, 4, QByteArray(4, '\0'));
        QCOMPARE(stamped, expected);
    }
};

QTEST_MAIN(TestChmCheck)
#include "tst_chmcheck.moc"
