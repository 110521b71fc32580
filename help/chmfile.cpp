#include "chmfile.h"

#include "chmcheck.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <chm_lib.h>

#include <QFile>

#include <algorithm>
#include <functional>

namespace help {

namespace {

quint32 dword(const QByteArray& b, int at) {
    if (at < 0 || at + 4 > b.size())
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(b.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 word(const QByteArray& b, int at) {
    if (at < 0 || at + 2 > b.size())
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(b.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

QString normalise(QString inner) {
    inner.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // An anchor ends a topic path; system files such as "/#SYSTEM" begin with '#'.
    const int hash = inner.indexOf(QLatin1Char('#'), 1);
    if (hash > 0 && inner[hash - 1] != QLatin1Char('/'))
        inner.truncate(hash);
    if (!inner.startsWith(QLatin1Char('/')))
        inner.prepend(QLatin1Char('/'));
    // Fold "a/../b" and "./" so links relative to a topic's folder resolve.
    QStringList out;
    for (const QString& part : inner.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out << part;
    }
    return QLatin1Char('/') + out.join(QLatin1Char('/'));
}

QString decodeEntities(QString s) {
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9a-fA-F]+);"));
    QRegularExpressionMatch m;
    int from = 0;
    while ((m = numeric.match(s, from)).hasMatch()) {
        bool ok = false;
        const uint code = m.captured(2).toUInt(&ok, m.captured(1).isEmpty() ? 10 : 16);
        const QString ch =
            ok ? QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1) : QString();
        s.replace(m.capturedStart(), m.capturedLength(), ch);
        from = m.capturedStart() + ch.size();
    }
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    s.replace(QLatin1String("&quot;"), QLatin1String("\""));
    s.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    s.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return s;
}

QString attribute(const QString& attrs, const QString& name) {
    const QRegularExpression re(QStringLiteral("\\b%1\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|([^\\s>]+))")
                                    .arg(QRegularExpression::escape(name)),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(attrs);
    if (!m.hasMatch())
        return QString();
    for (int i = 2; i <= 4; ++i) {
        if (m.capturedStart(i) >= 0)
            return decodeEntities(m.captured(i));
    }
    return QString();
}

QString plainText(const QString& html) {
    static const QRegularExpression hidden(QStringLiteral("<(script|style|head)\\b.*?</\\1\\s*>"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString s = html;
    s.remove(hidden);
    s.replace(tags, QStringLiteral(" "));
    return decodeEntities(s);
}

QStringList words(const QString& text) {
    static const QRegularExpression sep(QStringLiteral("[^\\w]+"),
                                        QRegularExpression::UseUnicodePropertiesOption);
    return text.toLower().split(sep, Qt::SkipEmptyParts);
}

// Inner files are listed only under names a lookup can reach: a path of the file, not a
// folder, already in the form lookups bring every name into.
bool reachable(const QString& path) {
    return path.startsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('/')) &&
           normalise(path) == path;
}

int enumerateFile(struct chmFile*, struct chmUnitInfo* ui, void* context) {
    auto* files = static_cast<QStringList*>(context);
    const QString path = QString::fromUtf8(ui->path);
    if (reachable(path))
        files->append(path);
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

ChmFile::ChmFile() = default;

ChmFile::~ChmFile() {
    if (m_handle)
        chm_close(m_handle);
}

bool ChmFile::open(const QString& path) {
    if (m_handle) {
        chm_close(m_handle);
        m_handle = nullptr;
    }
    m_files.clear();
    m_windows.clear();
    m_unpacked = false;
    m_unpackedFiles.clear();
    m_path = path;
    m_problem.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_problem = file.exists() ? QStringLiteral("it cannot be read") : QString();
        return false;
    }
    // The reading library trusts the file's structures; they are checked first.
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    file.close();
    if (bytes.isEmpty())
        m_problem = QStringLiteral("it is empty");
    else if (bytes.size() > kMaxFileSize)
        m_problem = QStringLiteral("it is too large for a help file");
    else
        m_problem = chmcheck::problem(bytes);
    if (!m_problem.isEmpty())
        return false;
    m_handle = chm_open(QFile::encodeName(path).constData());
    if (!m_handle) {
        m_problem = QStringLiteral("it cannot be read as a help file");
        return false;
    }
    chm_enumerate(m_handle, CHM_ENUMERATE_ALL, enumerateFile, &m_files);
    readSystem();
    readWindows();
    return true;
}

void ChmFile::openUnpacked(const QMap<QString, QByteArray>& files) {
    if (m_handle) {
        chm_close(m_handle);
        m_handle = nullptr;
    }
    m_unpacked = true;
    m_unpackedFiles = files;
    m_files.clear();
    for (const QString& name : files.keys())
        if (reachable(name))
            m_files.append(name);
    m_windows.clear();
    m_problem.clear();
    m_path.clear();
    readSystem();
    readWindows();
}

QString ChmFile::resolve(const QString& innerPath) const {
    if (innerPath.isEmpty())
        return QString();
    const QString wanted = normalise(innerPath);
    for (const QString& f : m_files) {
        if (f.compare(wanted, Qt::CaseInsensitive) == 0)
            return f;
    }
    return QString();
}

QByteArray ChmFile::read(const QString& innerPath) const {
    const QString stored = resolve(innerPath);
    if (stored.isEmpty())
        return QByteArray();
    if (m_unpacked)
        return m_unpackedFiles.value(stored);
    if (!m_handle)
        return QByteArray();
    chmUnitInfo ui;
    if (chm_resolve_object(m_handle, stored.toUtf8().constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return QByteArray();
    QByteArray data(qsizetype(ui.length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(
        m_handle, &ui, reinterpret_cast<unsigned char*>(data.data()), 0, LONGINT64(ui.length));
    data.truncate(qsizetype(std::max<LONGINT64>(got, 0)));
    return data;
}

QString ChmFile::readText(const QString& innerPath) const {
    const QByteArray data = read(innerPath);
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*[\"']?([\\w-]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = charset.match(QString::fromLatin1(data.left(1024)));
    if (m.hasMatch()) {
        QStringDecoder declared(m.captured(1).toLatin1().constData());
        if (declared.isValid())
            return declared.decode(data);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(data);
    return utf8.hasError() ? QString::fromLatin1(data) : text;
}

void ChmFile::readSystem() {
    const QByteArray sys = read(QStringLiteral("/#SYSTEM"));
    for (int at = 4; at + 4 <= sys.size();) {
        const quint16 code = word(sys, at);
        const quint16 len = word(sys, at + 2);
        const QByteArray value = sys.mid(at + 4, len);
        const QString text = QString::fromLatin1(value.left(value.indexOf('\0')));
        switch (code) {
        case 0:
            m_contentsFile = text;
            break;
        case 1:
            m_indexFile = text;
            break;
        case 2:
            m_defaultTopic = text;
            break;
        case 3:
            m_title = text;
            break;
        case 5:
            m_defaultWindow = text;
            break;
        default:
            break;
        }
        at += 4 + len;
    }
}

QString ChmFile::stringAt(const QByteArray& strings, quint32 offset) const {
    if (offset == 0 || offset >= quint32(strings.size()))
        return QString();
    const int end = strings.indexOf('\0', int(offset));
    return QString::fromLatin1(strings.mid(int(offset), end < 0 ? -1 : end - int(offset)));
}

void ChmFile::readWindows() {
    const QByteArray win = read(QStringLiteral("/#WINDOWS"));
    const QByteArray strings = read(QStringLiteral("/#STRINGS"));
    const quint32 count = dword(win, 0);
    const quint32 size = dword(win, 4);
    if (size < 112)
        return;
    for (quint32 i = 0; i < count; ++i) {
        if (8 + (quint64(i) + 1) * size > quint64(win.size()))
            break;
        const int e = 8 + int(i * size);
        WindowDef w;
        w.name = stringAt(strings, dword(win, e + 8));
        w.caption = stringAt(strings, dword(win, e + 20));
        const int left = int(dword(win, e + 32));
        const int top = int(dword(win, e + 36));
        const int right = int(dword(win, e + 40));
        const int bottom = int(dword(win, e + 44));
        if (right > left && bottom > top)
            w.rect = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
        w.navWidth = int(dword(win, e + 76));
        w.toc = stringAt(strings, dword(win, e + 96));
        w.index = stringAt(strings, dword(win, e + 100));
        w.home = stringAt(strings, dword(win, e + 108));
        if (w.home.isEmpty())
            w.home = stringAt(strings, dword(win, e + 104));
        m_windows.append(w);
    }
}

const ChmFile::WindowDef* ChmFile::window(const QString& name) const {
    for (const WindowDef& w : m_windows) {
        if (w.name.compare(name, Qt::CaseInsensitive) == 0)
            return &w;
    }
    return nullptr;
}

QList<ChmFile::TocEntry> ChmFile::parseSitemap(const QString& html) {
    // A sitemap is nested <ul> lists of <object type="text/sitemap"> entries with <param>s.
    static const QRegularExpression tag(QStringLiteral("<(/?)(ul|object|param)\\b([^>]*)>"),
                                        QRegularExpression::CaseInsensitiveOption);
    QList<TocEntry> root;
    QList<QList<TocEntry>*> stack{&root};
    TocEntry current;
    bool inObject = false;
    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        const QString attrs = m.captured(3);
        if (name == QLatin1String("ul")) {
            if (!closing) {
                QList<TocEntry>* level = stack.last();
                // A nested list belongs to the entry just before it.
                stack.append(level->isEmpty() ? level : &level->last().children);
            } else if (stack.size() > 1) {
                stack.removeLast();
            }
        } else if (name == QLatin1String("object")) {
            if (!closing &&
                attribute(attrs, QStringLiteral("type"))
                        .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0) {
                inObject = true;
                current = TocEntry();
            } else if (closing && inObject) {
                inObject = false;
                if (!current.name.isEmpty())
                    stack.last()->append(current);
            }
        } else if (name == QLatin1String("param") && inObject) {
            const QString key = attribute(attrs, QStringLiteral("name")).toLower();
            const QString value = attribute(attrs, QStringLiteral("value"));
            if (key == QLatin1String("name") && current.name.isEmpty())
                current.name = value;
            else if (key == QLatin1String("local") && current.local.isEmpty())
                current.local = value;
        }
    }
    return root;
}

QList<ChmFile::TocEntry> ChmFile::contents() const {
    QString file = m_contentsFile;
    if (file.isEmpty()) {
        for (const QString& f : m_files) {
            if (f.endsWith(QLatin1String(".hhc"), Qt::CaseInsensitive))
                file = f;
        }
    }
    return parseSitemap(readText(file));
}

QList<ChmFile::IndexEntry> ChmFile::index() const {
    QString file = m_indexFile;
    if (file.isEmpty()) {
        for (const QString& f : m_files) {
            if (f.endsWith(QLatin1String(".hhk"), Qt::CaseInsensitive))
                file = f;
        }
    }
    QList<IndexEntry> out;
    std::function<void(const QList<TocEntry>&)> walk = [&](const QList<TocEntry>& entries) {
        for (const TocEntry& e : entries) {
            auto same = std::find_if(out.begin(), out.end(), [&](const IndexEntry& x) {
                return x.keyword.compare(e.name, Qt::CaseInsensitive) == 0;
            });
            const qsizetype at = same - out.begin();
            if (same == out.end())
                out.append(IndexEntry{e.name, {}});
            IndexEntry& entry = out[at];
            if (!e.local.isEmpty() && !entry.locals.contains(e.local))
                entry.locals.append(e.local);
            walk(e.children);
        }
    };
    walk(parseSitemap(readText(file)));
    std::sort(out.begin(), out.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return a.keyword.compare(b.keyword, Qt::CaseInsensitive) < 0;
    });
    return out;
}

QString ChmFile::contextTopic(qint32 id) const {
    const QByteArray ivb = read(QStringLiteral("/#IVB"));
    const QByteArray strings = read(QStringLiteral("/#STRINGS"));
    const int end = std::min<qsizetype>(ivb.size(), 4 + qsizetype(dword(ivb, 0)));
    for (int at = 4; at + 8 <= end; at += 8) {
        if (qint32(dword(ivb, at)) != id)
            continue;
        const QString stored = stringAt(strings, dword(ivb, at + 4));
        const int hash = stored.indexOf(QLatin1Char('#'));
        const QString topic = resolve(hash < 0 ? stored : stored.left(hash));
        return topic.isEmpty() ? QString() : topic + (hash < 0 ? QString() : stored.mid(hash));
    }
    return QString();
}

QString ChmFile::topicTitle(const QString& innerPath) const {
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = title.match(readText(innerPath));
    return m.hasMatch() ? decodeEntities(m.captured(1)).simplified() : innerPath;
}

QStringList ChmFile::topicFiles() const {
    QStringList out;
    for (const QString& f : m_files) {
        if (f.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
            f.endsWith(QLatin1String(".html"), Qt::CaseInsensitive))
            out << f;
    }
    return out;
}

QList<ChmFile::SearchHit> ChmFile::search(const QString& query) const {
    const QStringList wanted = words(query);
    QList<SearchHit> hits;
    if (wanted.isEmpty())
        return hits;
    for (const QString& f : topicFiles()) {
        const QString html = readText(f);
        const QStringList found = words(plainText(html));
        int score = 0;
        bool all = true;
        for (const QString& w : wanted) {
            // A word matches itself and longer forms of it ("scroll" finds "scrolling").
            const int n = int(std::count_if(found.begin(), found.end(),
                                            [&](const QString& t) { return t.startsWith(w); }));
            if (n == 0) {
                all = false;
                break;
            }
            score += n;
        }
        if (all)
            hits.append(SearchHit{topicTitle(f), f, score});
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const SearchHit& a, const SearchHit& b) { return a.score > b.score; });
    return hits;
}

QStringList ChmFile::aLinkTopics(const QStringList& names) const {
    static const QRegularExpression param(
        QStringLiteral("<param\\s+name\\s*=\\s*\"ALink Name\"\\s+value\\s*=\\s*\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    for (const QString& f : topicFiles()) {
        auto it = param.globalMatch(readText(f));
        while (it.hasNext()) {
            const QStringList links = decodeEntities(it.next().captured(1)).split(QLatin1Char(';'));
            const bool hit = std::any_of(links.begin(), links.end(), [&](const QString& l) {
                return names.contains(l.trimmed(), Qt::CaseInsensitive);
            });
            if (hit && !out.contains(f))
                out << f;
        }
    }
    return out;
}

QString ChmFile::popupText(const QString& innerPath, qint32 id) const {
    const QString text = readText(innerPath);
    if (text.isEmpty())
        return QString();
    QStringList lines = text.split(QLatin1Char('\n'));
    QString out;
    bool inTopic = false;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1String(".topic"), Qt::CaseInsensitive)) {
            if (inTopic)
                break;
            bool ok = false;
            const qint32 n = line.mid(6).trimmed().toInt(&ok);
            inTopic = ok && n == id;
            continue;
        }
        if (inTopic)
            out += line + QLatin1Char('\n');
    }
    if (!inTopic)
        return QString();
    return out.trimmed();
}

} // namespace help
