#pragma once

// A window on a temporary copy of the application folder, with scripted dialogs.

#include "fakedialogs.h"
#include "files.h"
#include "frmmain.h"
#include "itemlistview.h"
#include "userconfig.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <memory>

// Messages that several tests wait for.
inline const QString kRange10 = QStringLiteral("Please Enter A Value Between 10 And 2000");
inline const QString kSaveForFolder =
    QStringLiteral("Save the scroller to set project folder. Press OK to continue.");

inline QString deliveredAppDir() {
    return qEnvironmentVariable("TICKORA_APP_DIR");
}

struct EditorSession {
    QTemporaryDir root;
    QString app = made(QStringLiteral("app"));
    QString work = made(QStringLiteral("work")); // a folder for the user's scripts
    // The user's config folder: settings never reach the real user's.
    QString config = made(QStringLiteral("config"));
    platform::FakeDialogs dialogs;
    std::unique_ptr<frmMain> w;

    // The live preview's browser costs every test that shows the window; its own tests ask
    // for it.
    explicit EditorSession(bool livePreview = false) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        userconfig::settings()->setValue(QStringLiteral("live/visible"), livePreview);
        for (const char* name :
             {"default.js", "tickora.htm", "tickolib.js", "tickora.js", "blank.htm"})
            QFile::copy(deliveredAppDir() + QLatin1Char('/') + QLatin1String(name),
                        app + QLatin1Char('/') + QLatin1String(name));
        w = std::make_unique<frmMain>(dialogs, app);
    }
    ~EditorSession() { leave(false); }
    // Ends the window without questions, whatever the test left behind; closed, as the user
    // closes it, or just destroyed.
    void leave(bool close) {
        dialogs.answers.clear();
        if (w && (close || w->isVisible()) && w->isDirty())
            dialogs.answers << platform::Dialogs::Answer::No;
        if (w && close)
            w->close();
        w.reset();
    }

    // Closes the window as a restart of the program does, and opens a new one on the same
    // folders and settings; `between` runs while no window is open.
    void restart(const std::function<void()>& between = {}) {
        leave(true);
        if (between)
            between();
        w = std::make_unique<frmMain>(dialogs, app);
    }

    // A folder made in the session's root.
    QString made(const QString& name) const {
        return QDir(root.path()).mkdir(name) ? root.filePath(name) : QString();
    }
    // Opens a script written into the work folder, and shows the tab asked for (-1, none).
    QString open(const QByteArray& script, const QString& name, int tab = -1) {
        const QString path = work + QLatin1Char('/') + name;
        if (!writeFile(path, script))
            qFatal("cannot write %s", qPrintable(path));
        w->openPath(path);
        get<QTabWidget>("tabMain")->setCurrentIndex(tab);
        return path;
    }
    // Save As with the dialog answered by a name in the work folder.
    QString saveAs(const QString& name) {
        dialogs.fileAnswers << work + QLatin1Char('/') + name;
        action("mnuFileSaveAs")->trigger();
        return work + QLatin1Char('/') + name;
    }
    // Whether the last message holds every part (shown when it does not).
    bool told(std::initializer_list<QString> parts) const {
        const QString text = dialogs.lastText();
        const bool all = std::all_of(parts.begin(), parts.end(),
                                     [&](const QString& p) { return text.contains(p); });
        if (!all)
            qWarning("the last message: %s", qPrintable(text));
        return all;
    }

    template <class T> T* get(const char* name) const {
        T* x = w->findChild<T*>(QLatin1String(name));
        if (!x)
            qFatal("no child %s", name);
        return x;
    }
    QLineEdit* field(const char* name) const { return get<QLineEdit>(name); }
    QAction* action(const char* name) const { return get<QAction>(name); }
    // The toolbar's button of a command (null when the toolbar lacks it).
    QToolButton* button(const char* action) const {
        return qobject_cast<QToolButton*>(
            get<QToolBar>("tbMain")->widgetForAction(get<QAction>(action)));
    }
    void run(const char* name) const { action(name)->trigger(); }

    // The document and its list as the window shows them.
    const EditorDocument& doc() const { return w->document(); }
    ItemListView* list() const { return get<ItemListView>("tvItm"); }
    QTreeWidgetItem* node(int i) const { return list()->topLevelItem(i); }
    QStringList names() const {
        QStringList out;
        for (int i = 0; i < doc().count(); ++i)
            out << doc().item(i).sName;
        return out;
    }
    QList<clsItem> items() const {
        QList<clsItem> out;
        for (int i = 0; i < doc().count(); ++i)
            out << doc().item(i);
        return out;
    }
    void select(int i) const { list()->setCurrentItem(node(i)); }
    int current() const { return list()->indexOfTopLevelItem(list()->currentItem()); }
    QPlainTextEdit* text() const { return get<QPlainTextEdit>("txtItmText"); }
    bool show() {
        w->show();
        return QTest::qWaitForWindowActive(w.get());
    }
    // Types into a field as the user does (the field takes the focus first).
    void type(QWidget* field, const QString& text) {
        field->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(field))
            line->end(false);
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(field))
            edit->moveCursor(QTextCursor::End);
        QTest::keyClicks(field, text);
    }
    void replace(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; }))
            QTest::keyClicks(field, text);
        else
            field->insert(text); // what the keyboard would type; QTest sends only ASCII keys
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
    }
};

// QTEST_MAIN without the chance to set what the preview's browser needs first.
#define TICKORA_EDITOR_TEST_MAIN(Class)                                                            \
    int main(int argc, char** argv) {                                                              \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        QApplication app(argc, argv);                                                              \
        Class t;                                                                                   \
        return QTest::qExec(&t, argc, argv);                                                       \
    }
