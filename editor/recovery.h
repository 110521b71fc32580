#pragma once

#include "clsitem.h"
#include "clsscroller.h"
#include "diskwatch.h"
#include "feedsource.h"
#include "textencoding.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>

class EditorDocument;
class QThreadPool;
class QTimer;

// Recovery copies: while a document has unsaved changes, a copy of it is kept in the user's state
// folder, so that a crash, a power cut or a killed session costs nothing. Each copy is named for
// the editor process that keeps it; only copies whose process is gone are offered at the next
// start, so two editors running at once never touch each other's.
namespace recovery {

// Everything the document holds that a save would write or that the next save relies on.
struct Copy {
    QString owner; // the process that kept it
    QDateTime changed;
    QString filePath; // empty for a document never saved
    TextEncoding encoding = TextEncoding::Utf8;
    clsScroller scroller;
    QStringList keys;
    QList<clsItem> items;
    qint16 nextItem = 1;
    int current = -1;
    feed::Source feed;
    DiskIdentity disk; // the file as it was read or last saved
};

// $XDG_STATE_HOME/tickora-creator/recovery, else ~/.local/state/tickora-creator/recovery.
QString folder();
QByteArray encode(const Copy& copy);
// False, with the reason in *error, for bytes that are no readable copy.
bool decode(const QByteArray& bytes, Copy* copy, QString* error);

// A copy left behind by an editor that did not end cleanly.
struct Left {
    QString path;
    Copy copy;
};
struct Scan {
    QList<Left> copies; // newest first
    // Copies that could not be read: set aside (renamed, never deleted), each "name: reason".
    QStringList setAside;
};
Scan leftBehind();

// Keeps this process's copy of the document: written a short pause after each change while the
// document is dirty (taken on the window's thread, encoded and written on a thread of its own),
// removed when the document is clean again and when the keeper ends with the program.
class Keeper : public QObject {
    Q_OBJECT
public:
    explicit Keeper(EditorDocument& doc, QObject* parent = nullptr);
    ~Keeper() override;
    QString path() const { return m_path; }
    // Writes (or removes) now what the pause would, and waits until it is on disk.
    void flush();
    static void setDelay(int ms);
    static int delay();
    // Whether another editor running now has this file open.
    static bool openElsewhere(const QString& path);

signals:
    // A copy could not be written; `error` says why.
    void failed(const QString& error);
    // The copy on disk now stands for the document as it was when the write was asked for.
    void written();

private:
    void update();
    void noteOpenFile();

    EditorDocument& m_doc;
    QString m_path;
    QTimer* m_pause;
    std::unique_ptr<QThreadPool> m_writer; // one thread: writes land in the order asked
    bool m_onDisk = false;
    QString m_openNote; // names the file this editor has open, for the others to see
    QString m_notedFile;
};

} // namespace recovery
