// Fuzzes the reading of compiled help files, the path the help process takes.
//
// An input that begins like a help file ("ITSF") goes through the structure checks that run
// before the decompressing library sees a file; with TICKORA_FUZZ_CHMLIB=1 the inputs that pass
// them are also read through that library (it aborts on damaged compressed data, which the help
// process contains; that run is for counting, not for ./test.sh). Any other input is a set of
// inner files (u16 name length, name, u32 data length, data, ...), read by the parsers of
// windows, contents, index, context map and popups. Checked besides "no crash, no hang": every
// answer the reader gives names a file it holds.
#include "chmcheck.h"
#include "chmfile.h"

#include <QMap>

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void require(bool ok) {
    if (!ok)
        __builtin_trap();
}

QString withoutAnchor(const QString& topic) {
    const int hash = topic.indexOf(QLatin1Char('#'));
    return hash < 0 ? topic : topic.left(hash);
}

void walk(const help::ChmFile& f) {
    for (const QString& name : f.files())
        require(!f.resolve(name).isEmpty());
    (void)f.windows();
    (void)f.window(QStringLiteral("Main"));
    (void)f.contents();
    for (const help::ChmFile::IndexEntry& e : f.index())
        require(!e.keyword.isEmpty());
    for (qint32 id : {0, 1, 1001, 1100, -1}) {
        const QString topic = f.contextTopic(id);
        require(topic.isEmpty() || !f.resolve(withoutAnchor(topic)).isEmpty());
    }
    for (const QString& name : f.files()) {
        if (name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) {
            for (qint32 id : {1001, 1002, 3003, 0}) {
                const QString text = f.popupText(name, id);
                require(!text.startsWith(QLatin1String(".topic")));
            }
        }
    }
    for (const help::ChmFile::SearchHit& hit : f.search(QStringLiteral("scroll item")))
        require(!f.resolve(hit.local).isEmpty());
    for (const QString& topic : f.aLinkTopics({QStringLiteral("a"), QStringLiteral("b")}))
        require(!f.resolve(topic).isEmpty());
}

void readWithLibrary(const QByteArray& bytes) {
    const int fd = memfd_create("fuzz.chm", 0);
    if (fd < 0)
        return;
    if (write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size()) {
        help::ChmFile f;
        if (f.open(QStringLiteral("/proc/self/fd/%1").arg(fd))) {
            walk(f);
            for (const QString& name : f.files())
                (void)f.read(name);
        }
    }
    close(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (bytes.startsWith("ITSF")) {
        const QString problem = help::chmcheck::problem(bytes);
        const qint64 system = help::chmcheck::storedOffset(bytes, "/#SYSTEM");
        require(system < 0 || (problem.isEmpty() && system <= bytes.size()));
        static const bool withLibrary = qEnvironmentVariableIntValue("TICKORA_FUZZ_CHMLIB") == 1;
        if (problem.isEmpty() && withLibrary)
            readWithLibrary(bytes);
        return 0;
    }
    QMap<QString, QByteArray> files;
    for (qsizetype at = 0; at + 2 <= bytes.size();) {
        const int nameLength = uchar(bytes[at]) | uchar(bytes[at + 1]) << 8;
        at += 2;
        if (at + nameLength + 4 > bytes.size())
            break;
        const QString name = QString::fromUtf8(bytes.mid(at, nameLength));
        at += nameLength;
        const quint32 length = quint32(uchar(bytes[at])) | quint32(uchar(bytes[at + 1])) << 8 |
                               quint32(uchar(bytes[at + 2])) << 16 |
                               quint32(uchar(bytes[at + 3])) << 24;
        at += 4;
        const qsizetype n = qsizetype(std::min<quint64>(length, quint64(bytes.size() - at)));
        files.insert(name, bytes.mid(at, n));
        at += n;
    }
    help::ChmFile f;
    f.openUnpacked(files);
    walk(f);
    return 0;
}
