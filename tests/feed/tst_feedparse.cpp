// Reading feeds from a server on 127.0.0.1 and from files: every way a read can go wrong ends in
// one clear message, and the read is capped in size and time. Parsing them as publishing systems
// write them, and turning their entries into items safe in the script and the page.
#include "eventwait.h"
#include "feedfetch.h"
#include "feeditems.h"
#include "feedparser.h"
#include "feedsamples.h"
#include "feedserver.h"
#include "feedsource.h"
#include "files.h"
#include "htmltext.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace feed;

namespace {

QList<clsItem> list(const QString& names) {
    QList<clsItem> out;
    for (const QString& n : names.split(u' ', Qt::SkipEmptyParts))
        out << clsItem{n, QStringLiteral("text of ") + n, {}};
    return out;
}

QString names(const QList<clsItem>& items) {
    QStringList out;
    for (const clsItem& i : items)
        out << i.sName;
    return out.join(u' ');
}

} // namespace

class tst_FeedParse : public QObject {
    Q_OBJECT
    FeedServer server;
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        QVERIFY(server.start());
        QVERIFY(dir.isValid());
        server.addSamples();
    }

    // A feed read from the server or from a file: the error of the read, or the first entry's
    // title after parsing.
    void answers_data() {
        const QString first = QStringLiteral("Grüße aus Köln – “Zitat” & mehr");
        QVERIFY(writeFile(dir.filePath("my fëed #1.xml"), feedsamples::kRss));
        QVERIFY(writeFile(dir.filePath("big.xml"), feedsamples::rssFeed(200)));
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("error"); // of the read; empty when it succeeds
        QTest::addColumn<QString>("firstTitle");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<int>("timeoutMs");
        const auto row = [](const char* tag, const QString& address, const QString& error,
                            const QString& firstTitle, qint64 maxBytes = Limits().maxBytes,
                            int timeoutMs = 5000) {
            QTest::newRow(tag) << address << error << firstTitle << maxBytes << timeoutMs;
        };
        row("moved for good", server.url("/gone-for-good"), "", first);
        row("moved for good, then for now", server.url("/gone"), "", first);
        row("deflated", server.url("/deflated"), "", first);
        row("charset from http", server.url("/latin"), "", "“Café”");
        row("404", server.url("/nothing"), "There is no feed at", "");
        row("500", server.url("/broken"), "with 500", "");
        row("redirect loop", server.url("/loop"), "redirects more than 5 times", "");
        row("time-out", server.url("/slow"), "did not arrive within 1 seconds", "",
            Limits().maxBytes, 300);
        row("200 MB declared", server.url("/huge"), "is larger than 8 MB", "");
        row("endless answer", server.url("/endless"), "is larger than 300 kB", "", 300 * 1024);
        row("file name with spaces, ü and #", dir.filePath("my fëed #1.xml"), "", first);
        row("missing file", dir.filePath("missing.xml"), "cannot be read", "");
        row("too big file", dir.filePath("big.xml"), "is larger than", "", 10000);
        row("folder", dir.path(), "is a folder", "");
    }

    void answers() {
        QFETCH(QString, address);
        QFETCH(QString, error);
        QFETCH(qint64, maxBytes);
        QFETCH(int, timeoutMs);
        QString why;
        const std::optional<QUrl> url = addressToUrl(address, &why);
        QVERIFY2(url, qPrintable(why));
        Limits limits;
        limits.timeoutMs = timeoutMs;
        limits.maxBytes = maxBytes;
        QElapsedTimer t;
        t.start();
        const FetchResult r = fetch(*url, limits);
        QVERIFY(t.elapsed() < timeoutMs + 3000);
        if (!error.isEmpty()) {
            QVERIFY(!r.ok);
            QVERIFY(!r.cancelled);
            QVERIFY2(r.error.contains(error), qPrintable(r.error));
            QVERIFY2(r.error.contains(address), qPrintable(r.error));
            QVERIFY(r.bytes.isEmpty());
            return;
        }
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.contentType.isEmpty(), url->isLocalFile()); // a file has no HTTP charset
        // The feed moved as far as permanent redirects lead, not further.
        const QString moved = address.endsWith(u"/gone-for-good") ? QStringLiteral("/tagged")
                              : address.endsWith(u"/gone")        ? QStringLiteral("/moved")
                                                                  : QString();
        QCOMPARE(r.movedTo.toString(), moved.isEmpty() ? moved : server.url(moved));
        const ParseResult p = parse(r.bytes, r.finalUrl, r.contentType);
        QVERIFY2(p.ok, qPrintable(p.error));
        QTEST(p.feed.entries.value(0).title, "firstTitle");
        // Relative links resolve against the address the feed came from, after redirects.
        if (address.endsWith(u"/gone"))
            QCOMPARE(p.feed.entries.value(1).link, server.url("/stories/2"));
    }

    void refusedConnection() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 port = closed.serverPort();
        closed.close();
        const FetchResult r = fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/feed").arg(port)));
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(QStringLiteral("refused the connection")), qPrintable(r.error));
    }

    // A second read with what the first gave is answered 304, and taken as nothing new.
    void conditional() {
        const QUrl url(server.url("/tagged"));
        const FetchResult first = fetch(url);
        QVERIFY2(first.ok && !first.notModified, qPrintable(first.error));
        QVERIFY(!server.lastHead.contains("If-None-Match"));
        QCOMPARE(first.etag, QStringLiteral("\"v1\""));
        const Validators validators{first.etag, first.lastModified};
        const FetchResult second = fetch(url, Limits(), validators);
        QVERIFY2(second.ok && second.notModified && second.bytes.isEmpty(),
                 qPrintable(second.error));
        QVERIFY(
            server.lastHead.contains("\r\nIf-Modified-Since: " + first.lastModified.toLatin1()));
        const FetchResult changed = fetch(url, Limits(), Validators{QStringLiteral("\"v0\""), {}});
        QVERIFY(changed.ok && !changed.notModified && changed.bytes == feedsamples::kRss);
        // A 304 to a request that asked nothing is no feed.
        server.routes["/stale"].status = 304;
        const FetchResult unasked = fetch(QUrl(server.url("/stale")));
        QVERIFY2(!unasked.ok && unasked.error.contains(QStringLiteral("304")),
                 qPrintable(unasked.error));
    }

    void cancel() {
        Fetcher f;
        QList<FetchResult> results;
        connect(&f, &Fetcher::finished, this, [&](const FetchResult& r) { results << r; });
        f.start(QUrl(server.url("/slow")));
        QVERIFY(f.isRunning());
        QTest::qWait(50);
        f.cancel();
        QVERIFY(!f.isRunning());
        QCOMPARE(results.size(), 1);
        QVERIFY(results[0].cancelled);
        QVERIFY(!results[0].ok);
        // A new read after a cancel works, and the cancelled one reports nothing more.
        f.start(QUrl(server.url("/rss")));
        TRY_VERIFY(results.size() == 2, 5000);
        QVERIFY(results[1].ok);
        QTest::qWait(50);
        QCOMPARE(results.size(), 2);
    }

    void addresses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url"); // empty: refused
        const auto row = [](const char* tag, const QString& text, const QString& url) {
            QTest::newRow(tag) << text << url;
        };
        row("https", " https://ex.example/feed ", "https://ex.example/feed");
        row("pasted over two lines", "https://ex.example/fe\r\ned\n", "https://ex.example/feed");
        row("feed scheme", "feed://ex.example/rss", "http://ex.example/rss");
        row("bare host", "ex.example/rss.xml", "http://ex.example/rss.xml");
        row("file url", "file:///tmp/a.xml", "file:///tmp/a.xml");
        row("javascript", "javascript:alert(1)", "");
        row("empty", "   ", "");
        // No dot in the first part: a missing relative file, not a host.
        row("host without a dot", "localhost/feed.xml", "");
    }

    void addresses() {
        QFETCH(QString, text);
        QFETCH(QString, url);
        QString why;
        const std::optional<QUrl> u = addressToUrl(text, &why);
        if (url.isEmpty()) {
            QVERIFY(!u);
            QVERIFY(why.contains(QStringLiteral("http://")));
            return;
        }
        QVERIFY2(u, qPrintable(why));
        QCOMPARE(u->toString(), url);
    }

    void sideFile() {
        const QString script = dir.filePath("news.js");
        QCOMPARE(sideFilePath(script), dir.filePath("news.feed.json"));
        QVERIFY(!readSource(script).source);
        QVERIFY(readSource(script).error.isEmpty());

        Source s;
        s.address = QStringLiteral("https://ex.example/feed?a=1&b='2'");
        s.maxEntries = 7;
        s.options.nameLength = 12;
        s.options.summaryLength = 40;
        s.options.titleMarkup = true;
        const clsItem item{"It\\'s ü", "<a href=\"x\">It\\'s ü</a>", ""};
        s.items << item << item;
        QCOMPARE(writeSource(script, s), QString());
        const SourceRead r = readSource(script);
        QVERIFY2(r.source, qPrintable(r.error));
        QCOMPARE(r.source->address, s.address);
        QCOMPARE(r.source->maxEntries, 7);
        QVERIFY(r.source->options == s.options);
        QCOMPARE(r.source->items, s.items);

        // A damaged side file is reported, not trusted.
        QVERIFY(writeFile(sideFilePath(script), "{\"tickoraFeed\": 1, \"address\": "));
        const SourceRead damaged = readSource(script);
        QVERIFY(!damaged.source);
        QVERIFY2(damaged.error.contains(QStringLiteral("cannot be read")),
                 qPrintable(damaged.error));

        QCOMPARE(removeSource(script), QString());
        QVERIFY(!QFile::exists(sideFilePath(script)));
        QCOMPARE(removeSource(script), QString()); // nothing to remove is no failure
        QVERIFY(!writeSource(dir.filePath("no/such/folder/x.js"), s).isEmpty());
    }

    void refreshPlan_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("result");
        const auto row = [](const char* tag, const QString& current, const QString& remembered,
                            const QString& fresh, const QString& result) {
            QTest::newRow(tag) << current << remembered << fresh << result;
        };
        row("feed items between own items", "a f1 f2 b", "f1 f2", "n1 n2 n3", "a n1 n2 n3 b");
        row("moved and partly edited", "f2 a f1 b", "f1 f2 f3", "n1", "n1 a b");
        row("none left: at the end", "a b", "f1", "n1 n2", "a b n1 n2");
        row("duplicates match once each", "f1 f1 f1", "f1 f1", "n1", "n1 f1");
        row("own item equal to a feed item stays when counted out", "f1 a f1", "f1", "n1",
            "n1 a f1");
    }

    void refreshPlan() {
        QFETCH(QString, current);
        QFETCH(QString, remembered);
        QFETCH(QString, fresh);
        QTEST(names(applyRefresh(list(current), list(remembered), list(fresh))), "result");
    }

    // Feeds as publishing systems write them: every entry as "title | link | summary | date" (an
    // HTML title read as its text, the date in UTC when there is one) and, where given, "format:
    // feed title"; answers that are no feed are refused.
    void feeds_data() {
        const auto wrap = [](const char* outer) {
            return [outer](const QString& inner) {
                return QString::fromUtf8(outer).arg(inner).toUtf8();
            };
        };
        const auto item = wrap("<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                               "xmlns:media=\"http://search.yahoo.com/mrss/\"><channel><title>C"
                               "</title><item>%1</item></channel></rss>");
        const auto entry03 =
            wrap("<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\"><title>A"
                 "</title><entry><link rel=\"alternate\" type=\"text/html\" "
                 "href=\"https://ex.example/e\"/>%1</entry></feed>");
        const auto entry =
            wrap("<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>A</title><entry>"
                 "%1</entry></feed>");
        const auto xhtml = [](const char* inner) {
            return QStringLiteral("<div xmlns=\"http://www.w3.org/1999/xhtml\">%1</div>")
                .arg(inner);
        };
        // Bytes that are not UTF-8 go in as they are, past the wrappers' UTF-8.
        const auto raw = [&](const QByteArray& bytes) {
            return item(QStringLiteral("@")).replace("@", bytes);
        };
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<QString>("entries"); // one line each
        // "format: title", unchecked when empty; of a refusal, part of its message.
        QTest::addColumn<QString>("feed");
        const auto row = [](const char* tag, const QByteArray& bytes, const QString& contentType,
                            const QString& entries, const QString& feed = {}) {
            QTest::newRow(tag) << bytes << contentType << entries << feed;
        };
        row("rss 2.0", feedsamples::kRss, "",
            "Grüße aus Köln – “Zitat” & mehr | https://news.example/köln?a=1&b=2 | First story "
            "& more | 2003-06-10T04:00:00Z\n"
            "It's \"quoted\" \\ and | https://feeds.example/stories/2 | Second one | "
            "2003-06-11T07:30:00Z\n"
            "日本語のニュース | https://news.example/3 |  | 2003-06-12T10:00:00Z",
            "rss: Köln News");
        row("atom", feedsamples::kAtom, "",
            "Café & Bar | https://atom.example/1 | Summary one & two | 2024-03-01T11:00:00Z\n"
            "L'été \"chaud\" | https://feeds.example/dir/entries/2 | Hot summer | "
            "2024-03-02T08:00:00Z\n"
            "Ελληνικά & more | javascript:alert(3) |  | 2024-03-03T08:00:00Z",
            "atom: Atom Café");
        row("json feed", feedsamples::kJson, "",
            "Ünïcode ‘quotes’ & \"double\" 'single' | https://json.example/1 | Short & sweet | "
            "2024-05-01T14:00:00Z\n"
            " | https://json.example/2 | No title, only content\n"
            "C:\\path\\ | https://json.example/3 | ",
            "json: JSON Ünïcode");
        row("entries with nothing to show left out",
            "{\"version\": \"https://jsonfeed.org/version/1\", \"items\": [{\"id\": \"1\"}, 7, "
            "{\"title\": \"T\"}, {\"title\": \"  \"}]}",
            "", "T |  | ", "json: ");
        row("empty channel", "<rss><channel><title>Quiet</title></channel></rss>", "", "",
            "rss: Quiet");
        // Only the item's own elements count; extensions fill what they leave empty.
        row("namespaces: extensions only fill what is missing",
            item("<x:link xmlns:x=\"urn:x\">https://ex.example/x</x:link><media:title>Media"
                 "</media:title><dc:title>DC</dc:title><title>Own</title><link>https://"
                 "ex.example/real</link><x:description xmlns:x=\"urn:x\">Other</x:description>"
                 "<content:encoded xmlns:content=\"http://purl.org/rss/1.0/modules/content/\">"
                 "&lt;p&gt;Full &lt;b&gt;text&lt;/b&gt;</content:encoded>"),
            "", "Own | https://ex.example/real | Full text");
        row("namespaces: dc title when the item has none",
            item("<dc:title>DC only</dc:title><description>D</description><pubDate>Wed, 11 Jun "
                 "2003 09:30:00 EST</pubDate>"),
            "", "DC only |  | D | 2003-06-11T14:30:00Z");
        row("namespaces: atom entry",
            entry("<x:link xmlns:x=\"urn:x\" href=\"https://ex.example/x\"/><media:title xmlns:"
                  "media=\"http://search.yahoo.com/mrss/\">M</media:title><title>Own</title><link "
                  "href=\"https://ex.example/own\"/><x:summary xmlns:x=\"urn:x\">X</x:summary>"),
            "", "Own | https://ex.example/own | ");
        row("encodings: http charset over the declaration",
            "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + item("<title>Café “x”</title>"),
            "application/rss+xml; charset=\"UTF-8\"", "Café “x” |  | ");
        row("encodings: the byte-order mark first",
            "\xEF\xBB\xBF\n\n  " + item("<title>Café</title>"), "text/xml; charset=windows-1252",
            "Café |  | ");
        row("encodings: declaration when html is served, latin-1 read as browsers do",
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + raw("<title>\x80 5</title>"),
            "text/html; charset=utf-8", "€ 5 |  | ");
        row("encodings: a file without any, not utf-8", raw("<title>na\xEFve</title>"), "",
            "naïve |  | ");
        row("atom 0.3: escaped html",
            entry03("<title type=\"text/html\" mode=\"escaped\">Tom &amp;amp; Jerry &lt;b&gt;live"
                    "&lt;/b&gt;</title><summary type=\"text/plain\">S &amp;amp; T</summary>"),
            "", "Tom & Jerry live | https://ex.example/e | S &amp; T", "atom: A");
        row("atom 0.3: base64",
            entry03("<title type=\"text/plain\" mode=\"base64\">Q2Fmw6kgJiBjbw==</title>"), "",
            "Café & co | https://ex.example/e | ");
        row("atom 0.3: inline xhtml",
            entry03("<title>T</title><content type=\"application/xhtml+xml\">" +
                    xhtml("Hi <b>there</b><script>x()</script>") + "</content>"),
            "", "T | https://ex.example/e | Hi there");
        row("atom 1.0: html and xhtml",
            entry("<title type=\"xhtml\">" +
                  xhtml("safe<script>location.href='x';</script> description") +
                  "</title><link href=\"e\"/><summary type=\"html\">&lt;i&gt;A&lt;/i&gt; &amp;amp; "
                  "B</summary>"),
            "", "safe description | https://feeds.example/dir/e | A & B");
        row("atom 1.0: a picture as content",
            entry("<title>P</title><content type=\"image/png\">iVBORw0KGgo=</content><updated>"
                  "2024-03-01T12:00:00.250Z</updated>"),
            "", "P |  |  | 2024-03-01T12:00:00Z");
        row("rss 0.90",
            "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://"
            "my.netscape.com/rdf/simple/0.9/\"><channel><title>N</title></channel><item><title>"
            "Ninety</title><link>https://ex.example/90</link><dc:title xmlns:dc=\"http://purl.org/"
            "dc/elements/1.1/\">X</dc:title></item></rdf:RDF>",
            "", "Ninety | https://ex.example/90 | ", "rdf: N");
        row("rss 0.91 with its doctype and html entities",
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><!DOCTYPE rss PUBLIC \"-//Netscape "
            "Communications//DTD RSS 0.91//EN\" \"http://my.netscape.com/publish/formats/rss-0.91"
            ".dtd\"><rss version=\"0.91\"><channel><title>N</title><item><title>Caf&eacute;&nbsp;"
            "&amp; more</title><link>https://ex.example/91</link><description>Se\xF1or"
            "</description></item></channel></rss>",
            "", "Café\u00A0& more | https://ex.example/91 | Señor");
        row("rss 0.92 in the userland namespace",
            "<rss version=\"0.92\" xmlns=\"http://backend.userland.com/rss2\"><channel><title>U"
            "</title><item><description>Only &lt;b&gt;text&lt;/b&gt;</description><link>https://"
            "ex.example/92</link></item></channel></rss>",
            "", " | https://ex.example/92 | Only text", "rss: U");
        row("entities: an rss title escaped once more",
            item("<title>Tom &amp;amp; Jerry&amp;#8217;s &lt;b&gt;show&lt;/b&gt;</title>"), "",
            "Tom & Jerry’s show |  | ");
        row("entities: an rss title that is text",
            item("<title>Use &lt;div&gt; at AT&amp;T</title><pubDate>yesterday</pubDate>"), "",
            "Use <div> at AT&T |  | ");
        row("xml:base: nested atom",
            "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:base=\"https://ex.example/blog/\">"
            "<entry xml:base=\"2024/\"><title>B</title><link xml:base=\"../\" rel=\"related\" "
            "href=\"post.html\"/></entry></feed>",
            "", "B | https://ex.example/blog/post.html | ");
        row("rss 1.0, xml:base relative to the document",
            "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://"
            "purl.org/rss/1.0/\" xml:base=\"sub/\"><channel rdf:about=\"https://rdf.example/\">"
            "<title>RDF</title></channel><item xml:base=\"x/\"><title>Één</title><link>a.html"
            "</link></item><item><title>Twee &amp; drie</title><link>https://rdf.example/2"
            "</link></item></rdf:RDF>",
            "",
            "Één | https://feeds.example/dir/sub/x/a.html | \n"
            "Twee & drie | https://rdf.example/2 | ",
            "rdf: RDF");
        // Answers that are no feed, each refused with what the user is to do.
        row("empty", " \r\n ", "", "", "The answer is empty");
        row("plain text", "Hello, world", "", "", "neither XML nor JSON");
        row("cut off", feedsamples::kRss.left(feedsamples::kRss.size() / 2), "", "",
            "not well-formed XML");
        row("undeclared entity, not html's",
            "<rss><channel><item><title>A&bogus;B</title></item></channel></rss>", "", "",
            "not well-formed XML");
        row("html page",
            "<!DOCTYPE html><html><head><title>Blog</title></head><body><p>Hi<br></body></html>",
            "", "", "a web page, not a feed. Give the address");
        row("html page naming its feed",
            "<html><head><link rel=\"alternate\" type=\"application/rss+xml\" href=\"/feed.xml?a="
            "1&amp;b=2\"></head><body></body></html>",
            "", "", "names its feed at https://feeds.example/feed.xml?a=1&b=2");
        row("html page, single quotes, from its first byte",
            "<html lang=en><link rel=alternate type='application/atom+xml' href='/a.xml'><p>Hi"
            "</html>",
            "", "", "names its feed at https://feeds.example/a.xml");
        row("xhtml page",
            "<?xml version=\"1.0\"?>\n<!-- x -->\n<html xmlns=\"http://www.w3.org/1999/xhtml\">"
            "<body/></html>",
            "", "", "a web page");
        row("other xml", "<?xml version=\"1.0\"?><svg><g/></svg>", "", "",
            "its root element is <svg>");
        row("entities of its own, expanding and external",
            "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;"
            "&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY x SYSTEM \"file:///etc/passwd\">]><rss><channel>"
            "<item><title>&b;&b;&x;</title></item></channel></rss>",
            "", "", "declares entities of its own");
        row("invalid json", "{\"version\": \"https://jsonfeed.org/version/1.1\",", "", "",
            "not valid JSON");
        row("json, no feed", "{\"name\": \"x\"}", "", "", "not a JSON Feed");
        row("json feed without items", "{\"version\": \"https://jsonfeed.org/version/1\"}", "", "",
            "no list of \"items\"");
    }

    void feeds() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, contentType);
        QFETCH(QString, feed);
        const ParseResult r =
            parse(bytes, QUrl(QStringLiteral("https://feeds.example/dir/feed")), contentType);
        if (!r.ok) {
            QVERIFY2(!feed.isEmpty() && r.error.contains(feed), qPrintable(r.error));
            QVERIFY(r.feed.entries.isEmpty());
            return;
        }
        static const char* const formats[] = {"rss", "rdf", "atom", "json"};
        if (!feed.isEmpty())
            QCOMPARE(formats[int(r.feed.format)] + QStringLiteral(": ") + r.feed.title, feed);
        QStringList entries;
        for (const Entry& e : r.feed.entries) {
            const QString title = e.titleIsHtml ? htmltext::toPlainText(e.title) : e.title;
            entries << title + QStringLiteral(" | ") + e.link + QStringLiteral(" | ") + e.summary;
            if (e.date.isValid())
                entries.last() += QStringLiteral(" | ") + e.date.toUTC().toString(Qt::ISODate);
        }
        QTEST(entries.join(u'\n'), "entries");
    }

    // The compiled table holds every name of the data file, with and without the semicolon.
    void entityTable() {
        const auto load = [](const char* name) {
            QFile f(QStringLiteral(TICKORA_SOURCE_DIR "/feed/entities/") + QLatin1String(name));
            return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object()
                                               : QJsonObject();
        };
        const QJsonObject all = load("entities.json");
        const QJsonObject legacy = load("legacy.json");
        QCOMPARE(all.size(), 2125);
        for (auto it = all.begin(); it != all.end(); ++it) {
            qsizetype length = 0;
            const QString ref = u'&' + it.key() + QStringLiteral(";x");
            QCOMPARE(htmltext::decodeEntity(ref, 0, &length), it.value().toString());
            QCOMPARE(length, ref.size() - 1);
            // Without it only the old names are taken whole (others may begin with one: &notin).
            length = 0;
            const QString decoded = htmltext::decodeEntity(u'&' + it.key() + u' ', 0, &length);
            if (legacy.contains(it.key()))
                QCOMPARE(decoded, it.value().toString());
            QCOMPARE(length == it.key().size() + 1, legacy.contains(it.key()));
        }
    }

    void itemText_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("titleIsHtml");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<ItemOptions>("options");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* tag, const QString& title, bool titleIsHtml,
                            const QString& link, const QString& text, const QString& name,
                            const QString& summary = {}, const ItemOptions& options = {}) {
            QTest::newRow(tag) << title << titleIsHtml << link << summary << options << text
                               << name;
        };
        row("quotes and ampersand", "Tom & Jerry's \"big\" day", false,
            "https://ex.example/a?b=1&c='x'",
            "<a href=\"https://ex.example/a?b=1&amp;c=%27x%27\">Tom &amp; Jerry\\'s &quot;big"
            "&quot; day</a>",
            "Tom & Jerry\\'s \"big\" day");
        row("script stays text", "<script>alert(1)</script>", false, "https://ex.example/",
            "<a href=\"https://ex.example/\">&lt;script&gt;alert(1)&lt;/script&gt;</a>",
            "<script>alert(1)</script>");
        // A summary cut right after a "<" stays text.
        row("html title becomes text, summary too", "<b>Café</b> &amp; <script>x()</script>Bar",
            true, "", "Café &amp; Bar Notes&lt;a…", "Café & Bar", "Notes<a-href and more",
            ItemOptions{30, 8, false});
        row("javascript link dropped", "Click", false, "javascript:alert(1)", "Click", "Click");
        row("javascript link with a host dropped", "Pic", false,
            "javascript://ex.example/%0Aalert(1)", "Pic", "Pic");
        row("backslashes and line breaks", "C:\\dir\\\r\nnext\u2028line\\", false, "",
            "C:&#92;dir&#92; next line&#92;", "C:&#92;dir&#92; next line&#92;");
        row("link with spaces and non-ascii", "Ü", false, "https://ex.example/a b/ü\"q",
            "<a href=\"https://ex.example/a%20b/%C3%BC%22q\">Ü</a>", "Ü");
        row("long title cut in the name", "One two three four five six seven eight nine ten", false,
            "", "One two three four five six seven eight nine ten", "One two three four five six…");
        row("no title", "", false, "https://ex.example/x",
            "<a href=\"https://ex.example/x\">(untitled)</a>", "(untitled)");
        row("title markup kept safe, summary cut at a space",
            "<em>New</em> <img src=x onerror=alert(1)>release <b>2.0", true, "https://ex.example/r",
            "<a href=\"https://ex.example/r\"><em>New</em> release <b>2.0</b></a> The release "
            "brings many fixes…",
            "New release…", "The release brings many fixes and a faster start for everyone.",
            ItemOptions{12, 30, true});
    }

    void itemText() {
        QFETCH(QString, title);
        QFETCH(bool, titleIsHtml);
        QFETCH(QString, link);
        QFETCH(QString, summary);
        QFETCH(ItemOptions, options);
        Entry e;
        e.title = title;
        e.titleIsHtml = titleIsHtml;
        e.link = link;
        e.summary = summary;
        const clsItem item = makeItem(e, options);
        QTEST(item.sText, "text");
        QTEST(item.sName, "name");
        QVERIFY(item.sWidth.isEmpty());
        // max counts items; entries without anything to show are passed over.
        QList<Entry> entries(5, e);
        entries.insert(1, Entry{});
        QCOMPARE(makeItems(entries, options, 3), QList<clsItem>(3, item));
        QCOMPARE(makeItems(entries, options).size(), 5);
    }

    void htmlText_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("inlineSafe");
        const auto row = [](const char* tag, const QString& html, const QString& plain,
                            const QString& inlineSafe) {
            QTest::newRow(tag) << html << plain << inlineSafe;
        };
        row("entities",
            "a &amp; b &lt;c&gt; &#39;d&#x27; &eacute;&nbsp;&bogus; &iacute;&rarr;&hearts;",
            "a & b <c> 'd' é &bogus; í→♥", "a &amp; b &lt;c&gt; 'd' é &amp;bogus; í→♥");
        row("numeric and old forms as a browser reads them",
            "&#150;&#x80; &#0;&#x110000; &#65 &#x41z &#169Corp &#; &copy2024 AT&T &notit; &ampx "
            "&lt3",
            "–€ \uFFFD\uFFFD A Az ©Corp &#; ©2024 AT&T ¬it; &x <3",
            "–€ \uFFFD\uFFFD A Az ©Corp &amp;#; ©2024 AT&amp;T ¬it; &amp;x &lt;3");
        row("object content is fallback, head hidden",
            "<head><title>T</title></head>a <object data=\"v\">fallback</object> <template>t"
            "</template>b",
            "a fallback b", "a fallback b");
        row("hidden blocks", "x<script>alert('<b>')</script>y<style>p{}</style>z", "xyz", "xyz");
        row("blocks become spaces", "<p>one</p><p>two<br/>three</p>", "one two three",
            "one two three");
        row("attributes dropped, tags balanced",
            "<b onclick=\"x()\">bold <i>both</b> after</i> <u>open", "bold both after open",
            "<b>bold <i>both</i></b> after <u>open</u>");
        row("comments and links", "<!-- <b> -->a <a href='javascript:x'>link</a>", "a link",
            "a link");
        row("lone brackets", "1 < 2 > 0 &", "1 < 2 > 0 &", "1 &lt; 2 &gt; 0 &amp;");
        row("unclosed tag", "text <b class=\"x", "text", "text");
        row("unclosed object keeps the rest", "Video: <object data=\"v.swf\">Watch the clip",
            "Video: Watch the clip", "Video: Watch the clip");
    }

    void htmlText() {
        QFETCH(QString, html);
        QTEST(htmltext::toPlainText(html), "plain");
        QTEST(htmltext::toSafeInline(html), "inlineSafe");
    }

    // Cutting at a space and inside a word are item rows.
    void cutText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("max");
        QTest::addColumn<QString>("cut");
        QTest::newRow("exact") << "0123456789" << 10 << "0123456789";
        QTest::newRow("surrogate pair kept whole") << "ab😀cd" << 4 << "ab…";
        QTest::newRow("zero") << "anything" << 0 << "";
    }

    void cutText() {
        QFETCH(QString, text);
        QFETCH(int, max);
        QTEST(htmltext::cut(text, max), "cut");
    }
};

QTEST_GUILESS_MAIN(tst_FeedParse)
#include "tst_feedparse.moc"
