// Copy Embed Code: the exact HTML on the clipboard, from the menu and from the preview, and the
// same text in the help's integration page.
#include "editorsession.h"

#include "chmfile.h"
#include "embedcode.h"

#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

using Answer = platform::Dialogs::Answer;

namespace {

QString expectedFor(const QString& src,
                    const QString& style = QStringLiteral("width:200px;height:40px")) {
    return QStringLiteral("<div id=\"news\" class=\"tickora\" style=\"%2\"></div>\n"
                          "<script defer src=\"tickolib.js\"></script>\n"
                          "<script defer src=\"tickora.js\"></script>\n"
                          "<script defer src=\"%1\"></script>")
        .arg(src, style);
}

clsScroller news(const QString& width = QStringLiteral("200"),
                 const QString& height = QStringLiteral("40")) {
    clsScroller s;
    s.sName = QStringLiteral("news");
    s.sWidth = width;
    s.sHeight = height;
    return s;
}

} // namespace

class TestEmbedCode : public QObject {
    Q_OBJECT
private slots:
    void codeForAScript_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("src");
        QTest::newRow("plain") << "/home/ann/site/news.js"
                               << "news.js";
        QTest::newRow("folder with spaces") << "/home/ann/my site/news.js"
                                            << "news.js";
        QTest::newRow("name with spaces") << "/w/news letter.js"
                                          << "news%20letter.js";
        QTest::newRow("ampersand and quote") << "/w/tom&\"jerry\".js"
                                             << "tom&amp;%22jerry%22.js";
        QTest::newRow("letters beyond ASCII")
            << QString::fromUtf8("/w/caf\xC3\xA9.js") << "caf%C3%A9.js";
        QTest::newRow("hash and question mark") << "/w/a#b?.js"
                                                << "a%23b%3F.js";
    }
    void codeForAScript() {
        QFETCH(QString, path);
        QFETCH(QString, src);
        QCOMPARE(embedcode::forScript(path, news()), expectedFor(src));
    }

    // The container reserves what the box will take; a size left to the runtime is left out.
    void sizeReserved_data() {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("style");
        QTest::newRow("both") << "240"
                              << "120"
                              << "width:240px;height:120px";
        QTest::newRow("height left empty") << "240"
                                           << ""
                                           << "width:240px";
        QTest::newRow("neither") << ""
                                 << " "
                                 << "";
        QTest::newRow("not a number") << "10em"
                                      << "90"
                                      << "height:90px";
    }
    void sizeReserved() {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, style);
        QCOMPARE(embedcode::forScript(QStringLiteral("/w/news.js"), news(width, height)),
                 expectedFor(QStringLiteral("news.js"), style));
    }

    void menuAndPreviewButtonCopyTheCode() {
        EditorSession s;
        QVERIFY(s.show());
        const QString folder = s.work + QStringLiteral("/my site");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/news.js");
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        // The new document is the default scroller, 240 by 120.
        const QString kDefaultSize = QStringLiteral("width:240px;height:120px");

        // A document never saved is saved first; the code names its file.
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QVERIFY(s.get<QMenu>("mnuEdit")->isEnabled());
        s.dialogs.fileAnswers << QString(); // cancelled: nothing is copied
        s.action("mnuEditEmbed")->trigger();
        QCOMPARE(s.dialogs.texts(),
                 QStringList{"Save the scroller to set project folder. Press OK to continue."});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

        s.dialogs.fileAnswers << path;
        s.action("mnuEditEmbed")->trigger();
        QCOMPARE(s.w->filePath(), path);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 expectedFor(QStringLiteral("news.js"), kDefaultSize));

        // From the Preview tab's button, for a saved document without a question.
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        s.dialogs.clear();
        s.get<QTabWidget>("tabMain")->setCurrentIndex(2);
        auto* button = s.get<QTabWidget>("tabMain")->widget(2)->findChild<QPushButton*>(
            QStringLiteral("cmdEmbed"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 expectedFor(QStringLiteral("news.js"), kDefaultSize));
        QCOMPARE(s.dialogs.messages.size(), 0);
        QCOMPARE(s.dialogs.unexpected, 0);
    }

    void theHelpShowsTheSameCode() {
        help::ChmFile chm;
        QVERIFY(chm.open(deliveredAppDir() + QStringLiteral("/tickora.chm")));
        const QString page = chm.readText(QStringLiteral("/html/integration.htm"));
        QVERIFY(!page.isEmpty());
        QVERIFY(!page.contains(QStringLiteral("embed-code")));
        QVERIFY(page.contains(
            QStringLiteral("<pre>") +
            embedcode::forScript(QStringLiteral("/x/news.js"), news()).toHtmlEscaped() +
            QStringLiteral("</pre>")));
    }
};

TICKORA_EDITOR_TEST_MAIN(TestEmbedCode)
#include "tst_embedcode.moc"
