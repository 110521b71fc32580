#include "feeditems.h"

#include "htmltext.h"
#include "modstring.h"

#include <QUrl>

namespace feed {

namespace {

const QString kUntitled = QStringLiteral("(untitled)");

// The title as plain text, for the name and for a text title.
QString plainTitle(const Entry& e) {
    return e.titleIsHtml ? htmltext::toPlainText(e.title) : htmltext::collapseSpace(e.title);
}

} // namespace

QString hrefFor(const QString& link) {
    const QUrl url(link.trimmed(), QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return {};
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https")
        return {};
    QString s = QString::fromLatin1(url.toEncoded(QUrl::FullyEncoded));
    // Left alone by the encoder, but not by the script and the attribute.
    s.replace(u'\'', QStringLiteral("%27"));
    s.replace(u'&', QStringLiteral("&amp;"));
    return s;
}

QString scriptText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("&#92;");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar(0x2028) ||
                 c == QChar(0x2029))
            out += u' ';
        else
            out += c;
    }
    // No backslash is left, so every quote is a bare one and gets its escape.
    return modString::EscapeQuotes(out);
}

clsItem makeItem(const Entry& entry, const ItemOptions& options) {
    QString plain = plainTitle(entry);
    const QString summary = htmltext::collapseSpace(entry.summary);
    if (plain.isEmpty())
        plain = htmltext::cut(summary, 80);
    if (plain.isEmpty())
        plain = kUntitled;

    QString title;
    if (options.titleMarkup && !entry.title.isEmpty())
        title = htmltext::toSafeInline(entry.title);
    if (title.isEmpty())
        title = htmltext::escape(plain);

    QString text;
    const QString href = hrefFor(entry.link);
    if (href.isEmpty())
        text = title;
    else
        text = QStringLiteral("<a href=\"") + href + QStringLiteral("\">") + title +
               QStringLiteral("</a>");
    const QString shortSummary = htmltext::cut(summary, options.summaryLength);
    if (!shortSummary.isEmpty())
        text += u' ' + htmltext::escape(shortSummary);

    clsItem item;
    item.sText = scriptText(text);
    item.sName = scriptText(htmltext::cut(plain, std::max(1, options.nameLength)));
    return item;
}

QList<clsItem> makeItems(const QList<Entry>& entries, const ItemOptions& options, int max) {
    QList<clsItem> items;
    for (const Entry& e : entries) {
        if (max > 0 && items.size() >= max)
            break;
        if (e.title.trimmed().isEmpty() && e.summary.trimmed().isEmpty() &&
            hrefFor(e.link).isEmpty())
            continue;
        items << makeItem(e, options);
    }
    return items;
}

} // namespace feed
