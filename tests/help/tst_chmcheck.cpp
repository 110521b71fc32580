#include "chmcheck.h"
#include "chmfile.h"
#include "toolrun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using help::ChmFile;

namespace {

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
    void put32(qsizetype at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char(v >> (8 * i));
    }
    void put64(qsizetype at, quint64 v) {
        put32(at, quint32(v));
        put32(at + 4, quint32(v >> 32));
    }

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
            Q_ASSERT(body.size() <= qsizetype(kChunk) - 0x14);
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

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
        using E = Crafted::Entry;
        using Change = std::function<void(Crafted&)>;
        auto row = [](const char* name, const Change& change, const char* problem,
                      Crafted c = Crafted()) {
            change(c);
            QTest::newRow(name) << c.bytes << QString::fromLatin1(problem);
        };
        const int size = int(Crafted().bytes.size());
        const int root = Crafted::kRoot;
        const char* outside = "the directory points outside itself";
        const char* fit = "the directory's chunks do not fit";
        const char* chain = "the directory's chunk chain is broken";
        const char* entry = "a directory entry is damaged";

        row(
            "sound, with an index", [](Crafted&) {}, "");
        row(
            "sound, older header", [](Crafted&) {}, "", Crafted(2));
        row(
            "sound, no index", [](Crafted& c) { c.put32(c.dir + 0x1c, ~0u); }, "");
        row(
            "sound, entry ends at the file's end", [](Crafted&) {}, "",
            Crafted(3, Crafted::topics({E{"/zz", 0, "", 0, quint64(size) - 0x60 - 0x18 - 0x554}})));
        row(
            "sound, two index entries share an index chunk",
            [](Crafted& c) {
                // Chunk 4 becomes an index of listing chunk 0 that the root names twice.
                c.bytes.replace(c.chunk(4), 4, "PMGI");
                c.put32(c.chunk(4) + 4, Crafted::kChunk - 8 - 15);
                c.bytes.replace(c.chunk(4) + 8, 15, c.bytes.mid(c.chunk(root) + 8, 15));
                c.bytes[c.indexChild(0)] = 4;
                c.bytes[c.indexChild(1)] = 4;
            },
            "");
        row(
            "sound, a listing chunk without entries",
            [](Crafted& c) { c.put32(c.chunk(2) + 4, Crafted::kChunk - 0x14); }, "");

        row(
            "other signature", [](Crafted& c) { c.bytes[3] = 'G'; }, "not a compiled help file");
        row(
            "cut inside the header", [&](Crafted& c) { c.bytes.truncate(0x57); },
            "the header is cut short");
        row(
            "cut inside the newer header", [&](Crafted& c) { c.bytes.truncate(0x58); },
            "unknown header version");
        row(
            "version 4", [](Crafted& c) { c.put32(4, 4); }, "unknown header version");
        row(
            "newer version, older length", [](Crafted& c) { c.put32(4, 2); },
            "unknown header version");
        row(
            "older version, newer length", [](Crafted& c) { c.put32(4, 3); },
            "unknown header version", Crafted(2));
        row(
            "directory past the end", [&](Crafted& c) { c.put64(0x48, quint64(size) - 0x553); },
            "the directory lies outside the file");
        row(
            "directory shorter than its header", [](Crafted& c) { c.put64(0x50, 0x53); },
            "the directory lies outside the file");
        row(
            "directory of its header alone", [=](Crafted& c) { c.put64(0x50, 0x54); }, fit);
        row(
            "content past the end", [&](Crafted& c) { c.put64(0x58, quint64(size) + 1); },
            "the content lies outside the file");
        row(
            "content at the end", [&](Crafted& c) { c.put64(0x58, quint64(size)); },
            "an entry lies outside the file");

        row(
            "directory signature", [](Crafted& c) { c.bytes[c.dir] = 'X'; },
            "the directory header is damaged");
        row(
            "directory version", [](Crafted& c) { c.put32(c.dir + 4, 2); },
            "the directory header is damaged");
        row(
            "directory header length", [](Crafted& c) { c.put32(c.dir + 8, 0x50); },
            "the directory header is damaged");
        row(
            "chunks too small", [=](Crafted& c) { c.put32(c.dir + 0x10, 0x1f); }, fit);
        row(
            "smallest chunks", [](Crafted& c) { c.put32(c.dir + 0x10, 0x20); },
            "a directory chunk is damaged");
        row(
            "chunks too large", [=](Crafted& c) { c.put32(c.dir + 0x10, 0x10001); }, fit);
        row(
            "no chunks", [=](Crafted& c) { c.put32(c.dir + 0x2c, 0); }, fit);
        row(
            "one chunk too many", [=](Crafted& c) { c.put32(c.dir + 0x2c, 6); }, fit);
        row(
            "first listing past the last chunk", [=](Crafted& c) { c.put32(c.dir + 0x20, 5); },
            outside);
        row(
            "first listing before the first", [=](Crafted& c) { c.put32(c.dir + 0x20, ~0u); },
            outside);
        row(
            "index root past the last chunk", [=](Crafted& c) { c.put32(c.dir + 0x1c, 5); },
            outside);
        row(
            "index root -2", [=](Crafted& c) { c.put32(c.dir + 0x1c, ~1u); }, outside);

        row(
            "listing free space too large",
            [](Crafted& c) { c.put32(c.chunk(1) + 4, Crafted::kChunk - 0x13); },
            "a directory chunk is damaged");
        row(
            "index free space too large",
            [=](Crafted& c) { c.put32(c.chunk(root) + 4, Crafted::kChunk - 7); },
            "a directory chunk is damaged");
        row(
            "empty entry name", [](Crafted& c) { c.bytes[c.chunk(0) + 0x14] = 0; }, entry);
        row(
            "chunk ends inside an entry's name",
            [](Crafted& c) { c.put32(c.chunk(0) + 4, Crafted::kChunk - 0x14 - 5); }, entry);
        row(
            "section 2", [](Crafted& c) { c.bytes[c.chunk(0) + 0x14 + 14] = 2; }, entry);
        row(
            "entry past the end", [](Crafted&) {}, "an entry lies outside the file",
            Crafted(3, Crafted::topics({E{"/zz", 0, "", 0, quint64(size)}})));
        row(
            "entry far past the end", [](Crafted&) {}, "an entry lies outside the file",
            Crafted(3, Crafted::topics({E{"/zz", 0, "", quint64(size) + 1, 0}})));
        row(
            "compressed entry without the section", [](Crafted&) {},
            "the compressed section is missing",
            Crafted(3, Crafted::topics({E{"/zz", 1, "", 0, 1}})));

        row(
            "listing chain loops", [](Crafted& c) { c.put32(c.next(2), 0); }, chain);
        row(
            "listing chain enters the index", [=](Crafted& c) { c.put32(c.next(0), root); }, chain);
        row(
            "listing chain leaves the directory", [](Crafted& c) { c.put32(c.next(1), 5); }, chain);
        row(
            "listing chain goes to -2", [](Crafted& c) { c.put32(c.next(1), ~1u); }, chain);
        row(
            "index names a chunk past the last", [](Crafted& c) { c.bytes[c.indexChild(1)] = 5; },
            "the directory index points outside the directory");
        row(
            "index names an unused chunk",
            [](Crafted& c) { c.bytes[c.indexChild(1)] = Crafted::kUnused; },
            "the directory index leads to a damaged chunk");
        row(
            "index names itself", [=](Crafted& c) { c.bytes[c.indexChild(2)] = char(root); },
            "the directory index loops");
        row(
            "index loops through a second index",
            [=](Crafted& c) {
                c.bytes.replace(c.chunk(4), 4, "PMGI");
                c.put32(c.chunk(4) + 4, Crafted::kChunk - 8 - 15);
                c.bytes.replace(c.chunk(4) + 8, 15, c.bytes.mid(c.chunk(root) + 8, 15));
                c.bytes[c.chunk(4) + 8 + 14] = char(root);
                c.bytes[c.indexChild(1)] = 4;
            },
            "the directory index loops");
    }
    void structures() {
        QFETCH(QByteArray, file);
        QFETCH(QString, problem);
        QCOMPARE(help::chmcheck::problem(file), problem);
    }

    // The compressed section of the help file the build compiles.
    void compressedSection_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("at");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QString>("problem");
        const QString control = "::DataSpace/Storage/MSCompressed/ControlData";
        const QString reset = "::DataSpace/Storage/MSCompressed/Transform/"
                              "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
        QTest::newRow("control signature")
            << control << 4 << 0x43585a4du << QString("the compression's control data is damaged");
        QTest::newRow("version 3")
            << control << 8 << 3u << QString("the compression's version is unknown");
        QTest::newRow("window of 3")
            << control << 16 << 3u << QString("the compression's window is damaged");
        QTest::newRow("no reset interval")
            << control << 12 << 0u << QString("the compression's window is damaged");
        QTest::newRow("reset entries of 4 bytes")
            << reset << 8 << 4u << QString("the reset table is damaged");
        QTest::newRow("no blocks")
            << reset << 4 << 0u << QString("the reset table does not match the content");
    }
    void compressedSection() {
        QFETCH(QString, name);
        QFETCH(int, at);
        QFETCH(quint32, value);
        QFETCH(QString, problem);
        QByteArray bytes = fileBytes(appFile("tickora.chm"));
        QVERIFY(help::chmcheck::problem(bytes).isEmpty());
        const qint64 start = help::chmcheck::storedOffset(bytes, name.toLatin1());
        QVERIFY(start > 0);
        for (int i = 0; i < 4; ++i)
            bytes[start + at + i] = char(value >> (8 * i));
        QCOMPARE(help::chmcheck::problem(bytes), problem);
    }

    // A sound file without a compressed section is read, every name through the index, and its
    // topics are decoded by the character set they declare.
    void uncompressedFileIsRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath("crafted.chm");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(Crafted().bytes);
        out.close();
        ChmFile f;
        QVERIFY2(f.open(path), qPrintable(f.problem()));
        const QList<Crafted::Entry> topics = Crafted::topics();
        QCOMPARE(f.files().size(), topics.size());
        for (const Crafted::Entry& e : topics)
            QCOMPARE(f.read(QString::fromLatin1(e.name)), e.data);
        QCOMPARE(f.readText("/html/t01.htm").right(2), QStringLiteral("\u20ac\u00e9"));
        QCOMPARE(f.readText("/html/t02.htm"), QStringLiteral("<p>\u00e9</p>"));
        QCOMPARE(f.readText("/html/t03.htm"), QStringLiteral("<p>\u00e9</p>"));
        QCOMPARE(f.topicTitle("/html/t24.htm"), QString("Topic 24"));
        QCOMPARE(help::chmcheck::storedOffset(Crafted().bytes, "/html/t24.htm"),
                 qint64(fileBytes(path).indexOf("<html><title>Topic 24")));
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
        const QString path = dir.filePath("stamped.chm");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();
        const ToolRun r = runProgram(QStringLiteral(CHMSTAMP), {path});
        const QByteArray stamped = fileBytes(path);
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
