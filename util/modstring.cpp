#include "modstring.h"

namespace modString {

namespace {

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
