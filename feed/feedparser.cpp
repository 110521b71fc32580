#include "feedparser.h"

#include "htmltext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace feed {

namespace {

const QString kAtomNs = QStringLiteral("http://www.w3.org/2005/Atom");
const QString kDcNs = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kContentNs = QStringLiteral("http://purl.org/rss/1.0/modules/content/");
// RSS 1.0 and 0.90: their items stand beside the channel under rdf:RDF.
const QString kRss10Ns = QStringLiteral("http://purl.org/rss/1.0/");
const QString kRss090Ns = QStringLiteral("http://my.netscape.com/rdf/simple/0.9/");
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
QString advertisedFeed(const QString& page, const QUrl& base) {
    static const QRegularExpression linkTag(QStringLiteral("<link\\b[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression type(
        QStringLiteral("type\\s*=\\s*[\"']?application/(rss|atom|feed)\\+(xml|json)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression href(QStringLiteral("href\\s*=\\s*(\"([^\"]*)\"|'([^']*)')"),
                                         QRegularExpression::CaseInsensitiveOption);
    auto it = linkTag.globalMatch(QStringView(page).left(256 * 1024));
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

ParseResult webPage(const QString& bytes, const QUrl& base) {
    const QString feedUrl = advertisedFeed(bytes, base);
    if (!feedUrl.isEmpty())
        return failure(QStringLiteral("The address gives a web page, not a feed. The page names "
                                      "its feed at %1; import from that address.")
                           .arg(feedUrl));
    return failure(QStringLiteral("The address gives a web page, not a feed. ") + kAskFeed);
}

// Whether the first markup is an HTML document type or an <html> element; a declaration,
// processing instructions and comments before it are passed over.
bool looksLikeHtml(const QString& bytes) {
    const QString head = bytes.left(4096).toLower();
    qsizetype i = 0;
    while (true) {
        i = head.indexOf('<', i);
        if (i < 0)
            return false;
        if (head.mid(i, 2) == u"<?") {
            i = head.indexOf(QStringLiteral("?>"), i);
        } else if (head.mid(i, 4) == u"<!--") {
            i = head.indexOf(QStringLiteral("-->"), i);
        } else {
            return head.mid(i, 14) == u"<!doctype html" || head.mid(i, 5) == u"<html";
        }
        if (i < 0)
            return false;
    }
}

// The HTML entities a feed uses without declaring them (&eacute;, &nbsp; ...) are read as HTML
// reads them; any other undeclared entity stays an error. The replacement text is parsed again,
// so it is given as character references.
class HtmlEntityResolver : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override {
        QString out;
        for (const char32_t c : htmltext::namedEntity(name).toUcs4())
            out += QStringLiteral("&#%1;").arg(uint(c));
        return out;
    }
};

// A text construct as read: HTML (to be reduced) or plain text.
struct Text {
    QString value;
    bool html = false;
    QString plain() const {
        return html ? htmltext::toPlainText(value) : htmltext::collapseSpace(value);
    }
};

// An RSS title is HTML when it holds a closing tag or a character reference that is left
// after the XML was read ("Tom &amp;amp; Jerry", "&lt;b&gt;x&lt;/b&gt;"), as readers take it;
// "Use <div>" and "AT&T" stay text.
Text rssTitle(const QString& title) {
    static const QRegularExpression html(QStringLiteral(
        "</[A-Za-z][A-Za-z0-9]*\\s*>|&(#[0-9]+|#[xX][0-9A-Fa-f]+|[A-Za-z][A-Za-z0-9]*);"));
    Text t;
    t.value = title;
    t.html = html.match(title).hasMatch();
    return t;
}

class XmlFeed {
public:
    XmlFeed(const QString& text, const QUrl& base) : r(text) {
        r.setNamespaceProcessing(true);
        r.setEntityResolver(&entities);
        bases << base;
    }

    ParseResult read(const QString& text) {
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
            // Only the elements of the feed's own vocabulary fill an entry's fields.
            ownNs = {r.namespaceUri().toString()};
            if (root == u"rss") {
                result.feed.format = Format::Rss;
                readRss(result.feed);
            } else if (root == u"RDF") {
                result.feed.format = Format::Rdf;
                ownNs = {kRss10Ns, kRss090Ns, QString()};
                readChannel(result.feed);
            } else if (root == u"feed") {
                result.feed.format = Format::Atom;
                atom03 = r.namespaceUri() != kAtomNs;
                readAtom(result.feed);
            } else if (root.compare(QStringLiteral("html"), Qt::CaseInsensitive) == 0) {
                return webPage(text, bases.first());
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
            if (looksLikeHtml(text))
                return webPage(text, bases.first());
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
    // The base of the element being read: its xml:base against its parent's.
    QUrl baseHere() const {
        const QString xmlBase = r.attributes().value(QStringLiteral("xml:base")).toString();
        if (xmlBase.trimmed().isEmpty())
            return bases.last();
        const QUrl u(xmlBase.trimmed(), QUrl::TolerantMode);
        return u.isRelative() && bases.last().isValid() ? bases.last().resolved(u) : u;
    }

    // While an element with children is read, its base is the one its children resolve against.
    struct BaseScope {
        explicit BaseScope(XmlFeed* f) : f(f) { f->bases << f->baseHere(); }
        ~BaseScope() { f->bases.removeLast(); }
        XmlFeed* f;
    };

    bool own() const { return ownNs.contains(r.namespaceUri().toString()); }
    QString text() { return r.readElementText(QXmlStreamReader::IncludeChildElements); }
    QString linkHere() {
        const QUrl base = baseHere();
        return resolve(base, text());
    }

    // The element's content as HTML: its child elements written out again.
    QString markup() {
        QString out;
        int depth = 0;
        while (!r.atEnd()) {
            switch (r.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                out += u'<' + r.name().toString();
                for (const QXmlStreamAttribute& a : r.attributes())
                    out += u' ' + a.name().toString() + QStringLiteral("=\"") +
                           htmltext::escape(a.value().toString()) + u'"';
                out += u'>';
                break;
            case QXmlStreamReader::EndElement:
                if (depth-- == 0)
                    return out;
                out += QStringLiteral("</") + r.name().toString() + u'>';
                break;
            case QXmlStreamReader::Characters:
            case QXmlStreamReader::EntityReference:
                out += htmltext::escape(r.text().toString());
                break;
            default:
                break;
            }
        }
        return out;
    }

    // An Atom text construct: type text, html or xhtml (and 0.3's text/plain, text/html and
    // application/xhtml+xml, with its mode xml, escaped or base64).
    Text textConstruct() {
        const QString type =
            r.attributes().value(QStringLiteral("type")).toString().trimmed().toLower();
        const QString mode =
            r.attributes().value(QStringLiteral("mode")).toString().trimmed().toLower();
        Text t;
        // A picture or another file sent as content is no text to show.
        if (type.contains(u'/') && !type.startsWith(u"text/") && !type.endsWith(u"xml")) {
            r.skipCurrentElement();
            return t;
        }
        const bool xhtml = type == u"xhtml" || type == u"application/xhtml+xml";
        t.html = xhtml || type == u"html" || type == u"text/html";
        if (atom03 && mode == u"base64")
            t.value = QString::fromUtf8(QByteArray::fromBase64(text().toLatin1()));
        else if (xhtml || (atom03 && t.html && mode != u"escaped"))
            t.value = markup();
        else
            t.value = text();
        return t;
    }

    void readRss(Feed& feed) {
        BaseScope scope(this);
        while (r.readNextStartElement()) {
            if (r.name() == u"channel" && own())
                readChannel(feed);
            else
                r.skipCurrentElement();
        }
    }

    // An RSS 2.0 channel, or the root of RSS 1.0 and 0.90, where items stand beside the channel.
    void readChannel(Feed& feed) {
        BaseScope scope(this);
        sawChannel = true;
        while (r.readNextStartElement()) {
            if (!own())
                r.skipCurrentElement();
            else if (r.name() == u"title" && feed.title.isEmpty())
                feed.title = rssTitle(text()).plain();
            else if (r.name() == u"item")
                addEntry(feed, readRssItem());
            else if (r.name() == u"channel")
                readChannel(feed);
            else
                r.skipCurrentElement();
        }
    }

    static void fill(QString& field, const QString& value) {
        if (field.trimmed().isEmpty())
            field = value;
    }

    Entry readRssItem() {
        BaseScope scope(this);
        Entry e;
        // Extension elements fill only what the item's own elements leave empty.
        QString guid, summary, dcTitle, dcSummary, encoded, atomLink;
        QDateTime dcDate;
        while (r.readNextStartElement()) {
            const QStringView name = r.name();
            const QStringView ns = r.namespaceUri();
            if (own() && name == u"title") {
                fill(e.title, text());
            } else if (own() && name == u"link") {
                fill(e.link, linkHere());
            } else if (own() && name == u"description") {
                fill(summary, text());
            } else if (own() && name == u"pubDate") {
                if (!e.date.isValid())
                    e.date = parseDate(text());
            } else if (own() && name == u"guid") {
                const bool permalink =
                    r.attributes().value(QStringLiteral("isPermaLink")) != u"false";
                const QString g = linkHere();
                if (permalink)
                    fill(guid, g);
            } else if (ns == kDcNs && name == u"title") {
                fill(dcTitle, text());
            } else if (ns == kDcNs && name == u"description") {
                fill(dcSummary, text());
            } else if (ns == kDcNs && name == u"date") {
                if (!dcDate.isValid())
                    dcDate = parseDate(text());
            } else if (ns == kContentNs && name == u"encoded") {
                fill(encoded, text());
            } else if (ns == kAtomNs && name == u"link") {
                const QString rel = r.attributes().value(QStringLiteral("rel")).toString();
                const QString href = r.attributes().value(QStringLiteral("href")).toString();
                if (rel.isEmpty() || rel == u"alternate")
                    fill(atomLink, resolve(baseHere(), href));
                r.skipCurrentElement();
            } else {
                r.skipCurrentElement();
            }
        }
        fill(e.title, dcTitle);
        // RSS does not say whether a title is text or HTML; publishers escape it once more.
        const Text title = rssTitle(e.title);
        e.titleIsHtml = title.html;
        fill(e.link, atomLink);
        fill(e.link, guid);
        fill(summary, encoded);
        fill(summary, dcSummary);
        e.summary = htmltext::toPlainText(summary);
        if (!e.date.isValid())
            e.date = dcDate;
        return e;
    }

    void readAtom(Feed& feed) {
        BaseScope scope(this);
        sawChannel = true;
        while (r.readNextStartElement()) {
            if (own() && r.name() == u"title")
                feed.title = textConstruct().plain();
            else if (own() && r.name() == u"entry")
                addEntry(feed, readAtomEntry());
            else
                r.skipCurrentElement();
        }
    }

    Entry readAtomEntry() {
        BaseScope scope(this);
        Entry e;
        QString alternate, anyLink, summary, content, dcTitle;
        QDateTime updated, extDate;
        while (r.readNextStartElement()) {
            const QStringView name = r.name();
            if (own() && name == u"title") {
                const Text t = textConstruct();
                if (e.title.trimmed().isEmpty()) {
                    e.titleIsHtml = t.html;
                    e.title = t.html ? t.value : htmltext::collapseSpace(t.value);
                }
            } else if (own() && name == u"link") {
                const QString rel = r.attributes().value(QStringLiteral("rel")).toString();
                const QString href =
                    resolve(baseHere(), r.attributes().value(QStringLiteral("href")).toString());
                if (rel.isEmpty() || rel == u"alternate")
                    fill(alternate, href);
                fill(anyLink, href);
                r.skipCurrentElement();
            } else if (own() && name == u"summary") {
                fill(summary, textConstruct().plain());
            } else if (own() && name == u"content") {
                fill(content, textConstruct().plain());
            } else if (own() && (name == u"published" || name == u"issued")) {
                if (!e.date.isValid())
                    e.date = parseDate(text());
            } else if (own() && (name == u"updated" || name == u"modified" || name == u"created")) {
                if (!updated.isValid())
                    updated = parseDate(text());
            } else if (r.namespaceUri() == kDcNs && name == u"title") {
                fill(dcTitle, text());
            } else if (r.namespaceUri() == kDcNs && name == u"date") {
                if (!extDate.isValid())
                    extDate = parseDate(text());
            } else {
                r.skipCurrentElement();
            }
        }
        if (e.title.trimmed().isEmpty()) {
            e.title = htmltext::collapseSpace(dcTitle);
            e.titleIsHtml = false;
        }
        e.link = alternate.isEmpty() ? anyLink : alternate;
        e.summary = summary.isEmpty() ? content : summary;
        if (!e.date.isValid())
            e.date = updated.isValid() ? updated : extDate;
        return e;
    }

    QXmlStreamReader r;
    HtmlEntityResolver entities;
    QList<QUrl> bases; // the document's address, then one per element being read
    QStringList ownNs;
    bool atom03 = false;
    bool sawChannel = false;
};

QStringDecoder decoderFor(QString name) {
    name = name.trimmed().toLower();
    // As browsers read them: these labels mean Windows-1252.
    if (name == u"iso-8859-1" || name == u"latin1" || name == u"us-ascii" || name == u"ascii")
        name = QStringLiteral("windows-1252");
    return QStringDecoder(name.toLatin1().constData(), QStringDecoder::Flag::Stateless);
}

// The encoding in <?xml ... encoding="..."?>, read as ASCII.
QString declaredEncoding(const QByteArray& bytes) {
    static const QRegularExpression decl(
        QStringLiteral("^\\s*<\\?xml[^>]*?\\bencoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    return decl.match(QString::fromLatin1(bytes.left(1024))).captured(1);
}

// The text of an answer: a byte-order mark decides, then the charset an XML media type is
// served with, then the XML declaration; UTF-8 otherwise, or Windows-1252 where that is not
// valid UTF-8.
QString decodeXml(const QByteArray& bytes, const QString& contentType) {
    if (const auto bom = QStringConverter::encodingForData(bytes, u'<')) {
        QStringDecoder d(*bom, QStringDecoder::Flag::ConvertInitialBom);
        QString t = d(bytes);
        if (t.startsWith(QChar(0xFEFF)))
            t.remove(0, 1);
        return t;
    }
    const QString mediaType = contentType.section(u';', 0, 0).trimmed().toLower();
    if (mediaType == u"text/xml" || mediaType == u"application/xml" ||
        mediaType.endsWith(u"+xml")) {
        static const QRegularExpression charset(
            QStringLiteral(";\\s*charset\\s*=\\s*\"?([^\";\\s]+)"),
            QRegularExpression::CaseInsensitiveOption);
        QStringDecoder d = decoderFor(charset.match(contentType).captured(1));
        if (d.isValid())
            return d(bytes);
    }
    const QString declared = declaredEncoding(bytes).toLower();
    // A 16- or 32-bit encoding declared in text that reads as ASCII is a mistake of the publisher.
    if (!declared.isEmpty() && !declared.startsWith(u"utf-16") && !declared.startsWith(u"utf-32") &&
        declared != u"utf-8" && declared != u"utf8") {
        QStringDecoder d = decoderFor(declared);
        if (d.isValid())
            return d(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString t = utf8(bytes);
    if (!utf8.hasError())
        return t;
    return decoderFor(QStringLiteral("windows-1252"))(bytes);
}

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

ParseResult parse(const QByteArray& bytes, const QUrl& base, const QString& contentType) {
    const QString text = decodeXml(bytes, contentType);
    // Leading white space is common in the wild and harmless.
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    const QString body = text.mid(start);
    if (body.isEmpty())
        return failure(QStringLiteral("The answer is empty, not a feed. ") + kAskFeed);
    const QChar first = body.at(0);
    if (first == u'{' || first == u'[')
        return parseJson(body.toUtf8(), base);
    if (first != u'<')
        return failure(QStringLiteral("The answer is neither XML nor JSON, so it is no feed. ") +
                       kAskFeed);
    if (looksLikeHtml(body))
        return webPage(body, base);
    XmlFeed reader(body, base);
    return reader.read(body);
}

} // namespace feed
