// chmstamp FILE.chm: clears the compile times the help compiler writes into a help file (the
// header's and the #SYSTEM record's), so the same sources give the same bytes.
#include "chmcheck.h"

#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: chmstamp FILE.chm\n");
        return 2;
    }
    QFile file(QFile::decodeName(argv[1]));
    if (!file.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "chmstamp: cannot open %s\n", argv[1]);
        return 1;
    }
    QByteArray bytes = file.readAll();
    const QString problem = help::chmcheck::problem(bytes);
    const qint64 system = help::chmcheck::storedOffset(bytes, "/#SYSTEM");
    if (!problem.isEmpty() || system < 0) {
        std::fprintf(stderr, "chmstamp: %s is not a sound help file: %s\n", argv[1],
                     qPrintable(problem.isEmpty() ? QStringLiteral("no #SYSTEM") : problem));
        return 1;
    }
    auto clear = [&](qint64 at, int n) {
        for (int i = 0; i < n && at + i < bytes.size(); ++i)
            bytes[at + i] = 0;
    };
    clear(0x10, 4); // the header's time stamp
    // #SYSTEM: a version, then records of code, length, data; code 10 is the compile time.
    const qint64 end = std::min<qint64>(bytes.size(), system + 0x10000);
    for (qint64 at = system + 4; at + 4 <= end;) {
        const int code = uchar(bytes[at]) | uchar(bytes[at + 1]) << 8;
        const int length = uchar(bytes[at + 2]) | uchar(bytes[at + 3]) << 8;
        if (code == 10)
            clear(at + 4, std::min(length, 4));
        if (code == 10)
            break;
        at += 4 + length;
    }
    if (!file.seek(0) || file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "chmstamp: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
