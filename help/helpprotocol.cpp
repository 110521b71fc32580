#include "helpprotocol.h"

#include <QJsonDocument>

namespace help::protocol {

namespace {

const char* const kKinds[] = {"missing", "damaged", "notopic", "viewer"};

QString text(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isString() ? v.toString() : QString();
}

// Null stays null on the way through: the viewer treats a missing text unlike an empty one.
void putText(QJsonObject& o, const char* key, const QString& value) {
    if (!value.isNull())
        o.insert(QLatin1String(key), value);
}

} // namespace

QByteArray line(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QJsonObject parse(const QByteArray& line) {
    const QJsonDocument doc = QJsonDocument::fromJson(line.trimmed());
    return doc.isObject() ? doc.object() : QJsonObject();
}

QJsonObject encodeData(const HelpData& data) {
    QJsonObject o;
    if (const auto* topic = std::get_if<QString>(&data)) {
        o.insert(QLatin1String("type"), QLatin1String("topic"));
        putText(o, "topic", *topic);
    } else if (const auto* id = std::get_if<qint32>(&data)) {
        o.insert(QLatin1String("type"), QLatin1String("context"));
        o.insert(QLatin1String("id"), *id);
    } else if (const auto* link = std::get_if<HelpLinkRecord>(&data)) {
        o.insert(QLatin1String("type"), QLatin1String("link"));
        putText(o, "keywords", link->keywords);
        putText(o, "url", link->url);
        putText(o, "msgText", link->msgText);
        putText(o, "msgTitle", link->msgTitle);
        putText(o, "window", link->window);
    } else if (const auto* search = std::get_if<HelpSearchRecord>(&data)) {
        o.insert(QLatin1String("type"), QLatin1String("search"));
        putText(o, "query", search->query);
    } else {
        o.insert(QLatin1String("type"), QLatin1String("none"));
    }
    return o;
}

HelpData decodeData(const QJsonObject& o) {
    const QString type = text(o, "type");
    if (type == QLatin1String("topic"))
        return text(o, "topic");
    if (type == QLatin1String("context"))
        return qint32(o.value(QLatin1String("id")).toInt());
    if (type == QLatin1String("link")) {
        HelpLinkRecord r;
        r.keywords = text(o, "keywords");
        r.url = text(o, "url");
        r.msgText = text(o, "msgText");
        r.msgTitle = text(o, "msgTitle");
        r.window = text(o, "window");
        return r;
    }
    if (type == QLatin1String("search")) {
        HelpSearchRecord r;
        r.query = text(o, "query");
        return r;
    }
    return std::monostate{};
}

QJsonObject encodeFailure(const HelpFailure& f) {
    QJsonObject o;
    o.insert(QLatin1String("kind"), QLatin1String(kKinds[int(f.kind)]));
    o.insert(QLatin1String("file"), f.file);
    o.insert(QLatin1String("detail"), f.detail);
    return o;
}

bool decodeFailure(const QJsonObject& object, HelpFailure* failure) {
    const QJsonObject o = object.value(QLatin1String("failure")).toObject();
    const QString kind = text(o, "kind");
    for (int k = 0; k < int(std::size(kKinds)); ++k) {
        if (kind == QLatin1String(kKinds[k])) {
            *failure = HelpFailure{HelpFailure::Kind(k), text(o, "file"), text(o, "detail")};
            return true;
        }
    }
    return false;
}

} // namespace help::protocol
