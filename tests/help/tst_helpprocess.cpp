// The editor's side of the help process: requests reach tickora-help and come back; a help
// program that crashes, hangs or talks nonsense costs a told failure and nothing else.
#include "damagedhelp.h"
#include "eventwait.h"
#include "helpprocess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using help::HelpFailure;
using help::HelpProcessViewer;
using help::HelpViewer;

class TestHelpProcess : public QObject {
    Q_OBJECT

    QString chm;
    QList<HelpFailure> failures;

    void watch(HelpViewer& v) {
        failures.clear();
        v.setFailureHandler([this](const HelpFailure& f) { failures << f; });
    }
    static quintptr call(HelpViewer& v, const QString& file, int command,
                         const help::HelpData& data = {}) {
        return v.htmlHelp(0, file, command, data).value_or(0);
    }

private Q_SLOTS:
    void initTestCase() {
        chm = qEnvironmentVariable("TICKORA_APP_DIR") + "/tickora.chm";
        QVERIFY2(QFile::exists(chm), qPrintable(chm));
    }

    void requestsReachTheHelpProgram() {
        HelpProcessViewer v;
        watch(v);
        QCOMPARE(v.processId(), qint64(0)); // started on first use
        QVERIFY(call(v, chm + ">Main", HelpViewer::DisplayToc) != 0);
        const qint64 pid = v.processId();
        QVERIFY(pid != 0);
        QVERIFY(call(v, chm + ">Main", HelpViewer::HelpContext, qint32(1001)) != 0);
        QVERIFY(failures.isEmpty());

        // What's This notes are read there and shown here.
        help::HelpPopupRecord r;
        r.stringId = 1004;
        QVERIFY(call(v, chm + "::Popups/frmMain.txt", HelpViewer::DisplayTextPopup, r) != 0);
        QVERIFY(v.popup());
        QVERIFY(v.popup()->text().startsWith("Scroll Speed (ms)\n"));

        // A damaged file and an unknown topic are told; the same process goes on serving.
        QTemporaryDir dir;
        QFile good(chm);
        QVERIFY(good.open(QIODevice::ReadOnly));
        const QByteArray bytes = good.readAll();
        auto damaged = [&](const char* how) {
            const QString path = dir.filePath(QString(how) + ".chm");
            QFile out(path);
            if (out.open(QIODevice::WriteOnly))
                out.write(damagedHelp(bytes, how));
            return path;
        };
        const QString truncated = damaged("truncated");
        QCOMPARE(call(v, truncated + ">Main", HelpViewer::DisplayToc), quintptr(0));
        QCOMPARE(call(v, chm + ">Main", HelpViewer::HelpContext, qint32(4242)), quintptr(0));
        QCOMPARE(failures.size(), 2);
        QCOMPARE(int(failures[0].kind), int(HelpFailure::Kind::Damaged));
        QCOMPARE(failures[0].file, truncated);
        QCOMPARE(int(failures[1].kind), int(HelpFailure::Kind::NoTopic));
        QVERIFY(failures[1].detail.contains("4242"));
        QCOMPARE(v.processId(), pid);

        // Damage that makes the reading library abort ends only the help process.
        failures.clear();
        const QString aborting = dir.filePath("aborting.chm");
        QVERIFY(QFile::copy(abortingHelpFile(), aborting));
        QCOMPARE(call(v, aborting + ">Main", HelpViewer::DisplayToc), quintptr(0));
        QCOMPARE(failures.size(), 1);
        QCOMPARE(int(failures[0].kind), int(HelpFailure::Kind::ViewerFailed));
        QCOMPARE(failures[0].file, aborting + ">Main");
        QCOMPARE(v.processId(), qint64(0));
        failures.clear();
        QVERIFY(call(v, chm + ">Main", HelpViewer::DisplayToc) != 0);
        const qint64 second = v.processId();
        QVERIFY(second != 0 && second != pid);

        // A crash while a help window is open is told when it happens; the next request
        // starts a new help process.
        failures.clear();
        ::kill(pid_t(second), SIGSEGV);
        TRY_VERIFY(!failures.isEmpty(), 10000);
        QCOMPARE(int(failures[0].kind), int(HelpFailure::Kind::ViewerFailed));
        QCOMPARE(failures[0].file, chm + ">Main");
        failures.clear();
        QVERIFY(call(v, chm + ">Main", HelpViewer::DisplayToc) != 0);
        QVERIFY(v.processId() != second);
        QVERIFY(failures.isEmpty());
    }

    void failingHelpProgramsAreContained_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("script");
        const char* const scripts[][2] = {
            {"crashes", "read x; kill -SEGV $$"},
            {"aborts", "read x; kill -ABRT $$"},
            {"hangs", "sleep 30"},
            {"nonsense", "read x; echo nonsense; sleep 30"},
            {"wrong shape", "read x; echo '{\"handle\":\"x\"}'; sleep 30"},
            {"ends quietly", "read x; exit 0"},
        };
        for (const auto& s : scripts)
            QTest::newRow(s[0]) << "/bin/sh" << s[1];
        QTest::newRow("missing") << "/nonexistent/tickora-help"
                                 << "";
    }
    void failingHelpProgramsAreContained() {
        QFETCH(QString, program);
        QFETCH(QString, script);
        HelpProcessViewer v(program, {"-c", script}, 1500);
        watch(v);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(call(v, chm + ">Main", HelpViewer::DisplayToc), quintptr(0));
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(failures.size(), 1);
        QCOMPARE(int(failures[0].kind), int(HelpFailure::Kind::ViewerFailed));
        QCOMPARE(failures[0].file, chm + ">Main");
        QCOMPARE(v.processId(), qint64(0)); // nothing left running
    }
};

QTEST_MAIN(TestHelpProcess)
#include "tst_helpprocess.moc"
