// chm_unpack FILE.chm OUT: writes the inner files of a help file in the fuzzer's input form
// (u16 name length, name, u32 data length, data, ...), a seed for fuzz_chm.
#include "chmfile.h"

#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: chm_unpack FILE.chm OUT\n");
        return 2;
    }
    help::ChmFile chm;
    if (!chm.open(QFile::decodeName(argv[1]))) {
        std::fprintf(stderr, "chm_unpack: cannot read %s\n", argv[1]);
        return 1;
    }
    QByteArray out;
    for (const QString& name : chm.files()) {
        const QByteArray n = name.toUtf8();
        const QByteArray data = chm.read(name);
        out.append(char(n.size() & 0xff)).append(char(n.size() >> 8 & 0xff)).append(n);
        for (int shift = 0; shift < 32; shift += 8)
            out.append(char(quint32(data.size()) >> shift & 0xff));
        out.append(data);
    }
    QFile file(QFile::decodeName(argv[2]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "chm_unpack: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
