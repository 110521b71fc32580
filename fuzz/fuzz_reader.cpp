// libFuzzer target: the script reader must take any bytes without a crash, a hang or a leak,
// and count as read exactly the items it returns. Whatever it reads must build a whole script,
// and when the document passes the editor's checks, the script must read back to the document
// as written, write the same bytes again, and hold item lines that a browser reads as nothing
// but the item's three strings.
#include "documentcheck.h"
#include "jsline.h"
#include "scriptreader.h"
#include "scriptwriter.h"

#include <cstdlib>

namespace {

void require(bool ok) {
    if (!ok)
        std::abort();
}

void checkRoundTrip(const ScrollerDocument& doc) {
    const ScrollerDocument expected = scriptwriter::asWritten(doc);
    TextEncoding used;
    const QString script = scriptwriter::BuildScript(doc) + QStringLiteral("\r\n");
    const QByteArray bytes = textencoding::encode(script, doc.encoding, &used);
    ScrollerDocument back;
    const scriptreader::LoadResult r = scriptreader::LoadScrollerBytes(bytes, back);
    require(r.ok);
    require(back.scroller == expected.scroller);
    require(back.items == expected.items);
    TextEncoding again;
    require(textencoding::encode(scriptwriter::BuildScript(back) + QStringLiteral("\r\n"),
                                 back.encoding, &again) == bytes);

    const QString& n = doc.scroller.sName;
    qsizetype at = 0;
    for (const clsItem& item : doc.items) {
        const qsizetype start = script.indexOf(n + QStringLiteral(".add("), at);
        require(start >= 0);
        const qsizetype end = script.indexOf(QStringLiteral("\r\n"), start);
        const std::optional<QStringList> args =
            jsline::addArguments(QStringView(script).mid(start, end - start), n);
        require(args.has_value());
        require(*args == QStringList({jsline::shownText(item.sText), jsline::shownText(item.sWidth),
                                      jsline::shownText(item.sName)}));
        at = end;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ScrollerDocument doc;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const scriptreader::LoadResult r = scriptreader::LoadScrollerBytes(bytes, doc);
    require(r.itemsRead == doc.items.size());
    // Building the script from anything read must end.
    const QString script = scriptwriter::BuildScript(doc);
    require(script.endsWith(QStringLiteral(".load();});")));
    // The rules alone, without their own read-back test, must be enough for what reading gives.
    if (documentcheck::ruleProblems(doc).isEmpty())
        checkRoundTrip(doc);
    return 0;
}
