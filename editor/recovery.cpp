#include "recovery.h"

#include "appinfo.h"
#include "editordocument.h"
#include "processid.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>

namespace recovery {

namespace {

constexpr quint32 kMagic = 0x544b5243; // "TKRC"
constexpr quint32 kVersion = 1;
const QString kSuffix = QStringLiteral(".recovery");
const QString kOpenSuffix = QStringLiteral(".open");
int g_delayMs = 2000;

// Items, each with its key when there are keys. Counts are checked against the bytes there are,
// so no damaged count makes a list grow beyond them.
void put(QDataStream& s, const QList<clsItem>& items, const QStringList* keys) {
    s << qint64(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (keys)
            s << keys->at(i);
        s << items[i].sName << items[i].sText << items[i].sWidth;
    }
}
bool get(QDataStream& s, QList<clsItem>& items, QStringList* keys, qint64 limit) {
    qint64 n = 0;
    s >> n;
    if (n < 0 || n > limit)
        return false;
    for (qint64 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
        clsItem item;
        if (keys) {
            keys->append(QString());
            s >> keys->last();
        }
        s >> item.sName >> item.sText >> item.sWidth;
        items << item;
    }
    return s.status() == QDataStream::Ok;
}

} // namespace

QString folder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // By the base directory rules a relative path is invalid and ignored.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tickora-creator/recovery");
}

QByteArray encode(const Copy& c) {
    QByteArray payload;
    {
        QDataStream s(&payload, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_0);
        const clsScroller& r = c.scroller;
        s << c.owner << c.changed.toMSecsSinceEpoch() << c.filePath << qint32(c.encoding);
        s << r.sName << r.sWidth << r.sHeight << r.sSpeed << r.iDirn << r.iMsePause << r.sDefWidth
          << r.sSpacing << r.sPause;
        put(s, c.items, &c.keys);
        s << c.nextItem << qint32(c.current);
        const feed::Source& f = c.feed;
        s << f.address << qint32(f.options.nameLength) << qint32(f.options.summaryLength)
          << f.options.titleMarkup << qint32(f.maxEntries) << f.etag << f.lastModified;
        put(s, f.items, nullptr);
        s << c.disk.exists << c.disk.size << c.disk.modified << c.disk.hash;
    }
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << kMagic << kVersion << payload
      << QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
    return out;
}

bool decode(const QByteArray& bytes, Copy* copy, QString* error) {
    QDataStream head(bytes);
    head.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint32 version = 0;
    head >> magic >> version;
    if (head.status() != QDataStream::Ok || magic != kMagic) {
        *error = QStringLiteral("it is not a recovery copy");
        return false;
    }
    if (version > kVersion) {
        *error = QStringLiteral("it was kept by a newer version of %1").arg(appinfo::kAppName);
        return false;
    }
    QByteArray payload;
    QByteArray sum;
    head >> payload >> sum;
    if (head.status() != QDataStream::Ok) {
        *error = QStringLiteral("it is cut short");
        return false;
    }
    if (sum != QCryptographicHash::hash(payload, QCryptographicHash::Sha256)) {
        *error = QStringLiteral("it is damaged");
        return false;
    }
    Copy c;
    QDataStream s(payload);
    s.setVersion(QDataStream::Qt_6_0);
    qint64 changed = 0;
    qint32 encoding = 0;
    clsScroller& r = c.scroller;
    s >> c.owner >> changed >> c.filePath >> encoding;
    s >> r.sName >> r.sWidth >> r.sHeight >> r.sSpeed >> r.iDirn >> r.iMsePause >> r.sDefWidth >>
        r.sSpacing >> r.sPause;
    const qint64 limit = payload.size(); // every item takes bytes: no count beyond them
    bool ok = get(s, c.items, &c.keys, limit);
    qint32 current = -1;
    s >> c.nextItem >> current;
    feed::Source& f = c.feed;
    qint32 nameLength = 0;
    qint32 summaryLength = 0;
    qint32 maxEntries = 0;
    s >> f.address >> nameLength >> summaryLength >> f.options.titleMarkup >> maxEntries >>
        f.etag >> f.lastModified;
    ok = ok && get(s, f.items, nullptr, limit);
    s >> c.disk.exists >> c.disk.size >> c.disk.modified >> c.disk.hash;
    if (!ok || s.status() != QDataStream::Ok || !s.atEnd() || c.keys.size() != c.items.size() ||
        encoding < int(TextEncoding::Utf8) || encoding > int(TextEncoding::Windows1252) ||
        current < -1 || current >= c.items.size()) {
        *error = QStringLiteral("it is damaged");
        return false;
    }
    c.changed = QDateTime::fromMSecsSinceEpoch(changed);
    c.encoding = TextEncoding(encoding);
    c.current = current;
    f.options.nameLength = nameLength;
    f.options.summaryLength = summaryLength;
    f.maxEntries = maxEntries;
    *copy = std::move(c);
    return true;
}

Scan leftBehind() {
    Scan scan;
    const QDir dir(folder());
    const QString own = platform::processId();
    for (const QFileInfo& info :
         dir.entryInfoList({QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Name)) {
        const QString owner = info.completeBaseName();
        if (owner == own || platform::isRunning(owner))
            continue;
        QFile file(info.filePath());
        Left left{info.filePath(), {}};
        QString error;
        if (!file.open(QIODevice::ReadOnly))
            error = file.errorString();
        else if (decode(file.readAll(), &left.copy, &error)) {
            scan.copies << left;
            continue;
        }
        file.close();
        const QString aside = info.filePath() + QStringLiteral(".damaged");
        QFile::remove(aside);
        QFile::rename(info.filePath(), aside);
        scan.setAside << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(aside), error);
    }
    // Notes of open files left by editors that are gone name no window any more.
    for (const QFileInfo& info : dir.entryInfoList({QLatin1Char('*') + kOpenSuffix}, QDir::Files))
        if (!platform::isRunning(info.completeBaseName()))
            QFile::remove(info.filePath());
    std::sort(scan.copies.begin(), scan.copies.end(),
              [](const Left& a, const Left& b) { return a.copy.changed > b.copy.changed; });
    return scan;
}

void Keeper::setDelay(int ms) {
    g_delayMs = ms;
}

int Keeper::delay() {
    return g_delayMs;
}

Keeper::Keeper(EditorDocument& doc, QObject* parent)
    : QObject(parent), m_doc(doc), m_path(folder() + u'/' + platform::processId() + kSuffix),
      m_pause(new QTimer(this)), m_writer(std::make_unique<QThreadPool>()) {
    m_writer->setMaxThreadCount(1);
    m_pause->setSingleShot(true);
    connect(m_pause, &QTimer::timeout, this, &Keeper::update);
    // Not restarted by each change: a copy is at most one pause behind, however fast the typing.
    const auto changed = [this] {
        if (!m_pause->isActive())
            m_pause->start(g_delayMs);
    };
    connect(m_doc.undoStack(), &QUndoStack::indexChanged, this, changed);
    connect(&m_doc, &EditorDocument::stateChanged, this, changed);
    connect(&m_doc, &EditorDocument::stateChanged, this, &Keeper::noteOpenFile);
}

void Keeper::noteOpenFile() {
    const QString path =
        m_doc.filePath().isEmpty() ? QString() : QFileInfo(m_doc.filePath()).absoluteFilePath();
    if (path == m_notedFile)
        return;
    m_notedFile = path;
    if (m_openNote.isEmpty())
        m_openNote = QFileInfo(m_path).absolutePath() + u'/' + platform::processId() + kOpenSuffix;
    if (path.isEmpty()) {
        QFile::remove(m_openNote);
        return;
    }
    // A note that cannot be written only costs the warning in another window.
    QDir().mkpath(QFileInfo(m_openNote).absolutePath());
    QSaveFile note(m_openNote);
    if (note.open(QIODevice::WriteOnly)) {
        note.write(path.toUtf8());
        note.commit();
    }
}

bool Keeper::openElsewhere(const QString& path) {
    const QString wanted = QFileInfo(path).canonicalFilePath();
    const QString own = platform::processId();
    for (const QFileInfo& info :
         QDir(folder()).entryInfoList({QLatin1Char('*') + kOpenSuffix}, QDir::Files)) {
        const QString owner = info.completeBaseName();
        if (owner == own || !platform::isRunning(owner))
            continue;
        QFile note(info.filePath());
        if (note.open(QIODevice::ReadOnly) &&
            QFileInfo(QString::fromUtf8(note.readAll())).canonicalFilePath() == wanted &&
            !wanted.isEmpty())
            return true;
    }
    return false;
}

Keeper::~Keeper() {
    m_pause->stop();
    m_writer->waitForDone();
    // The program ends cleanly: whatever was to be kept was saved or given up.
    QFile::remove(m_path);
    if (!m_openNote.isEmpty())
        QFile::remove(m_openNote);
}

void Keeper::flush() {
    m_pause->stop();
    update();
    m_writer->waitForDone();
}

void Keeper::update() {
    if (!m_doc.isDirty()) {
        if (std::exchange(m_onDisk, false))
            m_writer->start([path = m_path] { QFile::remove(path); });
        return;
    }
    m_onDisk = true;
    // The snapshot shares the document's lists (no copy on this thread); the bytes are made on
    // the writer's.
    m_writer->start([this, path = m_path, copy = m_doc.snapshot()] {
        const QByteArray bytes = encode(copy);
        QString error;
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            error = QStringLiteral("the folder \"%1\" cannot be made")
                        .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        } else {
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
                !file.commit())
                error = file.errorString();
        }
        // Signals from this thread reach the window's thread queued.
        if (error.isEmpty())
            emit written();
        else
            emit failed(error);
    });
}

} // namespace recovery
