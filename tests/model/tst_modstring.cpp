// Path arithmetic: the folder of a path and the address of a picture from a page's folder.
#include "modstring.h"

#include <QTest>

class TestModString : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folder_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("drive path") << "C:\\Web\\site\\index.js"
                                    << "C:\\Web\\site";
        QTest::newRow("drive root") << "C:\\index.js"
                                    << "C:";
        QTest::newRow("trailing separator") << "C:\\Web\\site\\"
                                            << "C:\\Web\\site";
        QTest::newRow("forward slashes") << "web/pages/index.js"
                                         << "web/pages";
        QTest::newRow("mixed, last wins") << "a\\b/c\\d.js"
                                          << "a\\b/c";
        QTest::newRow("posix") << "/home/u/site/news.js"
                               << "/home/u/site";
        QTest::newRow("posix, backslash in names") << "/home/u/my\\site/a\\b.js"
                                                   << "/home/u/my\\site";
        QTest::newRow("no separator") << "index.js"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void folder() {
        QFETCH(QString, path);
        QTEST(modString::GetFolder(path), "folder");
    }

    void relativeUrl_data() {
        const struct {
            const char* row;
            QString folder;
            QString file;
            QString url;
        } rows[] = {
            {"same folder", "C:\\Web\\site", "C:\\Web\\site\\logo.gif", "logo.gif"},
            {"sub folder", "C:\\Web\\site", "C:\\Web\\site\\images\\logo.gif", "images/logo.gif"},
            {"sibling", "C:\\Web\\site", "C:\\Web\\img\\a.gif", "../img/a.gif"},
            {"prefix is no folder", "C:\\Web\\site", "C:\\Web\\site2\\a.gif", "../site2/a.gif"},
            {"two up", "C:\\Web\\site", "C:\\logo.gif", "../../logo.gif"},
            {"drive as folder", "C:", "C:\\a.gif", "a.gif"},
            {"folder case matters", "C:\\Web\\Site", "C:\\Web\\site\\a.gif", "../site/a.gif"},
            {"other drive", "C:\\Web\\site", "D:\\pics\\a.gif", "file:///D:\\pics\\a.gif"},
            {"drive letter case", "C:\\Web\\site", "c:\\Web\\site\\a.gif",
             "file:///c:\\Web\\site\\a.gif"},
            {"unc", "C:\\Web\\site", "\\\\server\\share\\a.gif",
             "file:///\\\\server\\share\\a.gif"},
            {"drive with slashes", "C:\\Web\\site", "C:/pics/a.gif", "file:///C:/pics/a.gif"},
            {"no folder", "", "C:\\a.gif", "file:///C:\\a.gif"},
            {"base ending in separator", "C:\\", "C:\\a.gif", "../a.gif"},
            {"no escaping", "C:\\w", "C:\\w\\my pics\\#1 100%.gif", "my pics/#1 100%.gif"},
            // POSIX paths on this platform.
            {"posix sub folder", "/home/u/site", "/home/u/site/images/logo.gif", "images/logo.gif"},
            {"posix sibling", "/home/u/site", "/home/u/pics/a.gif", "../pics/a.gif"},
            {"posix prefix is no folder", "/home/u/site", "/home/u/site2/a.gif", "../site2/a.gif"},
            {"posix far away", "/home/u/site", "/srv/a.gif", "../../../srv/a.gif"},
            {"posix, backslash in a name", "/home/u/site", "/home/u/site/a\\b.gif", "a\\b.gif"},
            {"posix, backslash in the folder", "/home/u/my\\site", "/home/u/my\\site/img\\a.gif",
             "img\\a.gif"},
            {"posix file, no folder", "", "/home/u/a.gif", "file:///home/u/a.gif"},
            {"posix file, drive folder", "C:\\Web", "/home/u/a.gif", "file:///home/u/a.gif"},
            {"relative file", "/home/u", "a.gif", "file:///a.gif"},
        };
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("url");
        for (const auto& r : rows)
            QTest::newRow(r.row) << r.folder << r.file << r.url;
    }
    void relativeUrl() {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QTEST(modString::GetRelativeUrl(folder, file), "url");
    }
};

QTEST_APPLESS_MAIN(TestModString)
#include "tst_modstring.moc"
