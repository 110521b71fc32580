#include "modstring.h"

namespace modString {

namespace {

bool isLineSeparator(QChar c) {
    return c == QChar(0x2028) || c == QChar(0x2029);
}

bool isDrivePath(const QString& s) {
    return s.size() >= 3 && s[1] == u':' && s[2] == u'\\';
}

// Strips the folders the two paths share, climbs one level for every folder of the base that
// is left, then descends into what is left of the target.
QString stripAndClimb(const QString& sFolder, const QString& sFile, QChar sep) {
    QStringView b;
    const QString base = sFolder + sep;
    b = base;
    QStringView t = sFile;
    for (;;) {
        const qsizetype ib = b.indexOf(sep);
        const qsizetype it = t.indexOf(sep);
        if (ib < 0 || it < 0 || b.left(ib + 1) != t.left(it + 1))
            break;
        b = b.mid(ib + 1);
        t = t.mid(it + 1);
    }
    QString r;
    r.reserve(t.size() + 3 * b.count(sep));
    for (qsizetype i = b.count(sep); i > 0; --i)
        r += u"../";
    // In a POSIX path a backslash is a character of a name, not a separator.
    if (sep == u'\\') {
        for (QChar c : t)
            r += (c == u'\\') ? QChar(u'/') : c;
    } else {
        r += t;
    }
    return r;
}

} // namespace

QString EscapeQuotes(const QString& text) {
    if (!text.contains(u'\''))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < n && text[i + 1] == u'\'') {
            out += u"\\'";
            ++i;
        } else if (c == u'\'') {
            out += u"\\'";
        } else {
            out += c;
        }
    }
    return out;
}

QString LineBreaksToBr(const QString& text) {
    if (!text.contains(u"\r\n"))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    return out;
}

QString ScriptSafe(const QString& text) {
    if (scriptStringProblem(text).isEmpty())
        return text;
    QString out;
    out.reserve(text.size() + 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            out += u"<br>";
        } else if (isLineSeparator(c)) {
            out += QStringLiteral("&#%1;").arg(c.unicode());
        } else if (c == u'\\') {
            if (i + 1 < n && text[i + 1] == u'\'') {
                out += u"\\'";
                ++i;
            } else {
                out += u"&#92;";
            }
        } else if (c == u'\'') {
            out += u"\\'";
        } else {
            out += c;
        }
    }
    return out;
}

QString scriptStringProblem(QStringView text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n' || isLineSeparator(c))
            return QStringLiteral("A line break must be written as <br>.");
        if (c == u'\\') {
            if (i + 1 < n && text[i + 1] == u'\'') {
                ++i;
                continue;
            }
            return QStringLiteral("A backslash that does not escape a quote (\\') must be "
                                  "written as &#92;.");
        }
        if (c == u'\'')
            return QStringLiteral("A single quote must be escaped as \\'.");
    }
    return {};
}

QString excerpt(QStringView value) {
    constexpr qsizetype kShown = 40;
    if (value.size() <= kShown)
        return QStringLiteral("\"%1\"").arg(value);
    // Never cut a surrogate pair in half.
    qsizetype cut = kShown - 8;
    if (value[cut - 1].isHighSurrogate())
        --cut;
    return QStringLiteral("\"%1\"... (%2 characters)").arg(value.left(cut)).arg(value.size());
}

QString GetFolder(const QString& sPath) {
    // In a POSIX path a backslash is a character of a name.
    const bool posix = sPath.startsWith(u'/');
    qsizetype i = sPath.size() - 1;
    while (i >= 0 && sPath[i] != u'/' && (posix || sPath[i] != u'\\'))
        --i;
    return i > 0 ? sPath.left(i) : QString();
}

QString GetRelativeUrl(const QString& sFolder, const QString& sFile) {
    if (isDrivePath(sFile)) {
        if (!sFolder.isEmpty() && sFolder[0] == sFile[0])
            return stripAndClimb(sFolder, sFile, u'\\');
        return QStringLiteral("file:///") + sFile;
    }
    if (sFile.startsWith(u'/')) {
        if (sFolder.startsWith(u'/'))
            return stripAndClimb(sFolder, sFile, u'/');
        return QStringLiteral("file://") + sFile;
    }
    return QStringLiteral("file:///") + sFile;
}

} // namespace modString
