#include "feedfetch.h"

#include "appinfo.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace feed {

namespace {

const QString kAddressHint = QStringLiteral(
    "Give an address that begins with http:// or https://, or the path of a feed file.");

QString shown(const QUrl& url) {
    return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toDisplayString();
}

QString sizeText(qint64 bytes) {
    return QLocale::c().formattedDataSize(bytes, 0, QLocale::DataSizeTraditionalFormat);
}

QString tooBig(const QUrl& url, qint64 max) {
    return QStringLiteral("The answer from %1 is larger than %2, more than any feed needs, so "
                          "the reading was stopped. Check that the address is a feed.")
        .arg(shown(url), sizeText(max));
}

} // namespace

std::optional<QUrl> addressToUrl(const QString& text, QString* error) {
    // An address pasted from a mail or a page may carry line breaks and tabs.
    QString t;
    for (const QChar c : text)
        if (c != u'\r' && c != u'\n' && c != u'\t')
            t += c;
    t = t.trimmed();
    if (t.isEmpty()) {
        *error = QStringLiteral("No feed address was given. ") + kAddressHint;
        return std::nullopt;
    }
    if (t.startsWith(QStringLiteral("feed://"), Qt::CaseInsensitive))
        t = QStringLiteral("http://") + t.mid(7);
    else if (t.startsWith(QStringLiteral("feed:"), Qt::CaseInsensitive))
        t = t.mid(5);
    if (t.startsWith(QStringLiteral("~/")))
        t = QDir::homePath() + t.mid(1);

    const QUrl url(t, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if ((scheme == u"http" || scheme == u"https") && !url.host().isEmpty())
        return url;
    if (scheme == u"file" && !url.toLocalFile().isEmpty())
        return url;
    const QFileInfo file(t);
    if (scheme.isEmpty() && (file.exists() || t.startsWith(u'/') || t.startsWith(u'.')))
        return QUrl::fromLocalFile(file.absoluteFilePath());
    // "example.com/feed.xml": a host without a scheme.
    if (scheme.isEmpty() && !t.contains(u' ') && t.section(u'/', 0, 0).contains(u'.')) {
        const QUrl guessed(QStringLiteral("http://") + t, QUrl::TolerantMode);
        if (guessed.isValid() && !guessed.host().isEmpty())
            return guessed;
    }
    *error =
        QStringLiteral("\"%1\" is not an address a feed can be read from. ").arg(t) + kAddressHint;
    return std::nullopt;
}

Fetcher::Fetcher(QObject* parent) : QObject(parent) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("The feed at %1 did not arrive within %2 seconds, so the reading "
                            "was stopped. Try again later, or check the address.")
                 .arg(shown(m_url))
                 .arg((m_limits.timeoutMs + 999) / 1000));
    });
}

Fetcher::~Fetcher() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        delete m_reply;
    }
}

void Fetcher::start(const QUrl& url, const Validators& validators) {
    if (m_reply)
        cancel();
    m_url = url;
    m_bytes.clear();
    m_failure.clear();
    m_cancelled = false;
    m_movedTo.clear();
    m_onlyPermanent = true;
    m_conditional = false;
    if (url.isLocalFile()) {
        const QFileInfo file(url.toLocalFile());
        if (file.isFile() && file.size() > m_limits.maxBytes) {
            FetchResult r;
            r.finalUrl = url;
            r.error = tooBig(url, m_limits.maxBytes);
            done(r);
            return;
        }
        if (file.isDir()) {
            FetchResult r;
            r.finalUrl = url;
            r.error = QStringLiteral("\"%1\" is a folder, not a feed file. Choose the feed file "
                                     "itself.")
                          .arg(shown(url));
            done(r);
            return;
        }
    }
    if (!m_nam)
        m_nam = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Accept", "application/rss+xml, application/atom+xml, "
                                   "application/feed+json, application/json;q=0.9, "
                                   "application/xml;q=0.9, text/xml;q=0.9, */*;q=0.5");
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("TickoraCreator/%1 (feed import)").arg(appinfo::kVersion));
    // Accept-Encoding is left to the network layer, which then unpacks gzip and deflate itself.
    if (!url.isLocalFile()) {
        if (!validators.etag.isEmpty())
            request.setRawHeader("If-None-Match", validators.etag.toLatin1());
        if (!validators.lastModified.isEmpty())
            request.setRawHeader("If-Modified-Since", validators.lastModified.toLatin1());
        m_conditional = !validators.etag.isEmpty() || !validators.lastModified.isEmpty();
    }
    m_reply = m_nam->get(request);
    connect(m_reply, &QNetworkReply::redirected, this, &Fetcher::onRedirected);
    connect(m_reply, &QNetworkReply::readyRead, this, &Fetcher::onReadyRead);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &Fetcher::onMetaData);
    connect(m_reply, &QNetworkReply::finished, this, &Fetcher::onFinished);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &Fetcher::progress);
    m_deadline.start(m_limits.timeoutMs);
}

void Fetcher::cancel() {
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    FetchResult r;
    r.cancelled = true;
    r.finalUrl = m_url;
    r.error = QStringLiteral("The reading of the feed was cancelled.");
    done(r);
}

void Fetcher::fail(const QString& error) {
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    FetchResult r;
    r.finalUrl = m_url;
    r.error = error;
    done(r);
}

void Fetcher::done(FetchResult result) {
    m_deadline.stop();
    m_bytes.clear();
    emit finished(result);
}

void Fetcher::onMetaData() {
    if (!m_reply)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() >= 300))
        return; // a redirect or an error page: its size does not matter
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
        fail(tooBig(m_url, m_limits.maxBytes));
}

void Fetcher::onRedirected(const QUrl& to) {
    if (!m_reply)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // The feed moved as far as the permanent redirects before the first temporary one lead.
    if (m_onlyPermanent && (status == 301 || status == 308))
        m_movedTo = to;
    else
        m_onlyPermanent = false;
}

void Fetcher::onReadyRead() {
    if (!m_reply)
        return;
    const qint64 room = m_limits.maxBytes - m_bytes.size();
    m_bytes += m_reply->read(room + 1);
    if (m_bytes.size() > m_limits.maxBytes)
        fail(tooBig(m_url, m_limits.maxBytes));
}

void Fetcher::onFinished() {
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    onReadyRead();
    if (!m_reply)
        return; // stopped for its size
    m_reply = nullptr;
    reply->deleteLater();

    FetchResult r;
    r.finalUrl = reply->url().isValid() ? reply->url() : m_url;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString reason =
        reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
    const QString where = shown(m_url);
    const QString host = m_url.host();
    if (!m_url.isLocalFile()) {
        r.etag = QString::fromLatin1(reply->rawHeader("ETag"));
        r.lastModified = QString::fromLatin1(reply->rawHeader("Last-Modified"));
        r.movedTo = m_movedTo;
    }
    switch (reply->error()) {
    case QNetworkReply::NoError:
        if (status == 304 && m_conditional) {
            r.ok = true;
            r.notModified = true;
            break;
        }
        if (status != 0 && (status < 200 || status >= 300)) {
            r.error = QStringLiteral("The server answered %1 with %2 %3 instead of a feed. Check "
                                     "the address.")
                          .arg(where)
                          .arg(status)
                          .arg(reason);
            break;
        }
        r.ok = true;
        r.bytes = m_bytes;
        if (!m_url.isLocalFile())
            r.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        break;
    case QNetworkReply::TooManyRedirectsError:
        r.error = QStringLiteral("The address %1 redirects more than %2 times (it may redirect in "
                                 "a loop), so the reading was stopped. Open it in a browser to "
                                 "find the feed's real address.")
                      .arg(where)
                      .arg(m_limits.maxRedirects);
        break;
    case QNetworkReply::InsecureRedirectError:
        r.error = QStringLiteral("The secure address %1 redirects to an address that is not "
                                 "secure, which is refused. Give the feed's final address if "
                                 "you trust it.")
                      .arg(where);
        break;
    case QNetworkReply::HostNotFoundError:
        r.error = QStringLiteral("The server \"%1\" cannot be found. Check the address and your "
                                 "network connection.")
                      .arg(host);
        break;
    case QNetworkReply::ConnectionRefusedError:
        r.error = QStringLiteral("The server \"%1\" refused the connection. Check the address, "
                                 "or try again later.")
                      .arg(host);
        break;
    case QNetworkReply::RemoteHostClosedError:
        r.error = QStringLiteral("The server \"%1\" closed the connection before the feed had "
                                 "arrived. Try again later.")
                      .arg(host);
        break;
    case QNetworkReply::SslHandshakeFailedError:
        r.error = QStringLiteral("The secure connection to \"%1\" failed: %2. Check the address; "
                                 "the site's certificate may not be valid.")
                      .arg(host, reply->errorString());
        break;
    default:
        if (m_url.isLocalFile())
            r.error = QStringLiteral("The feed file \"%1\" cannot be read: %2. Check the file's "
                                     "name and folder.")
                          .arg(where, reply->errorString());
        else if (status == 404 || status == 410)
            r.error = QStringLiteral("There is no feed at %1: the server answered %2 %3. Check "
                                     "the address.")
                          .arg(where)
                          .arg(status)
                          .arg(reason);
        else if (status >= 400)
            r.error = QStringLiteral("The server answered %1 with %2 %3 instead of a feed. Check "
                                     "the address, or try again later.")
                          .arg(where)
                          .arg(status)
                          .arg(reason);
        else
            r.error = QStringLiteral("The feed at %1 could not be read: %2. Check the address "
                                     "and your network connection.")
                          .arg(where, reply->errorString());
    }
    done(r);
}

FetchResult fetch(const QUrl& url, const Limits& limits, const Validators& validators) {
    Fetcher fetcher;
    fetcher.setLimits(limits);
    FetchResult result;
    bool finished = false;
    QEventLoop loop;
    QObject::connect(&fetcher, &Fetcher::finished, &loop, [&](const FetchResult& r) {
        result = r;
        finished = true;
        loop.quit();
    });
    fetcher.start(url, validators);
    if (!finished)
        loop.exec();
    return result;
}

} // namespace feed
