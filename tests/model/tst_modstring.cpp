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
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("url");
        QTest::newRow("same folder") << "C:\\Web\\site"
                                     << "C:\\Web\\site\\logo.gif"
                                     << "logo.gif";
        QTest::newRow("sub folder") << "C:\\Web\\site"
                                    << "C:\\Web\\site\\images\\logo.gif"
                                    << "images/logo.gif";
        QTest::newRow("sibling") << "C:\\Web\\site"
                                 << "C:\\Web\\img\\a.gif"
                                 << "../img/a.gif";
        QTest::newRow("prefix is no folder") << "C:\\Web\\site"
                                             << "C:\\Web\\site2\\a.gif"
                                             << "../site2/a.gif";
        QTest::newRow("two up") << "C:\\Web\\site"
                                << "C:\\logo.gif"
                                << "../../logo.gif";
        QTest::newRow("drive as folder") << "C:"
                                         << "C:\\a.gif"
                                         << "a.gif";
        QTest::newRow("folder case matters") << "C:\\Web\\Site"
                                             << "C:\\Web\\site\\a.gif"
                                             << "../site/a.gif";
        QTest::newRow("other drive") << "C:\\Web\\site"
                                     << "D:\\pics\\a.gif"
                                     << "file:///D:\\pics\\a.gif";
        QTest::newRow("drive letter case") << "C:\\Web\\site"
                                           << "c:\\Web\\site\\a.gif"
                                           << "file:///c:\\Web\\site\\a.gif";
        QTest::newRow("unc") << "C:\\Web\\site"
                             << "\\\\server\\share\\a.gif"
                             << "file:///\\\\server\\share\\a.gif";
        QTest::newRow("drive with slashes") << "C:\\Web\\site"
                                            << "C:/pics/a.gif"
                                            << "file:///C:/pics/a.gif";
        QTest::newRow("no folder") << ""
                                   << "C:\\a.gif"
                                   << "file:///C:\\a.gif";
        QTest::newRow("base ending in separator") << "C:\\"
                                                  << "C:\\a.gif"
                                                  << "../a.gif";
        QTest::newRow("no escaping") << "C:\\w"
                                     << "C:\\w\\my pics\\#1 100%.gif"
                                     << "my pics/#1 100%.gif";
        // POSIX paths on this platform.
        QTest::newRow("posix sub folder") << "/home/u/site"
                                          << "/home/u/site/images/logo.gif"
                                          << "images/logo.gif";
        QTest::newRow("posix sibling") << "/home/u/site"
                                       << "/home/u/pics/a.gif"
                                       << "../pics/a.gif";
        QTest::newRow("posix prefix is no folder") << "/home/u/site"
                                                   << "/home/u/site2/a.gif"
                                                   << "../site2/a.gif";
        QTest::newRow("posix far away") << "/home/u/site"
                                        << "/srv/a.gif"
                                        << "../../../srv/a.gif";
        QTest::newRow("posix, backslash in a name") << "/home/u/site"
                                                    << "/home/u/site/a\\b.gif"
                                                    << "a\\b.gif";
        QTest::newRow("posix, backslash in the folder") << "/home/u/my\\site"
                                                        << "/home/u/my\\site/img\\a.gif"
                                                        << "img\\a.gif";
        QTest::newRow("posix file, no folder") << ""
                                               << "/home/u/a.gif"
                                               << "file:///home/u/a.gif";
        QTest::newRow("posix file, drive folder") << "C:\\Web"
                                                  << "/home/u/a.gif"
                                                  << "file:///home/u/a.gif";
        QTest::newRow("relative file") << "/home/u"
                                       << "a.gif"
                                       << "file:///a.gif";
    }
    void relativeUrl() {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QTEST(modString::GetRelativeUrl(folder, file), "url");
    }
};

QTEST_APPLESS_MAIN(TestModString)
#include "tst_modstring.moc"
