#include "recentfiles.h"

#include "userconfig.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("recentFiles");

QString sameFileKey(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentFiles::RecentFiles(QMenu* menu, QAction* before, QObject* parent)
    : QObject(parent), m_menu(menu), m_before(before) {
    m_paths = stored();
    rebuild();
}

QStringList RecentFiles::pushed(const QStringList& list, const QString& path, int limit) {
    const QString key = sameFileKey(path);
    QStringList out{key};
    for (const QString& p : list) {
        if (out.size() >= limit)
            break;
        if (!p.isEmpty() && sameFileKey(p) != key)
            out << p;
    }
    return out;
}

QString RecentFiles::caption(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    constexpr int kLongest = 70;
    if (shown.size() > kLongest)
        shown = shown.left(20) + QStringLiteral("...") + shown.right(kLongest - 23);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

void RecentFiles::add(const QString& path) {
    // Another window of the user may have added entries meanwhile.
    m_paths = pushed(stored(), path);
    store(m_paths);
    rebuild();
}

void RecentFiles::remove(const QString& path) {
    const QString key = sameFileKey(path);
    QStringList kept;
    for (const QString& p : stored())
        if (sameFileKey(p) != key)
            kept << p;
    m_paths = kept;
    store(m_paths);
    rebuild();
}

QStringList RecentFiles::stored() const {
    QStringList list = userconfig::settings()->value(kKey).toStringList();
    list.removeAll(QString());
    return list.mid(0, kLimit);
}

void RecentFiles::store(const QStringList& paths) {
    userconfig::write([&paths](QSettings& s) { s.setValue(kKey, paths); });
}

void RecentFiles::rebuild() {
    qDeleteAll(m_entries);
    m_entries.clear();
    for (int i = 0; i < m_paths.size(); ++i) {
        auto* a = new QAction(caption(i, m_paths[i]), m_menu);
        a->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        a->setToolTip(QDir::toNativeSeparators(m_paths[i]));
        a->setStatusTip(a->toolTip());
        const QString path = m_paths[i];
        connect(a, &QAction::triggered, this, [this, path] { emit chosen(path); });
        m_menu->insertAction(m_before, a);
        m_entries << a;
    }
    if (!m_separator) {
        m_separator = new QAction(m_menu);
        m_separator->setSeparator(true);
        m_separator->setObjectName(QStringLiteral("mnuFileRecentSep"));
        m_menu->insertAction(m_before, m_separator);
    }
    m_separator->setVisible(!m_entries.isEmpty());
}
