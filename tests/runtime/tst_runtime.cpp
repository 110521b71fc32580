// The runtime in the editor's own browser engine, where the three-browser scenarios
// (tests/browsers) cannot reach: the preview's web view really hidden and shown again, as when
// the user leaves the preview and comes back.
#include "eventwait.h"
#include "toolrun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <memory>

class TestRuntime : public QObject {
    Q_OBJECT

    QVariant eval(QWebEngineView& view, const QString& js) {
        // Shared with the callback, which may still come after a timeout.
        auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
        view.page()->runJavaScript(js, [result](const QVariant& v) {
            result->first = true;
            result->second = v;
        });
        if (!waitUntil([&] { return result->first; }, 30000))
            qWarning() << "no answer from the page for" << js.left(80);
        return result->second;
    }
    double distance(QWebEngineView& view) {
        return eval(view, QStringLiteral("news.position().distance")).toDouble();
    }

private slots:
    void hiddenPageResumesWithoutJump() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QJsonObject doc{
            {"scroller", QJsonObject{{"name", "news"},
                                     {"direction", 2},
                                     {"width", "200"},
                                     {"height", "100"},
                                     {"spacing", "10"},
                                     {"scrollSpeed", "10"},
                                     {"pauseOnMouseover", false}}},
            {"items", QJsonArray{QJsonObject{{"name", "A"}, {"text", "A"}, {"width", "90"}},
                                 QJsonObject{{"name", "B"}, {"text", "B"}, {"width", "90"}},
                                 QJsonObject{{"name", "C"}, {"text", "C"}, {"width", "90"}}}}};
        QFile json(dir.filePath(QStringLiteral("news.json")));
        QVERIFY(json.open(QIODevice::WriteOnly));
        json.write(QJsonDocument(doc).toJson());
        json.close();
        // The sample page and the runtime come along with the script.
        const ToolRun w = runTool({QStringLiteral("write"), json.fileName(),
                                   dir.filePath(QStringLiteral("tickora_preview.js"))});
        QVERIFY2(w.code == 0, w.err.constData());

        QWebEngineView view;
        view.resize(640, 480);
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.load(QUrl::fromLocalFile(dir.filePath(QStringLiteral("tickora.htm"))));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(!loaded.isEmpty() || loaded.wait(60000));
        QVERIFY(loaded.first().first().toBool());
        TRY_VERIFY(eval(view, QStringLiteral("news.position().moving")).toBool(), 30000);

        view.hide();
        TRY_VERIFY(eval(view, QStringLiteral("document.hidden")).toBool(), 20000);
        TRY_VERIFY(!eval(view, QStringLiteral("news.position().moving")).toBool(), 20000);
        const double hidden = distance(view);
        // A second of the page's own clock passes while hidden.
        const double until = eval(view, QStringLiteral("performance.now()")).toDouble() + 1000;
        TRY_VERIFY(eval(view, QStringLiteral("performance.now()")).toDouble() >= until, 30000);
        QCOMPARE(distance(view), hidden);
        view.show();
        TRY_VERIFY(distance(view) > hidden, 20000);
        // Back where it was, not where a second of catching up would have put it (100 px).
        QVERIFY(distance(view) < hidden + 40);
    }
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
