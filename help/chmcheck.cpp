#include "chmcheck.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace help::chmcheck {

namespace {

constexpr quint64 kMaxUncompressed = 512ull << 20; // far beyond any help file, below a bad alloc
constexpr int kMaxPath = 512;                      // the reading library's own path limit
constexpr quint64 kLzxBlock = 0x8000;

const char kContent[] = "::DataSpace/Storage/MSCompressed/Content";
const char kControl[] = "::DataSpace/Storage/MSCompressed/ControlData";
const char kResetTable[] = "::DataSpace/Storage/MSCompressed/Transform/"
                           "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";

// Little-endian reads that say when the bytes are not there.
struct Bytes {
    const QByteArray& b;
    bool has(quint64 at, quint64 n) const {
        return at <= quint64(b.size()) && n <= quint64(b.size()) - at;
    }
    quint32 u32(quint64 at) const {
        const auto* p = reinterpret_cast<const uchar*>(b.constData() + at);
        return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    }
    qint32 i32(quint64 at) const { return qint32(u32(at)); }
    quint64 u64(quint64 at) const { return quint64(u32(at)) | quint64(u32(at + 4)) << 32; }
    bool tag(quint64 at, const char* four) const { return has(at, 4) && b.mid(at, 4) == four; }
};

// A variable-length number of the directory: 7 bits a byte, high bit set on all but the last.
std::optional<quint64> encint(const QByteArray& b, qsizetype& at, qsizetype end) {
    quint64 v = 0;
    for (int n = 0; n < 9; ++n) {
        if (at >= end)
            return std::nullopt;
        const uchar c = uchar(b[at++]);
        v = v << 7 | (c & 0x7f);
        if (!(c & 0x80))
            return v;
    }
    return std::nullopt;
}

struct Entry {
    quint64 section = 0;
    quint64 offset = 0;
    quint64 length = 0;
};

} // namespace

namespace {

// The checks; on success `found` holds every directory entry and `contentStart` where section 0
// begins.
QString check(const QByteArray& file, QHash<QByteArray, Entry>* found, quint64* contentStart) {
    const Bytes f{file};
    if (!f.tag(0, "ITSF"))
        return QStringLiteral("not a compiled help file");
    if (!f.has(0, 0x58))
        return QStringLiteral("the header is cut short");
    const quint32 version = f.u32(4);
    const quint32 headerLength = f.u32(8);
    if ((version != 2 && version != 3) || headerLength != (version == 2 ? 0x58u : 0x60u) ||
        !f.has(0, headerLength))
        return QStringLiteral("unknown header version");
    const quint64 dirOffset = f.u64(0x48);
    const quint64 dirLength = f.u64(0x50);
    if (!f.has(dirOffset, dirLength) || dirLength < 0x54)
        return QStringLiteral("the directory lies outside the file");
    const quint64 contentOffset = version == 3 ? f.u64(0x58) : dirOffset + dirLength;
    if (contentOffset > quint64(file.size()))
        return QStringLiteral("the content lies outside the file");

    // Directory header.
    if (!f.tag(dirOffset, "ITSP") || f.u32(dirOffset + 4) != 1 || f.u32(dirOffset + 8) != 0x54)
        return QStringLiteral("the directory header is damaged");
    const quint32 chunkSize = f.u32(dirOffset + 0x10);
    const qint32 root = f.i32(dirOffset + 0x1c);
    const qint32 head = f.i32(dirOffset + 0x20);
    const quint32 chunks = f.u32(dirOffset + 0x2c);
    if (chunkSize < 0x20 || chunkSize > 0x10000 || chunks == 0 ||
        quint64(chunks) * chunkSize > dirLength - 0x54)
        return QStringLiteral("the directory's chunks do not fit");
    const quint64 firstChunk = dirOffset + 0x54;
    if (head < 0 || quint32(head) >= chunks || root < -1 || (root >= 0 && quint32(root) >= chunks))
        return QStringLiteral("the directory points outside itself");

    // Every chunk, listing or index, must parse to its end; entries point into the file.
    QHash<QByteArray, Entry> entries;
    QHash<quint32, QList<quint32>> children; // index chunk -> chunks it leads to
    QHash<quint32, qint32> next;             // listing chunk -> the following one
    for (quint32 c = 0; c < chunks; ++c) {
        const qsizetype start = qsizetype(firstChunk + quint64(c) * chunkSize);
        const bool listing = f.tag(start, "PMGL");
        const bool index = f.tag(start, "PMGI");
        if (!listing && !index)
            continue; // unused chunks may hold anything; they are never reached
        const quint32 freeSpace = f.u32(start + 4);
        const qsizetype header = listing ? 0x14 : 0x08;
        if (freeSpace > chunkSize - header)
            return QStringLiteral("a directory chunk is damaged");
        const qsizetype end = start + qsizetype(chunkSize - freeSpace);
        if (listing)
            next.insert(c, f.i32(start + 0x10));
        for (qsizetype at = start + header; at < end;) {
            const auto nameLength = encint(file, at, end);
            if (!nameLength || *nameLength == 0 || *nameLength > kMaxPath ||
                qsizetype(*nameLength) > end - at)
                return QStringLiteral("a directory entry is damaged");
            const QByteArray name = file.mid(at, qsizetype(*nameLength));
            at += qsizetype(*nameLength);
            if (index) {
                const auto child = encint(file, at, end);
                if (!child || *child >= chunks)
                    return QStringLiteral("the directory index points outside the directory");
                children[c].append(quint32(*child));
                continue;
            }
            Entry e;
            const auto section = encint(file, at, end);
            const auto offset = encint(file, at, end);
            const auto length = encint(file, at, end);
            if (!section || !offset || !length || *section > 1)
                return QStringLiteral("a directory entry is damaged");
            e = Entry{*section, *offset, *length};
            if (e.section == 0 &&
                (e.offset > quint64(file.size()) || !f.has(contentOffset + e.offset, e.length)))
                return QStringLiteral("an entry lies outside the file");
            entries.insert(name, e);
        }
    }

    // The listing chain and the index tree are walked by the library without end checks:
    // a loop in either would never finish.
    QSet<quint32> seen;
    for (qint32 c = head; c != -1;) {
        if (c < 0 || quint32(c) >= chunks || !next.contains(quint32(c)) ||
            seen.contains(quint32(c)))
            return QStringLiteral("the directory's chunk chain is broken");
        seen.insert(quint32(c));
        c = next.value(quint32(c));
    }
    if (root >= 0 && !next.contains(quint32(root))) {
        QSet<quint32> onPath;
        QList<QPair<quint32, int>> stack{{quint32(root), 0}};
        onPath.insert(quint32(root));
        int steps = 0;
        while (!stack.isEmpty()) {
            if (++steps > 1 << 20)
                return QStringLiteral("the directory index is too deep");
            auto& [chunk, i] = stack.last();
            const QList<quint32> kids = children.value(chunk);
            if (i >= kids.size()) {
                onPath.remove(chunk);
                stack.removeLast();
                continue;
            }
            const quint32 kid = kids[i++];
            if (onPath.contains(kid))
                return QStringLiteral("the directory index loops");
            if (next.contains(kid))
                continue; // a listing chunk: a leaf
            if (!children.contains(kid))
                return QStringLiteral("the directory index leads to a damaged chunk");
            onPath.insert(kid);
            stack.append({kid, 0});
        }
    }

    // The compressed section: control data, reset table, and every entry inside its length.
    quint64 needed = 0;
    for (const Entry& e : std::as_const(entries)) {
        if (e.section == 1)
            needed = std::max(needed, e.offset + e.length);
        if (e.section == 1 && e.offset + e.length < e.offset)
            return QStringLiteral("an entry's length overflows");
    }
    *found = entries;
    *contentStart = contentOffset;
    const bool compressed =
        entries.contains(kContent) || entries.contains(kControl) || entries.contains(kResetTable);
    if (!compressed)
        return needed == 0 ? QString() : QStringLiteral("the compressed section is missing");
    const Entry content = entries.value(kContent);
    const Entry control = entries.value(kControl);
    const Entry reset = entries.value(kResetTable);
    if (!entries.contains(kContent) || !entries.contains(kControl) ||
        !entries.contains(kResetTable) || content.section || control.section || reset.section)
        return QStringLiteral("the compressed section is incomplete");

    const quint64 ctl = contentOffset + control.offset;
    if (control.length < 0x18 || !f.tag(ctl + 4, "LZXC"))
        return QStringLiteral("the compression's control data is damaged");
    const quint32 lzxVersion = f.u32(ctl + 8);
    quint64 resetInterval = f.u32(ctl + 12);
    quint64 windowSize = f.u32(ctl + 16);
    const quint64 windowsPerReset = f.u32(ctl + 20);
    if (lzxVersion == 2) {
        resetInterval *= kLzxBlock;
        windowSize *= kLzxBlock;
    } else if (lzxVersion != 1) {
        return QStringLiteral("the compression's version is unknown");
    }
    const bool powerOfTwo = windowSize && !(windowSize & (windowSize - 1));
    if (!powerOfTwo || windowSize < (1u << 15) || windowSize > (1u << 21) || resetInterval == 0 ||
        resetInterval % (windowSize / 2) != 0 || windowsPerReset == 0 || windowsPerReset > 0xffff)
        return QStringLiteral("the compression's window is damaged");

    const quint64 rt = contentOffset + reset.offset;
    if (reset.length < 0x28)
        return QStringLiteral("the reset table is cut short");
    const quint32 blocks = f.u32(rt + 4);
    const quint32 entrySize = f.u32(rt + 8);
    const quint32 tableOffset = f.u32(rt + 12);
    const quint64 uncompressed = f.u64(rt + 16);
    const quint64 compressedLength = f.u64(rt + 24);
    const quint64 blockLength = f.u64(rt + 32);
    if (entrySize != 8 || blockLength != kLzxBlock || uncompressed > kMaxUncompressed ||
        compressedLength > content.length || tableOffset < 0x28 ||
        quint64(tableOffset) + quint64(blocks) * 8 > reset.length)
        return QStringLiteral("the reset table is damaged");
    const quint64 used = (uncompressed + blockLength - 1) / blockLength;
    if (blocks < used || blocks > used + 1)
        return QStringLiteral("the reset table does not match the content");
    if (needed > uncompressed)
        return QStringLiteral("an entry lies outside the compressed section");
    quint64 previous = 0;
    for (quint32 i = 0; i < blocks; ++i) {
        const quint64 at = f.u64(rt + tableOffset + quint64(i) * 8);
        // Each data block takes at least one byte; an end marker may follow the last one.
        if ((i == 0 && at != 0) || at > compressedLength || (i > 0 && at <= previous) ||
            (i < used && at >= compressedLength))
            return QStringLiteral("the reset table is damaged");
        previous = at;
    }
    return QString();
}

} // namespace

QString problem(const QByteArray& file) {
    QHash<QByteArray, Entry> entries;
    quint64 content = 0;
    return check(file, &entries, &content);
}

qint64 storedOffset(const QByteArray& file, const QByteArray& name) {
    QHash<QByteArray, Entry> entries;
    quint64 content = 0;
    if (!check(file, &entries, &content).isEmpty() || !entries.contains(name) ||
        entries.value(name).section != 0)
        return -1;
    return qint64(content + entries.value(name).offset);
}

} // namespace help::chmcheck
