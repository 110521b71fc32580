#include "feedparser.h"

#include "htmltext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace feed {

namespace {

const QString kAtomNs = QStringLiteral("http://www.w3.org/2005/Atom");
const QString kAskFeed =
    QStringLiteral("Give the address of an RSS, Atom or JSON feed; a site names its feed in "
                   "its pages or under a \"feed\" or \"RSS\" link.");

// Entries with neither title, summary nor link have nothing to show.
bool hasContent(const Entry& e) {
    return !e.title.trimmed().isEmpty() || !e.summary.isEmpty() || !e.link.isEmpty();
}

void addEntry(Feed& feed, const Entry& e) {
    if (hasContent(e))
        feed.entries << e;
}

ParseResult failure(const QString& error) {
    ParseResult r;
    r.error = error;
    return r;
}

QString resolve(const QUrl& base, const QString& link) {
    const QString t = link.trimmed();
    if (t.isEmpty())
        return {};
    const QUrl u(t, QUrl::TolerantMode);
    if (!u.isValid())
        return {};
    return (u.isRelative() && base.isValid() ? base.resolved(u) : u).toString();
}

// The feed a web page names in <link rel="alternate" type="application/rss+xml" href="...">.
QString advertisedFeed(const QByteArray& page, const QUrl& base) {
    static const QRegularExpression linkTag(QStringLiteral("<link\\b[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression type(
        QStringLiteral("type\\s*=\\s*[\"']?application/(rss|atom|feed)\\+(xml|json)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression href(QStringLiteral("href\\s*=\\s*(\"([^\"]*)\"|'([^']*)')"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromUtf8(page.left(256 * 1024));
    auto it = linkTag.globalMatch(text);
    while (it.hasNext()) {
        const QString tag = it.next().captured(0);
        if (!tag.contains(type))
            continue;
        const QRegularExpressionMatch m = href.match(tag);
        if (!m.hasMatch())
            continue;
        const QString h = m.captured(2).isEmpty() ? m.captured(3) : m.captured(2);
        QString decoded = h;
        decoded.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        const QString url = resolve(base, decoded);
        if (!url.isEmpty())
            return url;
    }
    return {};
}

ParseResult webPage(const QByteArray& bytes, const QUrl& base) {
    const QString feedUrl = advertisedFeed(bytes, base);
    if (!feedUrl.isEmpty())
        return failure(QStringLiteral("The address gives a web page, not a feed. The page names "
                                      "its feed at %1; import from that address.")
                           .arg(feedUrl));
    return failure(QStringLiteral("The address gives a web page, not a feed. ") + kAskFeed);
}

// Whether the first markup is an HTML document type or an <html> element; a declaration,
// processing instructions and comments before it are passed over.
bool looksLikeHtml(const QByteArray& bytes) {
    const QByteArray head = bytes.left(4096).toLower();
    qsizetype i = 0;
    while (true) {
        i = head.indexOf('<', i);
        if (i < 0)
            return false;
        if (head.mid(i, 2) == "<?") {
            i = head.indexOf("?>", i);
        } else if (head.mid(i, 4) == "<!--") {
            i = head.indexOf("-->", i);
        } else {
            return head.mid(i, 14) == "<!doctype html" || head.mid(i, 5) == "<html";
        }
        if (i < 0)
            return false;
    }
}

class XmlFeed {
public:
    XmlFeed(const QByteArray& bytes, const QUrl& base) : r(bytes), base(base) {
        r.setNamespaceProcessing(true);
    }

    ParseResult read(const QByteArray& bytes) {
        ParseResult result;
        while (!r.atEnd()) {
            r.readNext();
            if (r.tokenType() == QXmlStreamReader::DTD) {
                if (!r.entityDeclarations().isEmpty() ||
                    r.text().contains(QStringLiteral("<!ENTITY"), Qt::CaseInsensitive))
                    return failure(QStringLiteral(
                        "The feed declares entities of its own, which can make a small file "
                        "expand without end, so it is refused. Ask the feed's publisher for a "
                        "feed without a document type declaration."));
                continue;
            }
            if (!r.isStartElement())
                continue;
            const QString root = r.name().toString();
            if (root == u"rss") {
                result.feed.format = Format::Rss;
                readRss(result.feed);
            } else if (root == u"RDF") {
                result.feed.format = Format::Rdf;
                readChannel(result.feed);
            } else if (root == u"feed") {
                result.feed.format = Format::Atom;
                readAtom(result.feed);
            } else if (root.compare(QStringLiteral("html"), Qt::CaseInsensitive) == 0) {
                return webPage(bytes, base);
            } else {
                return failure(QStringLiteral("The answer is XML, but not a feed: its root "
                                              "element is <%1>. ")
                                   .arg(root) +
                               kAskFeed);
            }
            break;
        }
        // What follows the feed must be well-formed too: a cut-off answer is no feed.
        while (!r.atEnd())
            r.readNext();
        if (r.hasError()) {
            if (looksLikeHtml(bytes))
                return webPage(bytes, base);
            return failure(
                QStringLiteral("The feed is not well-formed XML: %1 (line %2, column %3). "
                               "Nothing was imported; ask the feed's publisher to repair it, "
                               "or try the site's other feed.")
                    .arg(r.errorString())
                    .arg(r.lineNumber())
                    .arg(r.columnNumber()));
        }
        if (result.feed.entries.isEmpty() && result.feed.title.isEmpty() && !sawChannel)
            return failure(QStringLiteral("The answer is XML, but holds no feed channel. ") +
                           kAskFeed);
        result.ok = true;
        return result;
    }

private:
    QString text() { return r.readElementText(QXmlStreamReader::IncludeChildElements); }

    void readRss(Feed& feed) {
        while (r.readNextStartElement()) {
            if (r.name() == u"channel")
                readChannel(feed);
            else
                r.skipCurrentElement();
        }
    }

    // An RSS 2.0 channel, or the root of RSS 1.0, where items stand beside the channel.
    void readChannel(Feed& feed) {
        sawChannel = true;
        while (r.readNextStartElement()) {
            if (r.name() == u"title" && feed.title.isEmpty())
                feed.title = htmltext::collapseSpace(text());
            else if (r.name() == u"item")
                addEntry(feed, readRssItem());
            else if (r.name() == u"channel")
                readChannel(feed);
            else
                r.skipCurrentElement();
        }
    }

    Entry readRssItem() {
        Entry e;
        QString guid;
        QString encoded;
        QDateTime dcDate;
        while (r.readNextStartElement()) {
            const QStringView name = r.name();
            if (name == u"title" && r.namespaceUri() != kAtomNs) {
                e.title = text();
            } else if (name == u"link" && r.namespaceUri() == kAtomNs) {
                const QString href = r.attributes().value(QStringLiteral("href")).toString();
                if (e.link.isEmpty())
                    e.link = resolve(base, href);
                r.skipCurrentElement();
            } else if (name == u"link") {
                e.link = resolve(base, text());
            } else if (name == u"description") {
                e.summary = htmltext::toPlainText(text());
            } else if (name == u"encoded") {
                encoded = text();
            } else if (name == u"pubDate") {
                e.date = parseDate(text());
            } else if (name == u"date") {
                dcDate = parseDate(text());
            } else if (name == u"guid") {
                const bool permalink =
                    r.attributes().value(QStringLiteral("isPermaLink")) != u"false";
                const QString g = text();
                if (permalink)
                    guid = g;
            } else {
                r.skipCurrentElement();
            }
        }
        if (e.link.isEmpty() && !guid.isEmpty())
            e.link = resolve(base, guid);
        if (e.summary.isEmpty() && !encoded.isEmpty())
            e.summary = htmltext::toPlainText(encoded);
        if (!e.date.isValid())
            e.date = dcDate;
        return e;
    }

    void readAtom(Feed& feed) {
        sawChannel = true;
        while (r.readNextStartElement()) {
            if (r.name() == u"title")
                feed.title = atomText().first;
            else if (r.name() == u"entry")
                addEntry(feed, readAtomEntry());
            else
                r.skipCurrentElement();
        }
    }

    // An Atom text construct as plain text, or as HTML when it is of type html.
    std::pair<QString, bool> atomText() {
        const QString type = r.attributes().value(QStringLiteral("type")).toString();
        const QString t = text();
        if (type == u"html")
            return {t, true};
        return {htmltext::collapseSpace(t), false};
    }

    Entry readAtomEntry() {
        Entry e;
        QString alternate;
        QString anyLink;
        QString content;
        QDateTime updated;
        while (r.readNextStartElement()) {
            const QStringView name = r.name();
            if (name == u"title") {
                const auto [t, html] = atomText();
                e.title = t;
                e.titleIsHtml = html;
            } else if (name == u"link") {
                const QString rel = r.attributes().value(QStringLiteral("rel")).toString();
                const QString href =
                    resolve(base, r.attributes().value(QStringLiteral("href")).toString());
                if ((rel.isEmpty() || rel == u"alternate") && alternate.isEmpty())
                    alternate = href;
                if (anyLink.isEmpty())
                    anyLink = href;
                r.skipCurrentElement();
            } else if (name == u"summary") {
                const auto [t, html] = atomText();
                e.summary = html ? htmltext::toPlainText(t) : t;
            } else if (name == u"content") {
                const auto [t, html] = atomText();
                content = html ? htmltext::toPlainText(t) : t;
            } else if (name == u"published") {
                e.date = parseDate(text());
            } else if (name == u"updated") {
                updated = parseDate(text());
            } else {
                r.skipCurrentElement();
            }
        }
        e.link = alternate.isEmpty() ? anyLink : alternate;
        if (e.summary.isEmpty())
            e.summary = content;
        if (!e.date.isValid())
            e.date = updated;
        return e;
    }

    QXmlStreamReader r;
    QUrl base;
    bool sawChannel = false;
};

ParseResult parseJson(const QByteArray& bytes, const QUrl& base) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return failure(QStringLiteral("The answer is not valid JSON: %1 (at byte %2). Nothing "
                                      "was imported; ask the feed's publisher to repair it.")
                           .arg(error.errorString())
                           .arg(error.offset));
    const QJsonObject o = doc.object();
    if (!doc.isObject() ||
        !o.value(QStringLiteral("version")).toString().contains(u"jsonfeed.org/version/"))
        return failure(QStringLiteral("The answer is JSON, but not a JSON Feed (it has no "
                                      "\"version\" of https://jsonfeed.org/version/1.1). ") +
                       kAskFeed);
    if (!o.value(QStringLiteral("items")).isArray())
        return failure(QStringLiteral("The JSON Feed has no list of \"items\". Ask the feed's "
                                      "publisher to repair it."));
    ParseResult result;
    result.feed.format = Format::Json;
    result.feed.title = htmltext::collapseSpace(o.value(QStringLiteral("title")).toString());
    const QJsonArray items = o.value(QStringLiteral("items")).toArray();
    for (const QJsonValue& v : items) {
        const QJsonObject i = v.toObject();
        const auto str = [&](const char* key) { return i.value(QLatin1String(key)).toString(); };
        Entry e;
        e.title = str("title");
        QString url = str("url");
        if (url.isEmpty())
            url = str("external_url");
        e.link = resolve(base, url);
        e.summary = htmltext::collapseSpace(str("summary"));
        if (e.summary.isEmpty())
            e.summary = htmltext::collapseSpace(str("content_text"));
        if (e.summary.isEmpty())
            e.summary = htmltext::toPlainText(str("content_html"));
        e.date = parseDate(str("date_published"));
        if (!e.date.isValid())
            e.date = parseDate(str("date_modified"));
        addEntry(result.feed, e);
    }
    result.ok = true;
    return result;
}

} // namespace

QDateTime parseDate(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    QDateTime d = QDateTime::fromString(t, Qt::ISODateWithMs);
    if (d.isValid())
        return d;
    d = QDateTime::fromString(t, Qt::RFC2822Date);
    if (d.isValid())
        return d;
    // RFC 822 zone names that RFC 2822 parsing does not take.
    static const struct {
        const char* name;
        const char* offset;
    } zones[] = {{"GMT", "+0000"}, {"UT", "+0000"},  {"UTC", "+0000"}, {"Z", "+0000"},
                 {"EST", "-0500"}, {"EDT", "-0400"}, {"CST", "-0600"}, {"CDT", "-0500"},
                 {"MST", "-0700"}, {"MDT", "-0600"}, {"PST", "-0800"}, {"PDT", "-0700"}};
    for (const auto& z : zones) {
        const QString suffix = u' ' + QLatin1String(z.name);
        if (t.endsWith(suffix, Qt::CaseInsensitive)) {
            d = QDateTime::fromString(
                t.left(t.size() - suffix.size()) + u' ' + QLatin1String(z.offset), Qt::RFC2822Date);
            return d;
        }
    }
    return {};
}

ParseResult parse(const QByteArray& bytes, const QUrl& base) {
    // Leading white space and a byte-order mark are common in the wild and harmless.
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size() && QChar::isSpace(uchar(bytes[start])))
        ++start;
    const QByteArray body = bytes.mid(start);
    if (body.isEmpty())
        return failure(QStringLiteral("The answer is empty, not a feed. ") + kAskFeed);
    const char first = body.at(0);
    if (first == '{' || first == '[')
        return parseJson(body, base);
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (first != '<' && !utf16)
        return failure(QStringLiteral("The answer is neither XML nor JSON, so it is no feed. ") +
                       kAskFeed);
    if (!utf16 && looksLikeHtml(body))
        return webPage(body, base);
    XmlFeed reader(utf16 ? bytes : body, base);
    return reader.read(utf16 ? bytes : body);
}

} // namespace feed
