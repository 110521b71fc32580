// Saves pictures of the editor's windows, for looking at the layout without a desktop:
//   tickora-screenshots OUT_FOLDER [WIDTHxHEIGHT]
// The main window on each tab, the About box and a What's This note, as PNG files.
#include "appicon.h"
#include "fakedialogs.h"
#include "fakeshell.h"
#include "frmabout.h"
#include "frmmain.h"
#include "helpprocess.h"
#include "livepreview.h"
#include "registrystore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEngineView>

#include <cstdio>

namespace {

void settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void save(QWidget* w, const QString& path) {
    if (!w->grab().save(path))
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setWindowIcon(platform::applicationIcon());
    if (argc < 2) {
        std::fprintf(stderr, "usage: tickora-screenshots OUT_FOLDER [WIDTHxHEIGHT]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QSize size(900, 640);
    if (argc > 2) {
        const QStringList wh = QString::fromLatin1(argv[2]).split(u'x');
        size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
    }

    // The delivered files, and a work folder for the preview's script.
    QTemporaryDir work;
    // The user's own settings and default neither change the pictures nor are changed by them.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.filePath(QStringLiteral("config"))));
    platform::FakeDialogs dialogs;
    dialogs.fileAnswers << work.filePath(QStringLiteral("news.js"));
    platform::FakeShell shell;
    platform::RegistryStore store(work.filePath(QStringLiteral("registry.ini")));
    help::HelpProcessViewer viewer;
    frmMain w(dialogs, QCoreApplication::applicationDirPath());
    w.setHelpServices(&viewer, &store, &shell);
    w.resize(size);
    w.show();
    settle(300);
    // The live preview's browser starts after the window; its page needs a moment to paint.
    for (int i = 0; i < 100 && w.livePreview()->applied() == 0; ++i)
        settle(100);
    settle(800);
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("tabMain"));
    const QString tag = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    save(&w, out + QStringLiteral("/main-%1-properties.png").arg(tag));
    tabs->setCurrentIndex(1);
    settle(300);
    save(&w, out + QStringLiteral("/main-%1-items.png").arg(tag));

    // A What's This note on the item text.
    auto* label = w.findChild<QWidget*>(QStringLiteral("lblItmText"));
    QHelpEvent ask(QEvent::WhatsThis, QPoint(4, 4), label->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(label, &ask);
    settle(300);
    if (viewer.popup())
        save(viewer.popup(), out + QStringLiteral("/whatsthis.png"));
    if (viewer.popup())
        viewer.popup()->close();

    tabs->setCurrentIndex(2);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 8000 &&
           !(w.previewView() && w.previewView()->url().fileName() == QStringLiteral("tickora.htm")))
        settle(50);
    settle(2500);
    save(&w, out + QStringLiteral("/main-%1-preview.png").arg(tag));

    frmAbout about(dialogs, store, shell, &w);
    about.show();
    settle(300);
    save(&about, out + QStringLiteral("/about.png"));
    about.close();
    dialogs.answers << platform::Dialogs::Answer::No;
    w.close();
    return 0;
}
