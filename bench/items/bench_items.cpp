// Times the item commands on a list of 10,000 items in a shown window: each command from the
// menu entry until the events it caused (layout, painting) are processed, and the Undo of each.
// Usage: bench_items [APP_DIR] [ITEMS]   (defaults: the program's own folder, 10000)
#include "fakedialogs.h"
#include "frmmain.h"
#include "itemlistview.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

void writeScript(const QString& path, int items) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray s = "big = new Tickora();\r\nbig.name = 'big';\r\nbig.type = 0;\r\n";
    for (int i = 0; i < items; ++i)
        s += "big.add('<b>Item " + QByteArray::number(i) +
             "</b> with some text that is about as long as a news line', '', 'Item " +
             QByteArray::number(i) + "');\r\n";
    f.write(s);
}

struct Figures {
    double median = 0;
    double max = 0;
};

Figures figures(QList<double> times) {
    if (times.isEmpty())
        return {};
    std::sort(times.begin(), times.end());
    return {times.at(times.size() / 2), times.last()};
}

double threadMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// The time the window's thread spent on f and the events it left. On a shared machine the wall
// clock counts other programs' work too, so the thread's own time is the figure; on an idle
// machine the two are the same.
double timed(const std::function<void()>& f) {
    const double start = threadMs();
    f();
    QCoreApplication::processEvents();
    return threadMs() - start;
}

// Runs prepare (untimed), then the command and the events it left, `rounds` times; with `undo`,
// each command is taken back and the undo timed too (the list stays as it was).
std::pair<Figures, Figures> measure(int rounds, const std::function<void()>& prepare,
                                    const std::function<void()>& command,
                                    const std::function<void()>& undo = {}) {
    QList<double> times;
    QList<double> undoTimes;
    for (int i = 0; i < rounds; ++i) {
        prepare();
        QCoreApplication::processEvents();
        times << timed(command);
        if (undo)
            undoTimes << timed(undo);
    }
    return {figures(times), figures(undoTimes)};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QString appDir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QCoreApplication::applicationDirPath();
    const int count = argc > 2 ? QByteArray(argv[2]).toInt() : 10000;
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("big.js"));
    writeScript(path, count);

    platform::FakeDialogs dialogs;
    frmMain w(dialogs, appDir);
    w.resize(900, 700);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        qFatal("window not exposed");
    w.openPath(path);
    w.findChild<QTabWidget*>(QStringLiteral("tabMain"))->setCurrentIndex(1);
    auto* list = w.findChild<QTreeWidget*>(QStringLiteral("tvItm"));
    if (list->topLevelItemCount() != count)
        qFatal("the script was not loaded");
    const auto action = [&w](const char* name) {
        auto* a = w.findChild<QAction*>(QLatin1String(name));
        if (!a)
            qFatal("no action %s", name);
        return a;
    };
    const auto selectMiddle = [list] {
        list->setCurrentItem(list->topLevelItem(list->topLevelItemCount() / 2));
    };
    const auto run = [&](const char* name) { return [a = action(name)] { a->trigger(); }; };

    const int rounds = 100;
    std::printf("item commands on a list of %d items, %d rounds each, time of the window's thread "
                "(target < 10 ms):\n",
                count, rounds);
    const auto report = [&](const char* what, const std::pair<Figures, Figures>& f) {
        std::printf("  %-24s median %6.2f ms   max %6.2f ms", what, f.first.median, f.first.max);
        if (f.second.max > 0)
            std::printf("   undo median %6.2f ms   max %6.2f ms", f.second.median, f.second.max);
        std::printf("   items now %d\n", list->topLevelItemCount());
    };
    const auto undo = run("mnuEditUndo");
    report("Add (middle selected)", measure(rounds, selectMiddle, run("mnuItemAdd"), undo));
    report("Delete (middle)", measure(rounds, selectMiddle, run("mnuItemDelete"), undo));
    report("Move Up (middle)", measure(rounds, selectMiddle, run("mnuItemMoveUp"), undo));
    report("Move Down (middle)", measure(rounds, selectMiddle, run("mnuItemMoveDown"), undo));
    report("Copy (middle)", measure(rounds, selectMiddle, run("mnuEditCopy")));
    report("Paste (after middle)", measure(rounds, selectMiddle, run("mnuEditPaste"), undo));
    report("Cut (middle)", measure(rounds, selectMiddle, run("mnuEditCut"), undo));
    // A drop on the upper half of the first row, as the end of a drag of the last item.
    const auto dropAtTop = [list] {
        list->scrollToTop();
        QCoreApplication::processEvents();
        static_cast<ItemListView*>(list)->dropCurrentAt(
            list->visualItemRect(list->topLevelItem(0)).topLeft() + QPoint(4, 1));
    };
    report("Drag (last to top)",
           measure(
               rounds / 10,
               [list] { list->setCurrentItem(list->topLevelItem(list->topLevelItemCount() - 1)); },
               dropAtTop, undo));
    report("Add (at the end)", measure(
                                   rounds, [list] { list->setCurrentItem(list->topLevelItem(0)); },
                                   run("mnuItemAdd"), undo));
    list->setCurrentItem(list->topLevelItem(0));
    const int before = 0;
    report("Select (next item)",
           measure(
               rounds, [] {}, [list] { QTest::keyClick(list, Qt::Key_Down); }));
    if (list->indexOfTopLevelItem(list->currentItem()) != before + rounds)
        qFatal("the keyboard did not select the next items");
    return 0;
}
