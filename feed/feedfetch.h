#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
#include <QNetworkReply>

namespace feed {

// What one read of a feed may take.
struct Limits {
    qint64 maxBytes = 8 * 1024 * 1024; // no feed is bigger; a 200 MB answer is stopped here
    int timeoutMs = 30000;             // for the whole read, not per packet
    int maxRedirects = 5;
};

struct FetchResult {
    bool ok = false;
    bool cancelled = false;
    QString error; // for a person: what happened and what to do
    QByteArray bytes;
    QUrl finalUrl;            // after redirects; relative links in the feed are resolved against it
    QString contentType;      // the HTTP Content-Type with its charset; empty for a file
    bool notModified = false; // 304: nothing new since the validators sent (ok, no bytes)
    QString etag;             // what the server gave to ask "anything new?" next time
    QString lastModified;
    QUrl movedTo; // where the permanent redirects (301, 308) before any other one led; or empty
};

// What the last read of a feed gave, sent with the next one so that an unchanged feed costs
// the server a 304.
struct Validators {
    QString etag;
    QString lastModified;
};

// The address a user typed or picked: an http or https address, a file: URL, or a local path
// (absolute, or relative to the working folder). A bare host name gets http://. nullopt and a
// message for anything else.
std::optional<QUrl> addressToUrl(const QString& text, QString* error);

// Reads one feed at a time, over http, https or from a file, capped in size and time.
class Fetcher : public QObject {
    Q_OBJECT
public:
    explicit Fetcher(QObject* parent = nullptr);
    ~Fetcher() override;

    void setLimits(const Limits& limits) { m_limits = limits; }
    const Limits& limits() const { return m_limits; }

    // Starts reading; a read still running is cancelled first. finished() follows exactly once
    // per start, also for a cancel. Validators make it a conditional request.
    void start(const QUrl& url, const Validators& validators = Validators());
    void cancel();
    bool isRunning() const { return m_reply != nullptr; }

signals:
    void progress(qint64 received, qint64 total); // total -1 when unknown
    void finished(const feed::FetchResult& result);

private:
    void onReadyRead();
    void onMetaData();
    void onFinished();
    void onRedirected(const QUrl& to);
    void fail(const QString& error);
    void done(FetchResult result);

    QNetworkAccessManager* m_nam = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    Limits m_limits;
    QUrl m_url;
    QByteArray m_bytes;
    QString m_failure; // set when we stopped the read ourselves
    QUrl m_movedTo;
    bool m_onlyPermanent = true; // no temporary redirect so far
    bool m_conditional = false;  // a 304 is an answer only to a conditional request
    bool m_cancelled = false;
};

// Reads a feed and waits for it in a local event loop (for the command-line tool).
FetchResult fetch(const QUrl& url, const Limits& limits = Limits(),
                  const Validators& validators = Validators());

} // namespace feed
