#include "clsscroller.h"

#include "modparser.h"
#include "modstring.h"
#include "numberrule.h"

namespace {

void appendSetting(QString& s, const QString& n, QStringView prop, const QString& value) {
    if (value.isEmpty())
        return;
    s += n;
    s += prop;
    s += value;
    s += u";\r\n";
}

} // namespace

QString clsScroller::ToString() const {
    const QString& n = sName;
    QString s;
    s.reserve(12 * n.size() + 256);
    s += n;
    s += u" = new Tickora();\r\n";
    s += n;
    s += u".name = '";
    s += n;
    s += u"';\r\n";
    s += n;
    s += u".type = ";
    s += QString::number(iDirn);
    s += u";\r\n";
    appendSetting(s, n, u".width = ", sWidth);
    appendSetting(s, n, u".height = ", sHeight);
    appendSetting(s, n, u".spacing = ", sSpacing);
    appendSetting(s, n, u".itemwidth = ", sDefWidth);
    appendSetting(s, n, u".scrollspeed = ", sSpeed);
    appendSetting(s, n, u".pausedelay = ", sPause);
    s += n;
    s += iMsePause == 0 ? QStringView(u".pausemouseover = true;\r\n")
                        : QStringView(u".pausemouseover = false;\r\n");
    return s;
}

bool clsScroller::SetProperty(QStringView sCode, QString* sError) {
    QStringView raw;
    if (!modParser::propValueView(sCode, &raw)) {
        if (sError)
            *sError = QStringLiteral("The value cannot be read, because a \";\" stands before "
                                     "the \"=\".");
        return false;
    }
    const QStringView name = modParser::propNameView(sCode);
    const QStringView value = modParser::trimSpaces(raw);

    constexpr qsizetype kLongestKey = 14; // "pausemouseover"
    if (name.size() > kLongestKey) {
        // No setting has such a name; item lines with an "=" in their text end here.
    } else if (name == u"name") {
        sName = value.toString();
    } else if (name == u"type") {
        const std::optional<double> v = numberrule::parse(value);
        if (!v) {
            if (sError)
                *sError =
                    QStringLiteral("%1 is not a number for type.").arg(modString::excerpt(value));
            return false;
        }
        const std::optional<double> r = numberrule::roundHalfEven(*v);
        if (!r || *r < -32768.0 || *r > 32767.0) {
            if (sError)
                *sError = QStringLiteral("%1 is out of range for type (it must lie between "
                                         "-32768 and 32767).")
                              .arg(modString::excerpt(value));
            return false;
        }
        iDirn = static_cast<qint16>(*r);
    } else if (name == u"width") {
        sWidth = value.toString();
    } else if (name == u"height") {
        sHeight = value.toString();
    } else if (name == u"spacing") {
        sSpacing = value.toString();
    } else if (name == u"itemwidth") {
        sDefWidth = value.toString();
    } else if (name == u"scrollspeed") {
        sSpeed = value.toString();
    } else if (name == u"pausedelay") {
        sPause = value.toString();
    } else if (name == u"pausemouseover") {
        iMsePause = value == u"true" ? 0 : 1;
    }
    return true;
}
