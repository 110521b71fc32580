#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>

struct chmFile;

namespace help {

// Read access to a compiled help file: its inner files, window definitions, contents, index,
// context numbers and text popups. Inner paths are written "/html/topic.htm"; lookups accept
// backslashes, a missing leading slash and any letter case.
class ChmFile {
public:
    struct WindowDef {
        QString name;
        QString caption;
        QRect rect; // screen position and size; empty when the definition has none
        int navWidth = 0;
        QString toc;
        QString index;
        QString home;
    };

    struct TocEntry {
        QString name;
        QString local; // inner path, possibly with "#anchor"
        QList<TocEntry> children;
    };

    struct IndexEntry {
        QString keyword;
        QStringList locals;
    };

    struct SearchHit {
        QString title;
        QString local;
        int score = 0;
    };

    ChmFile();
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // Help files larger than this are refused unread.
    static constexpr qsizetype kMaxFileSize = 256 << 20;

    // Checks the file's structures, then opens it. On failure problem() says what is wrong with
    // a file that exists (empty when there is none).
    bool open(const QString& path);
    QString problem() const { return m_problem; }
    // Reads inner files already taken out of a help file ("/#SYSTEM", "/html/a.htm", ...), for
    // checking the parsers without the decompressing library.
    void openUnpacked(const QMap<QString, QByteArray>& files);
    QString path() const { return m_path; }

    QStringList files() const { return m_files; }
    // The inner path as stored, or an empty text when there is no such file.
    QString resolve(const QString& innerPath) const;
    QByteArray read(const QString& innerPath) const;
    // A topic's text, decoded by its declared character set (UTF-8 by default, Latin-1 for bytes
    // that are not UTF-8).
    QString readText(const QString& innerPath) const;

    QString title() const { return m_title; }
    QString defaultTopic() const { return m_defaultTopic; }
    QString defaultWindow() const { return m_defaultWindow; }
    QList<WindowDef> windows() const { return m_windows; }
    const WindowDef* window(const QString& name) const;

    QList<TocEntry> contents() const;
    QList<IndexEntry> index() const;
    // The topic a context number leads to, or an empty text.
    QString contextTopic(qint32 id) const;
    // Topic titles from <title>, for search results.
    QString topicTitle(const QString& innerPath) const;
    // Topics holding every word of the query, best first.
    QList<SearchHit> search(const QString& query) const;
    // Topics that name one of the given associative links.
    QStringList aLinkTopics(const QStringList& names) const;

    // Topic `id` of a popup text file (".topic <number>" sections), or a null text.
    QString popupText(const QString& innerPath, qint32 id) const;

    static QList<TocEntry> parseSitemap(const QString& html);

private:
    void readSystem();
    void readWindows();
    QString stringAt(const QByteArray& strings, quint32 offset) const;
    QStringList topicFiles() const;

    ::chmFile* m_handle = nullptr;
    bool m_unpacked = false;
    QMap<QString, QByteArray> m_unpackedFiles;
    QString m_path;
    QString m_problem;
    QStringList m_files;
    QString m_title;
    QString m_defaultTopic;
    QString m_defaultWindow;
    QString m_contentsFile;
    QString m_indexFile;
    QList<WindowDef> m_windows;
};

} // namespace help
