#include "embedcode.h"

#include "embedcode_text.h"

#include <QFileInfo>
#include <QUrl>

namespace embedcode {

namespace {

// A width or height the page can reserve before any script runs; the runtime decides the rest.
QString reserved(const char* property, const QString& value) {
    bool number = false;
    const double v = value.trimmed().toDouble(&number);
    if (!number || v <= 0)
        return QString();
    return QStringLiteral("%1:%2px;").arg(QLatin1String(property), QString::number(v));
}

} // namespace

QString forScript(const QString& scriptPath, const clsScroller& scroller) {
    // A relative address: spaces and the like percent-encoded, then safe inside the quotes.
    const QString src = QString::fromLatin1(
        QUrl::toPercentEncoding(QFileInfo(scriptPath).fileName(), "!$'()*+,;=@~&"));
    QString code = QString::fromUtf8(kEmbedCodeTemplate).trimmed();
    code.replace(QStringLiteral("{script}"), src.toHtmlEscaped());
    code.replace(QStringLiteral("{name}"), scroller.sName.toHtmlEscaped());
    QString style = reserved("width", scroller.sWidth) + reserved("height", scroller.sHeight);
    style.chop(1);
    code.replace(QStringLiteral("{style}"), style);
    return code;
}

} // namespace embedcode
