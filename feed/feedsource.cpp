#include "feedsource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace feed {

namespace {

const QString kFormatKey = QStringLiteral("tickoraFeed");
constexpr int kFormatVersion = 1;

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

QString sideFilePath(const QString& scriptPath) {
    const QFileInfo info(scriptPath);
    QString base = info.fileName();
    if (base.endsWith(QStringLiteral(".js"), Qt::CaseInsensitive))
        base.chop(3);
    return info.dir().filePath(base + QStringLiteral(".feed.json"));
}

SourceRead readSource(const QString& scriptPath) {
    SourceRead r;
    const QString path = sideFilePath(scriptPath);
    QFile f(path);
    if (!f.exists())
        return r;
    const auto damaged = [&](const QString& why) {
        r.error = QStringLiteral("The feed settings \"%1\" cannot be read: %2. The scroller "
                                 "was opened without its feed; import from the feed again to "
                                 "keep it refreshed.")
                      .arg(nativePath(path), why);
        return r;
    };
    if (!f.open(QIODevice::ReadOnly))
        return damaged(f.errorString());
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &pe);
    if (pe.error != QJsonParseError::NoError || !doc.isObject())
        return damaged(QStringLiteral("it is not a JSON object"));
    const QJsonObject o = doc.object();
    if (o.value(kFormatKey).toInt() != kFormatVersion)
        return damaged(QStringLiteral("it was written by another version of the program"));
    Source s;
    s.address = o.value(QStringLiteral("address")).toString();
    if (s.address.isEmpty())
        return damaged(QStringLiteral("it names no feed address"));
    s.maxEntries = std::max(0, o.value(QStringLiteral("maxEntries")).toInt());
    s.options.nameLength = std::clamp(o.value(QStringLiteral("nameLength")).toInt(30), 1, 1000);
    s.options.summaryLength =
        std::clamp(o.value(QStringLiteral("summaryLength")).toInt(0), 0, 10000);
    s.options.titleMarkup = o.value(QStringLiteral("titleMarkup")).toBool(false);
    s.etag = o.value(QStringLiteral("etag")).toString();
    s.lastModified = o.value(QStringLiteral("lastModified")).toString();
    for (const QJsonValue& v : o.value(QStringLiteral("items")).toArray()) {
        const QJsonObject i = v.toObject();
        clsItem item;
        item.sName = i.value(QStringLiteral("name")).toString();
        item.sText = i.value(QStringLiteral("text")).toString();
        s.items << item;
    }
    r.source = s;
    return r;
}

QString writeSource(const QString& scriptPath, const Source& source) {
    QJsonObject o;
    o.insert(kFormatKey, kFormatVersion);
    o.insert(QStringLiteral("address"), source.address);
    o.insert(QStringLiteral("maxEntries"), source.maxEntries);
    o.insert(QStringLiteral("nameLength"), source.options.nameLength);
    o.insert(QStringLiteral("summaryLength"), source.options.summaryLength);
    o.insert(QStringLiteral("titleMarkup"), source.options.titleMarkup);
    if (!source.etag.isEmpty())
        o.insert(QStringLiteral("etag"), source.etag);
    if (!source.lastModified.isEmpty())
        o.insert(QStringLiteral("lastModified"), source.lastModified);
    QJsonArray items;
    for (const clsItem& item : source.items)
        items.append(QJsonObject{{QStringLiteral("name"), item.sName},
                                 {QStringLiteral("text"), item.sText}});
    o.insert(QStringLiteral("items"), items);
    const QByteArray bytes = QJsonDocument(o).toJson(QJsonDocument::Indented);
    const QString path = sideFilePath(scriptPath);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return QStringLiteral("Could not write the feed settings \"%1\": %2.")
            .arg(nativePath(path), out.errorString());
    return {};
}

QString removeSource(const QString& scriptPath) {
    const QString path = sideFilePath(scriptPath);
    QFile f(path);
    if (!f.exists() || f.remove())
        return {};
    return QStringLiteral("Could not remove the old feed settings \"%1\": %2.")
        .arg(nativePath(path), f.errorString());
}

RefreshPlan planRefresh(const QList<clsItem>& current, const QList<clsItem>& remembered) {
    // How many of each remembered item are still to be matched.
    QHash<QString, int> wanted;
    const auto key = [](const clsItem& i) { return i.sName + QChar(0) + i.sText; };
    for (const clsItem& i : remembered)
        ++wanted[key(i)];
    RefreshPlan plan;
    for (int i = 0; i < current.size(); ++i) {
        auto it = wanted.find(key(current[i]));
        if (it == wanted.end() || *it == 0)
            continue;
        --*it;
        plan.removed << i;
    }
    plan.insertAt = plan.removed.isEmpty() ? int(current.size()) : plan.removed.first();
    return plan;
}

QList<clsItem> applyRefresh(const QList<clsItem>& current, const QList<clsItem>& remembered,
                            const QList<clsItem>& fresh) {
    const RefreshPlan plan = planRefresh(current, remembered);
    QList<clsItem> out;
    out.reserve(current.size() - plan.removed.size() + fresh.size());
    qsizetype next = 0;
    for (int i = 0; i < current.size(); ++i) {
        if (next < plan.removed.size() && plan.removed[next] == i) {
            ++next;
            continue;
        }
        out << current[i];
    }
    QList<clsItem> result = out.mid(0, plan.insertAt);
    result << fresh << out.mid(plan.insertAt);
    return result;
}

} // namespace feed
