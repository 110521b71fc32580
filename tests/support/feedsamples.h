#pragma once

// Feeds for tests and benchmarks: each format with non-ASCII titles, quotes and ampersands.

#include <QByteArray>
#include <QString>

namespace feedsamples {

inline const QByteArray kRss = R"FEED(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0" xmlns:dc="http://purl.org/dc/elements/1.1/">
<channel>
  <title>Köln News</title>
  <link>https://news.example/</link>
  <item>
    <title>Grüße aus Köln – “Zitat” &amp; mehr</title>
    <link>https://news.example/k%C3%B6ln?a=1&amp;b=2</link>
    <description>&lt;p&gt;First &lt;b&gt;story&lt;/b&gt; &amp;amp; more&lt;/p&gt;</description>
    <pubDate>Tue, 10 Jun 2003 04:00:00 GMT</pubDate>
  </item>
  <item>
    <title>It's &quot;quoted&quot; \ and &lt;script&gt;alert(1)&lt;/script&gt;</title>
    <link>/stories/2</link>
    <description><![CDATA[<script>alert(2)</script>Second one]]></description>
    <pubDate>Wed, 11 Jun 2003 09:30:00 +0200</pubDate>
  </item>
  <item>
    <title>日本語のニュース</title>
    <guid>https://news.example/3</guid>
    <dc:date>2003-06-12T10:00:00Z</dc:date>
  </item>
</channel>
</rss>
)FEED";

inline const QByteArray kAtom = R"FEED(<?xml version="1.0" encoding="utf-8"?>
<feed xmlns="http://www.w3.org/2005/Atom">
  <title>Atom Café</title>
  <entry>
    <title type="html">&lt;b&gt;Café&lt;/b&gt; &amp;amp; Bar</title>
    <link rel="self" href="https://atom.example/self/1"/>
    <link rel="alternate" href="https://atom.example/1"/>
    <updated>2024-03-01T12:00:00+01:00</updated>
    <summary>Summary one &amp; two</summary>
  </entry>
  <entry>
    <title>L'été "chaud"</title>
    <link href="entries/2"/>
    <published>2024-03-02T08:00:00Z</published>
    <content type="html">&lt;p&gt;Hot &lt;i&gt;summer&lt;/i&gt;&lt;/p&gt;</content>
  </entry>
  <entry>
    <title type="text">Ελληνικά &amp; more</title>
    <link href="javascript:alert(3)"/>
    <updated>2024-03-03T08:00:00Z</updated>
  </entry>
</feed>
)FEED";

inline const QByteArray kJson = R"FEED({
  "version": "https://jsonfeed.org/version/1.1",
  "title": "JSON Ünïcode",
  "items": [
    {"id": "1", "title": "Ünïcode ‘quotes’ & \"double\" 'single'",
     "url": "https://json.example/1", "summary": "Short & sweet",
     "date_published": "2024-05-01T10:00:00-04:00"},
    {"id": "2", "content_html": "<p>No title, <b>only</b> content</p>",
     "url": "https://json.example/2"},
    {"id": "3", "title": "C:\\path\\", "external_url": "https://json.example/3"}
  ]
})FEED";

// An RSS feed of n entries, each with a title, link, summary and date; `tag` changes every
// title, for a feed that moved on.
inline QByteArray rssFeed(int n, const QByteArray& tag = "Story") {
    QByteArray s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                   "<title>Big</title>\n";
    for (int i = 0; i < n; ++i)
        s += QStringLiteral("<item><title>%1 %2: Grüße &amp; it's “news”</title><link>https://"
                            "big.example/story/%2?x=1&amp;y=2</link><description>&lt;p&gt;The "
                            "summary of story %2 with &lt;b&gt;bold&lt;/b&gt; words&lt;/p&gt;"
                            "</description><pubDate>Mon, 01 Jan 2024 10:00:00 GMT</pubDate>"
                            "</item>\n")
                 .arg(QString::fromUtf8(tag), QString::number(i))
                 .toUtf8();
    return s + "</channel></rss>\n";
}

} // namespace feedsamples
