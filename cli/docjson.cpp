#include "docjson.h"

#include <QJsonArray>
#include <QLocale>
#include <QSet>

#include <cmath>

namespace docjson {

namespace {

struct TextKey {
    const char* key;
    QString clsScroller::*field;
};

const TextKey kScrollerTexts[] = {
    {"name", &clsScroller::sName},          {"width", &clsScroller::sWidth},
    {"height", &clsScroller::sHeight},      {"scrollSpeed", &clsScroller::sSpeed},
    {"itemWidth", &clsScroller::sDefWidth}, {"spacing", &clsScroller::sSpacing},
    {"pause", &clsScroller::sPause},
};

const struct {
    const char* key;
    QString clsItem::*field;
} kItemTexts[] = {
    {"name", &clsItem::sName},
    {"text", &clsItem::sText},
    {"width", &clsItem::sWidth},
};

// Build scripts may give numbers where the format holds text; they are taken as written.
bool textValue(const QJsonValue& v, const QString& where, QString* out, QString* error) {
    if (v.isString()) {
        *out = v.toString();
        return true;
    }
    if (v.isDouble()) {
        const double d = v.toDouble();
        // The shortest text that gives the same number back: 0.1 stays 0.1.
        *out = (d == std::floor(d) && std::fabs(d) < 1e15)
                   ? QString::number(qint64(d))
                   : QString::number(d, 'g', QLocale::FloatingPointShortest);
        return true;
    }
    *error = QStringLiteral("%1 must be a string or a number.").arg(where);
    return false;
}

bool checkKeys(const QJsonObject& o, const QSet<QString>& allowed, const QString& where,
               QString* error) {
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (!allowed.contains(it.key())) {
            *error = QStringLiteral("%1 has an unknown key \"%2\".").arg(where, it.key());
            return false;
        }
    }
    return true;
}

} // namespace

QJsonObject toJson(const ScrollerDocument& doc, const QString& error,
                   const QList<readcheck::Line>& unread) {
    QJsonObject s;
    for (const TextKey& k : kScrollerTexts)
        s.insert(QLatin1String(k.key), doc.scroller.*k.field);
    s.insert(QStringLiteral("direction"), doc.scroller.iDirn);
    s.insert(QStringLiteral("pauseOnMouseover"), doc.scroller.iMsePause == 0);

    QJsonArray items;
    for (const clsItem& item : doc.items) {
        QJsonObject i;
        for (const auto& k : kItemTexts)
            i.insert(QLatin1String(k.key), item.*k.field);
        items.append(i);
    }
    QJsonObject o;
    o.insert(QStringLiteral("scroller"), s);
    o.insert(QStringLiteral("items"), items);
    o.insert(QStringLiteral("error"), error.isNull() ? QJsonValue() : QJsonValue(error));
    QJsonArray lines;
    for (const readcheck::Line& l : unread)
        lines.append(
            QJsonObject{{QStringLiteral("line"), l.number}, {QStringLiteral("text"), l.text}});
    o.insert(QStringLiteral("unread"), lines);
    return o;
}

bool fromJson(const QJsonObject& o, ScrollerDocument* doc, QString* error) {
    if (!checkKeys(o,
                   {QStringLiteral("scroller"), QStringLiteral("items"), QStringLiteral("error"),
                    QStringLiteral("unread")},
                   QStringLiteral("The document"), error))
        return false;

    const QJsonValue sv = o.value(QStringLiteral("scroller"));
    if (!sv.isUndefined() && !sv.isObject()) {
        *error = QStringLiteral("\"scroller\" must be an object.");
        return false;
    }
    const QJsonObject s = sv.toObject();
    QSet<QString> scrollerKeys{QStringLiteral("direction"), QStringLiteral("pauseOnMouseover")};
    for (const TextKey& k : kScrollerTexts)
        scrollerKeys.insert(QLatin1String(k.key));
    if (!checkKeys(s, scrollerKeys, QStringLiteral("\"scroller\""), error))
        return false;
    for (const TextKey& k : kScrollerTexts) {
        const QJsonValue v = s.value(QLatin1String(k.key));
        if (!v.isUndefined() &&
            !textValue(v, QStringLiteral("scroller.%1").arg(QLatin1String(k.key)),
                       &(doc->scroller.*k.field), error))
            return false;
    }
    const QJsonValue dir = s.value(QStringLiteral("direction"));
    if (!dir.isUndefined()) {
        const double d = dir.toDouble(NAN);
        if (!dir.isDouble() || d != std::floor(d) || d < -32768 || d > 32767) {
            *error = QStringLiteral("scroller.direction must be a whole number between -32768 "
                                    "and 32767 (0 to 3 are the four directions).");
            return false;
        }
        doc->scroller.iDirn = static_cast<qint16>(d);
    }
    const QJsonValue pause = s.value(QStringLiteral("pauseOnMouseover"));
    if (!pause.isUndefined()) {
        if (!pause.isBool()) {
            *error = QStringLiteral("scroller.pauseOnMouseover must be true or false.");
            return false;
        }
        doc->scroller.iMsePause = pause.toBool() ? 0 : 1;
    }

    const QJsonValue iv = o.value(QStringLiteral("items"));
    if (!iv.isUndefined() && !iv.isArray()) {
        *error = QStringLiteral("\"items\" must be an array.");
        return false;
    }
    const QJsonArray items = iv.toArray();
    const QSet<QString> itemKeys{QStringLiteral("name"), QStringLiteral("text"),
                                 QStringLiteral("width")};
    for (qsizetype n = 0; n < items.size(); ++n) {
        const QString where = QStringLiteral("items[%1]").arg(n);
        if (!items[n].isObject()) {
            *error = QStringLiteral("%1 must be an object.").arg(where);
            return false;
        }
        const QJsonObject io = items[n].toObject();
        if (!checkKeys(io, itemKeys, where, error))
            return false;
        clsItem item;
        for (const auto& k : kItemTexts) {
            const QJsonValue v = io.value(QLatin1String(k.key));
            if (!v.isUndefined() &&
                !textValue(v, where + u'.' + QLatin1String(k.key), &(item.*k.field), error))
                return false;
        }
        doc->items.append(item);
    }
    return true;
}

} // namespace docjson
