#include "editorrules.h"

#include "modstring.h"
#include "scriptwriter.h"

#include <QDir>
#include <QFileInfo>

namespace editorrules {

QString caption(const QString& sFilePath, bool bDirty) {
    const QString name = sFilePath.isEmpty() ? QStringLiteral("New") : sFilePath;
    return kAppTitle + QStringLiteral(" - [") + name +
           (bDirty ? QStringLiteral("*]") : QStringLiteral("]"));
}

QString toModelLineBreaks(const QString& fieldText) {
    if (!fieldText.contains(u'\n') && !fieldText.contains(u'\r'))
        return fieldText;
    QString out;
    out.reserve(fieldText.size() + 16);
    const qsizetype n = fieldText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = fieldText[i];
        if (c == u'\r') {
            if (i + 1 < n && fieldText[i + 1] == u'\n')
                ++i;
            out += u"\r\n";
        } else if (c == u'\n') {
            out += u"\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

QString toFieldLineBreaks(const QString& modelText) {
    QString out = modelText;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

QString scriptSafe(const QString& text) {
    return modString::ScriptSafe(text);
}

QString reservedNameMessage(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    QStringList reserved = scriptwriter::projectFiles();
    reserved << appinfo::kPreviewScript;
    for (const QString& r : reserved) {
        if (name.compare(r, Qt::CaseInsensitive) == 0)
            return QStringLiteral("The scroller cannot be saved as \"%1\": a file of that name "
                                  "must stand beside every scroller script, and saving would "
                                  "overwrite it or be overwritten by it.\nPlease choose another "
                                  "name.")
                .arg(QDir::toNativeSeparators(path));
    }
    return {};
}

QString stringTable(int id) {
    switch (id) {
    case 101:
        return QStringLiteral("Save the scroller to set project folder. Press OK to continue.");
    case 102:
        return QStringLiteral("Do you want to save the changes?");
    default:
        return {};
    }
}

} // namespace editorrules
