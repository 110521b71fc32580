#include "embedcode.h"

#include "embedcode_text.h"

#include <QFileInfo>
#include <QUrl>

namespace embedcode {

QString forScript(const QString& scriptPath) {
    // A relative address: spaces and the like percent-encoded, then safe inside the quotes.
    const QString src = QString::fromLatin1(
        QUrl::toPercentEncoding(QFileInfo(scriptPath).fileName(), "!$'()*+,;=@~&"));
    QString code = QString::fromUtf8(kEmbedCodeTemplate).trimmed();
    code.replace(QStringLiteral("{script}"), src.toHtmlEscaped());
    return code;
}

} // namespace embedcode
