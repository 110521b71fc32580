// Writing then reading any document whose texts obey the item invariants gives the same
// document back, and saving it again gives the same bytes.
#include "files.h"
#include "modstring.h"
#include "scriptreader.h"
#include "scriptwriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

class Generator {
public:
    explicit Generator(quint32 seed) : rng(seed) {}

    ScrollerDocument document() {
        ScrollerDocument d;
        clsScroller& s = d.scroller;
        s.sName = identifier();
        s.sWidth = setting();
        s.sHeight = setting();
        s.sSpeed = setting();
        s.sDefWidth = setting();
        s.sSpacing = setting();
        s.sPause = setting();
        s.iDirn = qint16(pick(5) == 0 ? int(rng.bounded(65536)) - 32768 : int(rng.bounded(4)));
        s.iMsePause = qint16(rng.bounded(2));
        d.encoding = pick(3) == 0 ? TextEncoding::Windows1252 : TextEncoding::Utf8;
        const int items = pick(6) == 0 ? 0 : int(rng.bounded(1, 30));
        for (int i = 0; i < items; ++i) {
            clsItem item;
            item.sName = text(pick(4) == 0 ? 0 : 20, d.encoding);
            item.sText = text(pick(20) == 0 ? 40000 : 200, d.encoding);
            item.sWidth = pick(2) ? setting() : text(8, d.encoding);
            d.items.append(item);
        }
        return d;
    }

private:
    QRandomGenerator rng;

    int pick(int n) { return int(rng.bounded(n)); }

    QString identifier() {
        static const QString first = QStringLiteral("abcxyzABCXYZ_");
        static const QString rest = first + QStringLiteral("0123456789");
        QString s(first[pick(int(first.size()))]);
        for (int i = pick(12); i > 0; --i)
            s += rest[pick(int(rest.size()))];
        return s;
    }

    // What the editor admits into a settings field and what the script carries unquoted.
    QString setting() {
        static const char* const samples[] = {"",   "200", "12.5", "-3", "1e3", ".5",
                                              "5.", "abc", "2000", "0",  "1,5", "+7"};
        return QString::fromLatin1(samples[pick(12)]);
    }

    // Item texts: quotes escaped, no line breaks, no backslash at the end.
    QString text(int maxLength, TextEncoding enc) {
        static const QString ascii = QStringLiteral(
            "abc XYZ 019 <b>i</b> = ; ' \" \\ / * . , ( ) ~||~ &amp; -- Replicate Items -- \t");
        static const QString wide =
            QString::fromUtf8("\xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD\xF0\x9F\x98\x80");
        QString s;
        const int n = maxLength ? pick(maxLength + 1) : 0;
        while (s.size() < n) {
            if (enc == TextEncoding::Utf8 && pick(10) == 0)
                s += wide.mid(pick(3), 1) + wide.right(2); // a BMP letter and an emoji pair
            else if (enc == TextEncoding::Windows1252 && pick(10) == 0)
                s += wide.mid(pick(2), 1); // letters Windows-1252 carries
            else
                s += ascii[pick(int(ascii.size()))];
        }
        s = modString::EscapeQuotes(s);
        while (s.endsWith(u'\\'))
            s.chop(1);
        return s;
    }
};

} // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void generatedDocuments() {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("a.js"));
        const QString second = dir.filePath(QStringLiteral("b.js"));
        const quint32 seed = 20261206;
        Generator gen(seed);
        for (int n = 0; n < 400; ++n) {
            const ScrollerDocument doc = gen.document();
            const scriptwriter::SaveResult w = scriptwriter::SaveScroller(first, doc, {}, {});
            QVERIFY(w.written);

            ScrollerDocument back;
            const scriptreader::LoadResult r = scriptreader::LoadScroller(first, back);
            QVERIFY2(r.ok, qPrintable(r.error));
            const QString where = QStringLiteral("document %1 of seed %2").arg(n).arg(seed);
            QVERIFY2(back.scroller.sName == doc.scroller.sName, qPrintable(where));
            QVERIFY2(back.scroller == doc.scroller, qPrintable(where));
            QVERIFY2(back.items.size() == doc.items.size(), qPrintable(where));
            for (int i = 0; i < doc.items.size(); ++i)
                QVERIFY2(back.items[i] == doc.items[i],
                         qPrintable(where + QStringLiteral(", item %1").arg(i)));
            // A file of plain ASCII is valid UTF-8, whatever it was written as.
            const QByteArray bytes = readAll(first);
            const bool ascii =
                std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
            QCOMPARE(back.encoding, ascii ? TextEncoding::Utf8 : w.encoding);

            QVERIFY(scriptwriter::SaveScroller(second, back, {}, {}).written);
            QVERIFY2(readAll(first) == readAll(second), qPrintable(where));
        }
    }
};

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
