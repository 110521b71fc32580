// The markup buttons beside the item text (bold, emphasis and pictures) and the embed code.
#include "editorsession.h"

#include "chmfile.h"
#include "embedcode.h"
#include "markuprules.h"

#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>

using Answer = platform::Dialogs::Answer;

namespace {

// A two-colour GIF of 3 x 2 pixels (Qt reads GIF but does not write it).
const QByteArray kGif("GIF89a\x03\x00\x02\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x2c\x00\x00"
                      "\x00\x00\x03\x00\x02\x00\x00\x02\x04\x4c\x98\x30\x29\x00\x3b",
                      37);

bool writeImage(const QString& path, int w, int h, const QString& format = "png", int dpi = 96) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    // The resolution the file states must not change the size in pixels.
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    QDir().mkpath(QFileInfo(path).absolutePath());
    return image.save(path, format.toLatin1().constData());
}

// A JPEG of w x h stored pixels with an orientation tag (1 upright, 3 upside down, 6 and 8 on
// its side), as cameras write them.
QByteArray jpegWithOrientation(int w, int h, int orientation) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    // APP1 "Exif": a big-endian TIFF header and one entry, orientation (0x0112) as a SHORT.
    QByteArray exif("Exif\0\0MM\0\x2a\0\0\0\x08", 14);
    exif += QByteArray("\0\x01\x01\x12\0\x03\0\0\0\x01\0", 11);
    exif += char(orientation);
    exif += QByteArray(6, '\0'); // padding of the value, then no further directory
    QByteArray segment("\xff\xe1", 2);
    segment += char((exif.size() + 2) >> 8);
    segment += char((exif.size() + 2) & 0xff);
    return jpeg.left(2) + segment + exif + jpeg.mid(2);
}

QString expectedFor(const QString& src, const QString& style) {
    return QStringLiteral("<div id=\"news\" class=\"tickora\" style=\"%2\"></div>\n"
                          "<script defer src=\"tickolib.js\"></script>\n"
                          "<script defer src=\"tickora.js\"></script>\n"
                          "<script defer src=\"%1\"></script>")
        .arg(src, style);
}

clsScroller news(const QString& width = "200", const QString& height = "40") {
    clsScroller s;
    s.sName = QStringLiteral("news");
    s.sWidth = width;
    s.sHeight = height;
    return s;
}

struct MarkupSession : EditorSession {
    MarkupSession() { get<QTabWidget>("tabMain")->setCurrentIndex(1); }
    QPushButton* bold() const { return get<QPushButton>("cmdItmBold"); }
    QPushButton* image() const { return get<QPushButton>("cmdItmImg"); }
    void setText(const QString& t, int start, int length) const {
        text()->setPlainText(t);
        QTextCursor c = text()->textCursor();
        c.setPosition(start);
        c.setPosition(start + length, QTextCursor::KeepAnchor);
        text()->setTextCursor(c);
    }
    bool choosePicture(const QString& path) {
        const int before = int(dialogs.fileCalls.size());
        dialogs.fileAnswers << path;
        image()->click();
        return dialogs.fileCalls.size() == before + 1;
    }
};

} // namespace

class TestMarkup : public QObject {
    Q_OBJECT
private slots:
    void wrapsTheSelection_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("expected");
        const struct {
            const char *button, *text;
            int start, length;
            const char* expected;
        } rows[] = {{"cmdItmBold", "abcdef", 3, 0, "abc<b></b>def"},
                    {"cmdItmBold", "abcdef", 2, 2, "ab<b>cd</b>ef"},
                    {"cmdItmItalic", "abcdef", 2, 2, "ab<em>cd</em>ef"},
                    {"cmdItmBold", "", 0, 0, "<b></b>"},
                    {"cmdItmBold", "one\ntwo", 4, 3, "one\n<b>two</b>"}};
        for (const auto& r : rows)
            QTest::addRow("%s, %d+%d", r.button, r.start, r.length)
                << r.button << r.text << r.start << r.length << r.expected;
    }
    void wrapsTheSelection() {
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, expected);
        MarkupSession s;
        QVERIFY(s.show());
        s.setText(text, start, length);
        s.text()->setFocus();
        s.action("mnuFileSave")->setEnabled(false);
        QTest::mouseClick(s.get<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(s.text()->toPlainText(), expected);
        QCOMPARE(QApplication::focusWidget(), s.text());
        QVERIFY(s.action("mnuFileSave")->isEnabled()); // marked changed, and the menu knows
        // The marked text stays selected, and the whole change is one step to undo.
        const int open = expected.indexOf(u'>') + 1;
        QCOMPARE(s.text()->textCursor().selectionStart(), open);
        QCOMPARE(s.text()->textCursor().selectedText(), text.mid(start, length));
        QCOMPARE(s.action("mnuEditUndo")->text(), button == u"cmdItmBold"
                                                      ? QStringLiteral("&Undo Bold")
                                                      : QStringLiteral("&Undo Emphasis"));
        // Undone, the item holds its text as stored: a typed line break as the script has it.
        QTest::keyClick(s.text(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.text()->toPlainText(), QString(text).replace(u'\n', QStringLiteral("<br>")));
        QVERIFY(s.dialogs.messages.isEmpty());
    }

    void picturesGetTheSizeAndAddressTheBrowserUses_data() {
        QTest::addColumn<QString>("file"); // from the project folder
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("orientation"); // of a JPEG; 0: none stated
        QTest::addColumn<QString>("text");    // "ab" with the picture placed between the letters
        const struct {
            const char *file, *format;
            int orientation;
            const char* src; // "" when the file's name is its address
            int width, height;
        } rows[] = {
            {"banner.gif", "gif", 0, "", 3, 2},
            {"photo.jpg", "jpeg", 0, "", 40, 20},
            {"photo.webp", "webp", 0, "", 40, 20},
            // Browsers turn a photo as its orientation tag says.
            {"down.jpg", "jpeg", 3, "", 40, 20},
            {"right.jpg", "jpeg", 6, "", 20, 40},
            {"left.jpg", "jpeg", 8, "", 20, 40},
            {"images/logo.png", "png300", 0, "", 40, 20}, // the resolution stated changes nothing
            {"my pics/a \"b\" & c#1%.png", "png", 0, "my%20pics/a%20%22b%22%20%26%20c%231%25.png",
             40, 20},
            // On Linux a backslash is part of a name, and browsers would read it as a slash.
            {"a\\b.png", "png", 0, "a%5Cb.png", 40, 20}};
        for (const auto& r : rows)
            QTest::addRow("%s", r.file)
                << r.file << r.format << r.orientation
                << QStringLiteral("a<img border=\"0\" src=\"%1\" width=\"%2\" height=\"%3\">b")
                       .arg(QString::fromUtf8(*r.src ? r.src : r.file), QString::number(r.width),
                            QString::number(r.height));
    }
    void picturesGetTheSizeAndAddressTheBrowserUses() {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QFETCH(int, orientation);
        if (format == u"webp" && !QImageWriter::supportedImageFormats().contains("webp"))
            QSKIP("this system cannot write WebP");
        MarkupSession s;
        s.saveAs(QStringLiteral("page.js"));
        const QString picture = QDir::cleanPath(s.work + u'/' + file);
        QVERIFY(QDir().mkpath(QFileInfo(picture).absolutePath()));
        if (format == u"gif")
            QVERIFY(writeFile(picture, kGif));
        else if (orientation > 0)
            QVERIFY(writeFile(picture, jpegWithOrientation(40, 20, orientation)));
        else
            QVERIFY(writeImage(picture, 40, 20, QString(format).remove(QStringLiteral("300")),
                               format.endsWith(QStringLiteral("300")) ? 300 : 96));
        s.setText(QStringLiteral("ab"), 1, 0);
        QVERIFY(s.choosePicture(picture));
        QTEST(s.text()->toPlainText(), "text");
        QVERIFY(s.dialogs.messages.isEmpty());
        QVERIFY(s.w->isDirty());
        const auto& req = s.dialogs.fileCalls.last();
        QVERIFY(!req.save);
        QCOMPARE(req.request.title, QStringLiteral("Browse"));
        QCOMPARE(req.request.filterIndex, 0);
        QCOMPARE(req.request.filters, markuprules::pictureFilters());
    }

    void unsavedUnreadableOrCancelledChangesNothingAndTheDialogStartsNearby() {
        MarkupSession s;
        s.setText(QStringLiteral("keep me"), 0, 4);
        const bool wasDirty = s.w->isDirty();
        // Unsaved, the document is saved first; cancelling that save asks for no picture.
        s.dialogs.answers << Answer::Ok;
        s.dialogs.fileAnswers << QString();
        s.image()->click();
        QCOMPARE(s.dialogs.texts(), QStringList{kSaveForFolder});
        QVERIFY(s.dialogs.fileCalls.value(0).save); // the only one: none is unexpected below
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("keep me"));
        QCOMPARE(s.w->isDirty(), wasDirty);
        QCOMPARE(s.w->projectFolder(), QString());
        QCOMPARE(s.dialogs.unexpected, 0);
        s.dialogs.clear();

        s.saveAs(QStringLiteral("page.js"));
        const QString fake = s.work + QStringLiteral("/not-a-picture.gif");
        QVERIFY(writeFile(fake, "GIF is what this file is not"));
        const QString empty = s.work + QStringLiteral("/empty.png");
        QVERIFY(writeFile(empty, QByteArray()));
        for (const QString& path : {fake, empty, s.work + QStringLiteral("/missing.png")}) {
            QVERIFY(s.choosePicture(path));
            QCOMPARE(s.text()->toPlainText(), QStringLiteral("keep me"));
        }
        QVERIFY(s.choosePicture(QString())); // cancelled
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("keep me"));
        QVERIFY(s.dialogs.messages.isEmpty());
        QVERIFY(!s.w->isDirty());

        // The dialog starts in the last picture's folder while the project stays.
        const QString elsewhere = s.root.filePath(QStringLiteral("photos"));
        QVERIFY(writeImage(elsewhere + QStringLiteral("/dot.png"), 4, 2));
        const auto browse = [&](const QString& answer) {
            s.choosePicture(answer);
            return s.dialogs.fileCalls.last().request.initialName;
        };
        // The first picture dialog, after Save As, started where the address is counted from.
        QCOMPARE(s.dialogs.fileCalls.at(1).request.initialName, s.work);
        QCOMPARE(browse(elsewhere + QStringLiteral("/dot.png")), s.work);
        QVERIFY(s.text()->toPlainText().contains(QStringLiteral("src=\"../photos/dot.png\"")));
        QCOMPARE(browse(QString()), elsewhere);
        // Another project starts in its own folder again.
        const QString other = s.made(QStringLiteral("other"));
        s.dialogs.fileAnswers << other + QStringLiteral("/page.js");
        s.action("mnuFileSaveAs")->trigger();
        QCOMPARE(browse(QString()), other);
    }

    void theSelectionSurvivesTheCleanup() {
        // Leaving the text by keyboard rewrites its line breaks and quotes first.
        MarkupSession s;
        QVERIFY(s.show());
        s.setText(QStringLiteral("it's\nbold"), 5, 4);
        s.text()->setFocus();
        QTest::keyClick(s.text(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.bold());
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("it\\'s<br>bold"));
        QTest::keyClick(s.bold(), Qt::Key_Space);
        QCOMPARE(s.text()->toPlainText(), QStringLiteral("it\\'s<br><b>bold</b>"));

        // The save an unsaved document needs first does the same, and the picture is placed
        // relative to where the script now lives.
        QVERIFY(writeImage(s.work + QStringLiteral("/logo.png"), 8, 8));
        s.setText(QStringLiteral("one\ntwo logo!"), 8, 4);
        s.dialogs.answers << Answer::Ok;
        s.dialogs.fileAnswers << s.work + QStringLiteral("/page.js")
                              << s.work + QStringLiteral("/logo.png");
        s.image()->click();
        QCOMPARE(s.text()->toPlainText(),
                 QStringLiteral("one<br>two <img border=\"0\" src=\"logo.png\" width=\"8\" "
                                "height=\"8\">!"));
    }

    // The filters offer what can be read; the address rule beyond the rows above.
    void pictureRules() {
        const QStringList filters = markuprules::pictureFilters();
        QCOMPARE(filters.size(), 2);
        QVERIFY(filters.at(0).startsWith(QStringLiteral("Image Files (*.gif *.jpg *.jpeg *.png")));
        QCOMPARE(filters.at(0).contains(QStringLiteral("*.webp")),
                 QImageReader::supportedImageFormats().contains("webp"));
        QCOMPARE(filters.at(1), QStringLiteral("All Files (*)"));

        // Characters that are no trouble stay readable.
        QCOMPARE(markuprules::pictureAddress(QStringLiteral("/site"),
                                             QStringLiteral("/site/it's (1)+_~.gif")),
                 QStringLiteral("it's%20(1)+_~.gif"));
        QCOMPARE(markuprules::pictureAddress(QStringLiteral("/site/a/b"), QStringLiteral("/x.gif")),
                 QStringLiteral("../../../x.gif"));
        // Without a folder to be relative to, the address is the file's own, still encoded.
        QCOMPARE(markuprules::pictureAddress(QString(), QStringLiteral("/art/x y.gif")),
                 QStringLiteral("file:///art/x%20y.gif"));
    }

    // Copy Embed Code: the exact HTML on the clipboard, from the menu and from the preview, and
    // the same text in the help's integration page.
    // The script's address, and the size the container reserves for the box (a size left to the
    // runtime is left out).
    void codeForAScript_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("code");
        const char* const rows[][5] = {
            {"/home/ann/site/news.js", "200", "40", "news.js", "width:200px;height:40px"},
            {"/w/news letter.js", "200", "40", "news%20letter.js", "width:200px;height:40px"},
            {"/w/tom&\"jerry\".js", "200", "40", "tom&amp;%22jerry%22.js",
             "width:200px;height:40px"},
            {"/w/caf\xC3\xA9.js", "200", "40", "caf%C3%A9.js", "width:200px;height:40px"},
            {"/w/a#b?.js", "200", "40", "a%23b%3F.js", "width:200px;height:40px"},
            {"/w/news.js", "240", "", "news.js", "width:240px"},
            {"/w/news.js", "", " ", "news.js", ""},
            {"/w/news.js", "10em", "90", "news.js", "height:90px"}};
        for (const auto& r : rows)
            QTest::addRow("%s, %s by %s", r[3], r[1], r[2])
                << r[0] << r[1] << r[2] << expectedFor(QString::fromUtf8(r[3]), r[4]);
    }
    void codeForAScript() {
        QFETCH(QString, path);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QTEST(embedcode::forScript(path, news(width, height)), "code");
    }

    void menuAndPreviewButtonCopyTheCodeTheHelpShows() {
        EditorSession s;
        QVERIFY(s.show());
        const QString path = s.made(QStringLiteral("work/my site")) + QStringLiteral("/news.js");
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        // The new document is the default scroller, 240 by 120.
        const QString kDefaultSize = QStringLiteral("width:240px;height:120px");

        // A document never saved is saved first; the code names its file.
        s.get<QTabWidget>("tabMain")->setCurrentIndex(1);
        QVERIFY(s.get<QMenu>("mnuEdit")->isEnabled());
        s.dialogs.fileAnswers << QString(); // cancelled: nothing is copied
        s.action("mnuEditEmbed")->trigger();
        QCOMPARE(s.dialogs.texts(), QStringList{kSaveForFolder});
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
        QCOMPARE(s.dialogs.unexpected, 0); // no question, no message

        // The help's integration page shows the same code.
        help::ChmFile chm;
        QVERIFY(chm.open(deliveredAppDir() + QStringLiteral("/tickora.chm")));
        const QString page = chm.readText(QStringLiteral("/html/integration.htm"));
        QVERIFY(!page.contains(QStringLiteral("embed-code")));
        QVERIFY(page.contains(
            QStringLiteral("<pre>") +
            embedcode::forScript(QStringLiteral("/x/news.js"), news()).toHtmlEscaped() +
            QStringLiteral("</pre>")));
    }
};

TICKORA_EDITOR_TEST_MAIN(TestMarkup)
#include "tst_markup.moc"
