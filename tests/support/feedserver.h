#pragma once

// A small HTTP server on 127.0.0.1 for feed tests and the feed benchmark: each path answers as
// a route says, including the ways a feed server can misbehave.

#include "feedsamples.h"

#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class FeedServer : public QObject {
public:
    enum class Mode {
        Normal,   // status, headers, body, then close
        Stall,    // never answers
        Endless,  // 200 without a length, then data for as long as the client reads
        Declared, // 200 with a Content-Length of 200 MB, then data as long as the client reads
    };
    struct Route {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/xml; charset=utf-8";
        QByteArray location; // for redirects
        Mode mode = Mode::Normal;
        QByteArray headers; // more header lines, each ending in \r\n
        QByteArray etag;    // sent with a Last-Modified; 304 when the request names it
    };

    QHash<QByteArray, Route> routes;
    QByteArray lastHead; // the last request's line and headers

    bool start() {
        connect(&m_server, &QTcpServer::newConnection, this, &FeedServer::accept);
        return m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    void set(const QByteArray& path, const QByteArray& body,
             const QByteArray& type = "application/xml; charset=utf-8") {
        Route r;
        r.body = body;
        r.contentType = type;
        routes.insert(path, r);
    }

    // The routes the feed tests share: a feed, and each way a server or an answer can go wrong.
    void addSamples() {
        set("/rss", feedsamples::kRss);
        set("/html", "<!DOCTYPE html><html><body>Blog</body></html>", "text/html");
        set("/empty", "<rss><channel><title>Quiet</title></channel></rss>");
        set("/latin",
            "<rss><channel><item><title>\x93"
            "Caf\xE9\x94</title></item></channel></rss>",
            "text/xml; charset=windows-1252");
        routes["/deflated"].body = qCompress(feedsamples::kRss).mid(4); // as deflate sends it
        routes["/deflated"].headers = "Content-Encoding: deflate\r\n";
        routes["/tagged"].body = feedsamples::kRss;
        routes["/tagged"].etag = "\"v1\"";
        const auto respond = [this](const char* path, int status, const QByteArray& location,
                                    const QByteArray& body = {}) {
            Route& route = routes[path];
            route.status = status;
            route.location = location;
            route.body = body;
        };
        respond("/gone", 301, url(QStringLiteral("/moved")).toLatin1());
        respond("/gone-for-good", 301, url(QStringLiteral("/tagged")).toLatin1());
        respond("/moved", 302, url(QStringLiteral("/rss")).toLatin1());
        respond("/loop", 302, "/loop");
        respond("/broken", 500, {}, "oops");
        routes["/slow"].mode = Mode::Stall;
        routes["/huge"].mode = Mode::Declared;
        routes["/endless"].mode = Mode::Endless;
    }

private:
    void accept() {
        while (QTcpSocket* s = m_server.nextPendingConnection()) {
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
        }
    }

    void read(QTcpSocket* s) {
        QByteArray& buf = m_buffers[s];
        buf += s->readAll();
        const qsizetype end = buf.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray line = buf.left(buf.indexOf("\r\n"));
        lastHead = buf.left(end);
        buf.clear();
        m_buffers.remove(s);
        const QList<QByteArray> parts = line.split(' ');
        const QByteArray path = parts.size() > 1 ? parts[1] : QByteArray("/");
        const auto it = routes.constFind(path);
        if (it == routes.constEnd()) {
            answer(s, 404, "Not Found", "text/html", "<html><body>Not here</body></html>", {}, {});
            return;
        }
        const Route& r = *it;
        switch (r.mode) {
        case Mode::Stall:
            return;
        case Mode::Normal: {
            QByteArray headers = r.headers;
            if (!r.etag.isEmpty()) {
                if (lastHead.contains("\r\nIf-None-Match: " + r.etag + "\r\n")) {
                    answer(s, 304, "Not Modified", r.contentType, {}, {}, {});
                    return;
                }
                headers +=
                    "ETag: " + r.etag + "\r\nLast-Modified: Tue, 10 Jun 2003 04:00:00 GMT\r\n";
            }
            answer(s, r.status, reason(r.status), r.contentType, r.body, r.location, headers);
            return;
        }
        case Mode::Endless:
        case Mode::Declared: {
            QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nConnection: "
                              "close\r\n";
            if (r.mode == Mode::Declared)
                head += "Content-Length: 209715200\r\n";
            s->write(head + "\r\n<rss version=\"2.0\"><channel>");
            // More whenever the last chunk has left, until the client hangs up.
            const QByteArray chunk(64 * 1024, 'x');
            auto* sent = new qint64(0);
            connect(s, &QTcpSocket::bytesWritten, s, [s, chunk, sent] {
                if (s->bytesToWrite() == 0 && *sent < 300LL * 1024 * 1024) {
                    *sent += chunk.size();
                    s->write(chunk);
                }
            });
            connect(s, &QObject::destroyed, [sent] { delete sent; });
            return;
        }
        }
    }

    static QByteArray reason(int status) {
        static const QHash<int, QByteArray> reasons{
            {200, "OK"},           {301, "Moved Permanently"}, {302, "Found"},
            {304, "Not Modified"}, {404, "Not Found"},         {500, "Internal Server Error"}};
        return reasons.value(status, "Status");
    }

    static void answer(QTcpSocket* s, int status, const QByteArray& reason, const QByteArray& type,
                       const QByteArray& body, const QByteArray& location,
                       const QByteArray& headers) {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
        head += headers;
        head += "Content-Type: " + type + "\r\n";
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        if (!location.isEmpty())
            head += "Location: " + location + "\r\n";
        head += "Connection: close\r\n\r\n";
        s->write(head + body);
        s->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
