// libFuzzer target: the feed reader must take any answer without a crash, a hang or a leak, and
// the items it makes must be safe in the script: one line each, every quote escaped, no other
// backslash, and a script of them reads back to the same items.
#include "feeditems.h"
#include "feedparser.h"
#include "scriptreader.h"
#include "scriptwriter.h"

#include <cstdlib>
#include <iterator>

namespace {

bool scriptSafe(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\r' || c == u'\n' || c == QChar(0x2028) || c == QChar(0x2029))
            return false;
        if (c == u'\\' && (i + 1 >= s.size() || s[i + 1] != u'\''))
            return false;
        if (c == u'\'' && (i == 0 || s[i - 1] != u'\\'))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // The first byte chooses the options.
    feed::ItemOptions options;
    options.titleMarkup = data[0] & 1;
    options.summaryLength = (data[0] >> 1) & 0x1F;
    options.nameLength = 1 + (data[0] >> 6) * 10;
    // The second chooses what the server said the answer is.
    static const char* const types[] = {"",
                                        "text/xml; charset=windows-1252",
                                        "application/xml; charset=\"UTF-16\"",
                                        "application/atom+xml; charset=koi8-r",
                                        "text/html; charset=utf-8",
                                        "text/xml; charset=no-such-thing",
                                        "application/rss+xml",
                                        "text/xml; charset=utf-32"};
    const QString contentType = QLatin1String(types[data[1] % std::size(types)]);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2),
                           static_cast<qsizetype>(size - 2));
    const feed::ParseResult r =
        feed::parse(bytes, QUrl(QStringLiteral("https://fuzz.example/dir/feed")), contentType);
    if (!r.ok)
        return 0;
    ScrollerDocument doc;
    doc.scroller.sName = QStringLiteral("f");
    doc.items = feed::makeItems(r.feed.entries, options);
    for (const clsItem& item : doc.items)
        if (!scriptSafe(item.sText) || !scriptSafe(item.sName))
            std::abort();
    ScrollerDocument back;
    scriptreader::LoadScrollerBytes(scriptwriter::BuildScript(doc).toUtf8(), back);
    if (back.items != doc.items)
        std::abort();
    return 0;
}
