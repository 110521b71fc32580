#include "textencoding.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace textencoding {

namespace {

// Code points of bytes 0x80..0x9F. The five bytes Windows-1252 leaves undefined map to the C1
// controls of the same value, so every byte survives a read and a write.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int toCp1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

const char kBom[] = "\xEF\xBB\xBF";

} // namespace

bool isValidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        // Fast path over ASCII, eight bytes at a time.
        while (i + 8 <= n) {
            quint64 w;
            memcpy(&w, p + i, 8);
            if (w & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        char32_t min;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) {
            len = 2, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (int k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

TextEncoding detect(const QByteArray& bytes, qsizetype* bomLength) {
    *bomLength = 0;
    if (!isValidUtf8(bytes))
        return TextEncoding::Windows1252;
    if (bytes.startsWith(kBom)) {
        *bomLength = 3;
        return TextEncoding::Utf8Bom;
    }
    return TextEncoding::Utf8;
}

QString decodeSpan(const char* data, qsizetype size, TextEncoding e) {
    if (e != TextEncoding::Windows1252)
        return QString::fromUtf8(data, size);
    QString out(size, Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

QString decode(const QByteArray& bytes, TextEncoding* detected) {
    qsizetype bom;
    *detected = detect(bytes, &bom);
    return decodeSpan(bytes.constData() + bom, bytes.size() - bom, *detected);
}

QByteArray encode(const QString& text, TextEncoding wanted, TextEncoding* used) {
    if (wanted == TextEncoding::Windows1252) {
        QByteArray out(text.size(), Qt::Uninitialized);
        char* d = out.data();
        bool ok = true;
        for (qsizetype i = 0; i < text.size() && ok; ++i) {
            const int b = toCp1252(text[i].unicode());
            ok = b >= 0;
            d[i] = static_cast<char>(b);
        }
        // Bytes that happen to be valid UTF-8 would be read back as UTF-8 ("\xC3\xA9" as one
        // letter), so such a text is written as UTF-8 too.
        const bool ascii =
            std::all_of(out.cbegin(), out.cend(), [](char c) { return (c & 0x80) == 0; });
        if (ok && (ascii || !isValidUtf8(out))) {
            *used = TextEncoding::Windows1252;
            return out;
        }
        wanted = TextEncoding::Utf8;
    }
    *used = wanted;
    QByteArray out = text.toUtf8();
    if (wanted == TextEncoding::Utf8Bom)
        out.prepend(kBom);
    return out;
}

QString name(TextEncoding e) {
    switch (e) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8Bom:
        return QStringLiteral("UTF-8 with BOM");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    }
    return {};
}

} // namespace textencoding
