#include "fakedialogs.h"
#include "fakehelpviewer.h"
#include "htmlhelp.h"
#include "registrystore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using help::FakeHelpViewer;
using help::HelpLinkRecord;
using help::HelpPopupRecord;
using help::HelpSearchRecord;
using help::HelpViewer;
using platform::Dialogs;
using platform::FakeDialogs;
using platform::RegistryStore;

namespace {

const QString kTitle = QStringLiteral("HTML Help Class");
const QString kHelpFilesKey = QStringLiteral("Software\\Microsoft\\Windows\\HTML Help");

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

class TestHTMLHelp : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<RegistryStore> store;
    std::unique_ptr<FakeHelpViewer> viewer;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<HTMLHelp> hh;
    QString app;  // application folder
    QString docs; // a folder of registered help files, ending in a separator

    QString chm() const { return app + "/tickora.chm"; }

    void expectMessage(const QString& text, Dialogs::Icon icon) {
        QCOMPARE(dialogs->messages.size(), 1);
        const Dialogs::Message& m = dialogs->messages.first();
        QCOMPARE(m.text, text);
        QCOMPARE(m.title, kTitle);
        QCOMPARE(m.icon, icon);
        QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
        dialogs->clear();
    }

    QString registered(const QString& name) {
        RegistryStore::Key key = 0;
        if (store->open(RegistryStore::Root::LocalMachine, kHelpFilesKey, RegistryStore::Read,
                        &key) != RegistryStore::Success)
            return QString();
        RegistryStore::Value v;
        const long rc = store->queryValue(key, name, &v);
        store->close(key);
        return rc == RegistryStore::Success ? v.text : QString();
    }

    void seedRegistration(const QString& name, const QString& folder) {
        RegistryStore::Key key = 0;
        QCOMPARE(store->create(RegistryStore::Root::LocalMachine, kHelpFilesKey,
                               RegistryStore::Write, &key),
                 long(RegistryStore::Success));
        QCOMPARE(store->setString(key, name, folder), long(RegistryStore::Success));
        store->close(key);
    }

    void seedDefaultValue(RegistryStore::Root root, const QString& keyPath, const QString& data,
                          RegistryStore::Type type = RegistryStore::Type::String) {
        RegistryStore::Key key = 0;
        QCOMPARE(store->create(root, keyPath, RegistryStore::Write, &key),
                 long(RegistryStore::Success));
        QCOMPARE(store->setString(key, QString(), data, type), long(RegistryStore::Success));
        store->close(key);
    }

private slots:
    void init() {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        app = tmp->path() + "/app";
        docs = tmp->path() + "/docs/";
        touch(chm());
        touch(app + "/notes.CHM");
        store = std::make_unique<RegistryStore>(tmp->path() + "/config/registry.ini");
        viewer = std::make_unique<FakeHelpViewer>();
        dialogs = std::make_unique<FakeDialogs>();
        hh = std::make_unique<HTMLHelp>(*viewer, *store, *dialogs, app);
    }

    // ---- Display methods ------------------------------------------------------------------

    void displayMethods_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("onTop");
        QTest::addColumn<QString>("fileSuffix"); // after CHMFile
        QTest::addColumn<int>("command");
        QTest::addColumn<quintptr>("owner");

        QTest::newRow("topic url, Main") << "TopicURL"
                                         << "Main" << false << ">Main" << 0 << quintptr(0);
        QTest::newRow("topic id, on top") << "TopicID"
                                          << "Main" << true << ">Main" << 15 << quintptr(77);
        QTest::newRow("search, blank window") << "Search"
                                              << "   " << false << "" << 3 << quintptr(0);
        QTest::newRow("index, no window") << "Index"
                                          << "" << true << "" << 2 << quintptr(77);
        QTest::newRow("index, leading space kept")
            << "Index"
            << " Main" << false << "> Main" << 2 << quintptr(0);
        QTest::newRow("contents, Main") << "Contents"
                                        << "Main" << false << ">Main" << 1 << quintptr(0);
        // Keyword and link lookups never add the window type to the file argument.
        QTest::newRow("alink ignores window suffix") << "ALink"
                                                     << "Main" << true << "" << 19 << quintptr(77);
    }

    void displayMethods() {
        QFETCH(QString, method);
        QFETCH(QString, window);
        QFETCH(bool, onTop);
        QFETCH(QString, fileSuffix);
        QFETCH(int, command);
        QFETCH(quintptr, owner);

        hh->setCHMFile(chm());
        hh->setHHWindow(window);
        hh->setHHShowOnTop(onTop);
        hh->setHHTopicURL("html/integration.htm#tags");
        hh->setHHTopicID(1001);
        hh->setHHALink("IntegrationLink;Other");
        viewer->handles = {0x4242};

        if (method == "TopicURL")
            hh->HHDisplayTopicURL(77);
        else if (method == "TopicID")
            hh->HHDisplayTopicID(77);
        else if (method == "Search")
            hh->HHDisplaySearch(77);
        else if (method == "Index")
            hh->HHDisplayIndex(77);
        else if (method == "Contents")
            hh->HHDisplayContents(77);
        else if (method == "ALink")
            hh->HHDisplayALink(77);

        QCOMPARE(viewer->calls.size(), 1);
        const FakeHelpViewer::Call& c = viewer->last();
        QCOMPARE(c.owner, owner);
        QCOMPARE(c.file, chm() + fileSuffix);
        QCOMPARE(c.command, command);
        if (method == "TopicURL") {
            QCOMPARE(std::get<QString>(c.data), QString("html/integration.htm#tags"));
        } else if (method == "TopicID") {
            QCOMPARE(std::get<qint32>(c.data), 1001);
        } else if (method == "Search") {
            const auto& r = std::get<HelpSearchRecord>(c.data);
            QCOMPARE(r.size, 32);
            QCOMPARE(r.unicode, 0);
            QVERIFY(!r.query.isNull() && r.query.isEmpty());
            QCOMPARE(r.proximity, 0);
            QCOMPARE(r.stemmed, 0);
            QCOMPARE(r.titleOnly, 0);
            QCOMPARE(r.execute, 1);
            QVERIFY(!r.window.isNull() && r.window.isEmpty());
        } else if (method == "ALink") {
            const auto& r = std::get<HelpLinkRecord>(c.data);
            QCOMPARE(r.keywords, QString("IntegrationLink;Other"));
            QCOMPARE(r.window, QString("Main"));
        } else {
            QVERIFY(std::holds_alternative<std::monostate>(c.data));
        }
        QCOMPARE(hh->HHWndHandle(), quintptr(0x4242));
        QVERIFY(dialogs->messages.isEmpty());
    }

    void keywordLookupMakesTwoCalls() {
        hh->setCHMFile(chm());
        hh->setHHWindow("Main");
        hh->setHHKeyword("preview;spacing");
        hh->setHHMsgTitle(""); // empty travels as none
        hh->setHHMsgText("Nothing found.");
        viewer->handles = {0x11, 0x22};

        hh->HHDisplayKeyword(0);

        QCOMPARE(viewer->calls.size(), 2);
        QCOMPARE(viewer->calls[0].file, chm());
        QCOMPARE(viewer->calls[0].command, int(HelpViewer::DisplayTopic));
        QVERIFY(std::holds_alternative<std::monostate>(viewer->calls[0].data));
        QCOMPARE(viewer->calls[1].file, chm());
        QCOMPARE(viewer->calls[1].command, int(HelpViewer::KeywordLookup));
        const auto& r = std::get<HelpLinkRecord>(viewer->calls[1].data);
        QCOMPARE(r.size, 28);
        QCOMPARE(r.reserved, false);
        QCOMPARE(r.keywords, QString("preview;spacing"));
        QVERIFY(r.url.isNull());
        QCOMPARE(r.msgText, QString("Nothing found."));
        QVERIFY(r.msgTitle.isNull());
        QCOMPARE(r.window, QString("Main"));
        QCOMPARE(r.indexOnFail, false);
        QVERIFY(hh->HHMsgTitle().isEmpty());
        QCOMPARE(hh->HHWndHandle(), quintptr(0x22));

        // A blank window type gives no window in the record.
        hh->setHHWindow("  ");
        hh->setHHDefaultURL("html/welcome.htm");
        hh->HHDisplayKeyword(0);
        const auto& r2 = std::get<HelpLinkRecord>(viewer->last().data);
        QVERIFY(r2.window.isNull());
        QCOMPARE(r2.url, QString("html/welcome.htm"));
    }

    void windowHandleIsRecordedAndKept() {
        QCOMPARE(hh->HHWndHandle(), quintptr(0));
        expectMessage("No HTML Help window handle to retrieve.", Dialogs::Icon::Exclamation);

        hh->setCHMFile(chm());
        viewer->handles = {0x77};
        hh->HHDisplayIndex();
        hh->HHClose();
        QCOMPARE(viewer->last().owner, quintptr(0));
        QVERIFY(!viewer->last().file.isNull() && viewer->last().file.isEmpty());
        QCOMPARE(viewer->last().command, int(HelpViewer::CloseAll));
        QVERIFY(std::holds_alternative<std::monostate>(viewer->last().data));
        QCOMPARE(hh->HHWndHandle(), quintptr(0x77));

        // An unreachable viewer leaves the last handle; no message.
        viewer->reachable = false;
        hh->HHDisplayContents();
        QCOMPARE(hh->HHWndHandle(), quintptr(0x77));
        QVERIFY(dialogs->messages.isEmpty());

        // A viewer answering 0 is recorded as such.
        viewer->reachable = true;
        viewer->handles = {0};
        hh->HHDisplayContents();
        QCOMPARE(hh->HHWndHandle(), quintptr(0));
        expectMessage("No HTML Help window handle to retrieve.", Dialogs::Icon::Exclamation);
    }

    void windowServices() {
        hh->HHInvokeWhatsThisHelp(0x55);
        QCOMPARE(viewer->contextHelpWindows, QList<quintptr>{0x55});
        hh->HHDeleteJumpURLSysMenu(0x66);
        QCOMPARE(viewer->deletedMenuItems.size(), 1);
        QCOMPARE(viewer->deletedMenuItems[0].first, quintptr(0x66));
        QCOMPARE(viewer->deletedMenuItems[0].second, 0xEFFF);
        QVERIFY(viewer->calls.isEmpty());
    }

    // ---- File checks ----------------------------------------------------------------------

    void fileChecksStopTheDisplay_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong extension") << "help.chm.bak"
                                         << "help.chm.bak is not a valid HTML Help file.";
        QTest::newRow("missing file")
            << "%TMP/missing.chm"
            << "The file %TMP/missing.chm does not exist.\nPlease make sure the correct path and "
               "file name have been specified.";
        QTest::newRow("bare missing name resolved into the application folder")
            << "other.chm"
            << "The file %APP/other.chm does not exist.\nPlease make sure the correct path and "
               "file name have been specified.";
    }

    void fileChecksStopTheDisplay() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        hh->setCHMFile(file.replace("%TMP", tmp->path()));
        hh->HHDisplayContents();
        QVERIFY(viewer->calls.isEmpty());
        expectMessage(message.replace("%TMP", tmp->path()).replace("%APP", app),
                      Dialogs::Icon::Exclamation);
    }

    void bareNameResolution() {
        // Not registered: the application folder; the property reads back the full path.
        hh->setCHMFile("notes.CHM");
        hh->HHDisplayContents();
        QCOMPARE(viewer->last().file, app + "/notes.CHM");
        QCOMPARE(hh->CHMFile(), app + "/notes.CHM");

        // Registered: the registered folder.
        touch(docs + "Library.chm");
        seedRegistration("Library.chm", docs);
        hh->setCHMFile("Library.chm");
        hh->HHDisplayTopicID();
        QCOMPARE(viewer->last().file, docs + "Library.chm");
        QCOMPARE(hh->HHRegFileName(), QString("Library.chm"));
        QCOMPARE(hh->HHRegFilePath(), docs);
        QVERIFY(hh->HHRegFileExists());
        QVERIFY(dialogs->messages.isEmpty());

        // Names match without regard to case; the file system's spelling is kept.
        hh->setCHMFile("TICKORA.CHM");
        hh->HHDisplayIndex();
        QCOMPARE(viewer->last().file, chm());
        QCOMPARE(hh->CHMFile(), chm());

        // A wildcard matches like a directory search does.
        hh->setCHMFile(app + "/tick*.chm");
        hh->HHDisplayIndex();
        QCOMPARE(viewer->last().file, app + "/tick*.chm");
        QVERIFY(dialogs->messages.isEmpty());
    }

    // ---- Popups ---------------------------------------------------------------------------

    void popupFontText_data() {
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("size");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<QString>("font");
        QTest::newRow("defaults") << ""
                                  << "" << false << false << false << "Arial, 10, ascii, ";
        QTest::newRow("all styles")
            << ""
            << "" << true << true << true << "Arial, 10, ascii, Bold Italic Underline";
        QTest::newRow("own face, italic")
            << "Verdana"
            << "12" << false << true << false << "Verdana, 12, ascii, Italic ";
        QTest::newRow("bold underline")
            << ""
            << "8" << true << false << true << "Arial, 8, ascii, Bold Underline";
    }

    void popupFontText() {
        QFETCH(QString, face);
        QFETCH(QString, size);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(QString, font);
        hh->setHHPopupType(4);
        hh->setHHPopupText("Literal help");
        hh->setHHPopupTextFont(face);
        hh->setHHPopupTextSize(size);
        hh->setHHPopupTextBold(bold);
        hh->setHHPopupTextItalic(italic);
        hh->setHHPopupTextUnderline(underline);
        hh->HHDisplayPopup(0x99);
        QCOMPARE(viewer->calls.size(), 1);
        QCOMPARE(std::get<HelpPopupRecord>(viewer->last().data).font, font);
    }

    void literalPopupRecordAndReset() {
        viewer->cursor = QPoint(321, 654);
        hh->setHHShowOnTop(false); // popups take the calling form as owner regardless
        hh->setHHPopupType(4);
        hh->setHHPopupText("Literal help");
        hh->setHHPopupID(3003);
        hh->setHHPopupTextColor(0x0000ff);
        hh->setHHPopupBackColor(0x00ff00);
        hh->setHHPopupCustomTextColor(0x112233);
        hh->setHHPopupCustomBackColor(0x445566);
        hh->setHHPopupCustomColors(true);
        hh->setHHPopupTextBold(true);
        viewer->handles = {0x5150};
        hh->HHDisplayPopup(0x99);

        const FakeHelpViewer::Call& c = viewer->last();
        QCOMPARE(c.owner, quintptr(0x99));
        QVERIFY(c.file.isNull());
        QCOMPARE(c.command, int(HelpViewer::DisplayTextPopup));
        const auto& r = std::get<HelpPopupRecord>(c.data);
        QCOMPARE(r.size, 50);
        QCOMPARE(r.instance, quintptr(0));
        QCOMPARE(r.stringId, 0);
        QCOMPARE(r.text, QString("Literal help"));
        QCOMPARE(r.pos, QPoint(321, 654));
        QCOMPARE(r.textColor, 0x112233u);
        QCOMPARE(r.backColor, 0x445566u);
        QCOMPARE(r.marginLeft, -1);
        QCOMPARE(r.marginTop, -1);
        QCOMPARE(r.marginRight, -1);
        QCOMPARE(r.marginBottom, -1);
        QCOMPARE(r.font, QString("Arial, 10, ascii, Bold "));
        // Popups do not count as help windows.
        QCOMPARE(hh->HHWndHandle(), quintptr(0));
        dialogs->clear();

        // The look is reset; the choice of colour pair is not.
        QVERIFY(hh->HHPopupCustomColors());
        hh->HHDisplayPopup(0x99);
        const auto& r2 = std::get<HelpPopupRecord>(viewer->last().data);
        QCOMPARE(r2.textColor, 0u);
        QCOMPARE(r2.backColor, 0u);
        QCOMPARE(r2.font, QString("Arial, 10, ascii, "));
        QCOMPARE(r2.text, QString("Literal help"));

        hh->setHHPopupCustomColors(false);
        hh->setHHPopupTextColor(0xabcdef);
        hh->HHDisplayPopup(0x99);
        QCOMPARE(std::get<HelpPopupRecord>(viewer->last().data).textColor, 0xabcdefu);
    }

    void popupFromTheHelpFile() {
        hh->setCHMFile(chm());
        hh->setHHWindow("Main"); // never part of a popup's file argument
        hh->setHHPopupType(1);
        hh->setHHPopupFile("Popups/frmMain.txt");
        hh->setHHPopupID(3003);
        hh->HHDisplayPopup(0x99);
        const FakeHelpViewer::Call& c = viewer->last();
        QCOMPARE(c.owner, quintptr(0x99));
        QCOMPARE(c.file, chm() + "::/Popups/frmMain.txt");
        QCOMPARE(c.command, int(HelpViewer::DisplayTextPopup));
        const auto& r = std::get<HelpPopupRecord>(c.data);
        QCOMPARE(r.stringId, 3003);
        QVERIFY(r.text.isNull());

        // A bare help file name is resolved first.
        hh->setCHMFile("tickora.chm");
        hh->HHDisplayPopup(0x99);
        QCOMPARE(viewer->last().file, chm() + "::/Popups/frmMain.txt");
        QVERIFY(dialogs->messages.isEmpty());
    }

    void popupFromTheStringTable() {
        hh->setStringTable([](int id) {
            return id == 101 ? QString("Save the scroller to set project folder.") : QString();
        });
        hh->setHHPopupType(2);
        hh->setHHPopupID(101);
        hh->HHDisplayPopup(0x99);
        QVERIFY(viewer->last().file.isNull());
        const auto& r = std::get<HelpPopupRecord>(viewer->last().data);
        QCOMPARE(r.text, QString("Save the scroller to set project folder."));
        QCOMPARE(r.stringId, 0);
        QCOMPARE(r.instance, quintptr(0));
    }

    void popupsThatShowNothing_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("popupFile");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("cursorReads");
        QTest::newRow("type 0") << 0 << ""
                                << "x"
                                << "" << 0;
        QTest::newRow("type 4, empty text") << 4 << ""
                                            << ""
                                            << "" << 1;
        QTest::newRow("type 3") << 3 << ""
                                << "x"
                                << "" << 1;
        QTest::newRow("type 5") << 5 << ""
                                << "x"
                                << "" << 1;
        QTest::newRow("type 1, not a text file")
            << 1 << "Popups/frmMain.rtf"
            << ""
            << "The file specified as the text popup source, "
               "'Popups/frmMain.rtf', is not a valid popup file."
            << 1;
        QTest::newRow("type 1, not a help file")
            << 1 << "Popups/frmMain.txt"
            << ""
            << "readme.txt is not a valid HTML Help file." << 0;
    }

    void popupsThatShowNothing() {
        QFETCH(int, type);
        QFETCH(QString, popupFile);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(int, cursorReads);
        struct CountingViewer : FakeHelpViewer {
            mutable int reads = 0;
            QPoint cursorPos() const override {
                ++reads;
                return cursor;
            }
        } counting;
        HTMLHelp help(counting, *store, *dialogs, app);
        help.setCHMFile(message.startsWith("readme") ? QString("readme.txt") : chm());
        help.setHHPopupType(type);
        help.setHHPopupFile(popupFile);
        help.setHHPopupText(text);
        help.setHHPopupTextBold(true);
        help.setHHPopupTextColor(0x123456);
        help.HHDisplayPopup(0x99);
        QVERIFY(counting.calls.isEmpty());
        QCOMPARE(counting.reads, cursorReads);
        if (message.isEmpty())
            QVERIFY(dialogs->messages.isEmpty());
        else
            expectMessage(message, Dialogs::Icon::Exclamation);

        // Nothing was reset: the next shown popup still has the earlier look.
        help.setHHPopupType(4);
        help.setHHPopupText("now");
        help.HHDisplayPopup(0x99);
        const auto& r = std::get<HelpPopupRecord>(counting.last().data);
        QCOMPARE(r.font, QString("Arial, 10, ascii, Bold "));
        QCOMPARE(r.textColor, 0x123456u);
    }

    // ---- Registration ---------------------------------------------------------------------

    void registerAndUnregister() {
        touch(docs + "Library.chm");
        QString file = docs + "Library.chm";
        hh->HHRegister(file);
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(file, QString("Library.chm"));
        QCOMPARE(registered("Library.chm"), docs);
        // Not refreshed by a successful write.
        QVERIFY(hh->HHRegFileName().isEmpty());

        file = docs + "Library.chm";
        hh->HHRegister(file);
        expectMessage(QString("The file %1Library.chm is already registered.  HHRegister will "
                              "not be run as no action need be taken.")
                          .arg(docs),
                      Dialogs::Icon::Information);

        // Names match without regard to case; the name reads back as asked.
        hh->HHCheckRegistry("library.chm");
        QCOMPARE(hh->HHRegFileName(), QString("library.chm"));
        QCOMPARE(hh->HHRegFilePath(), docs);
        QVERIFY(hh->HHRegFileExists());

        // Unregistering a registered file that has gone: the lookup warns, the entry goes.
        QVERIFY(QFile::remove(docs + "Library.chm"));
        file = "Library.chm";
        hh->HHUnRegister(file);
        expectMessage(QString("The file %1/Library.chm does not exist.\nPlease make sure the "
                              "correct path and file name have been specified.")
                          .arg(docs),
                      Dialogs::Icon::Exclamation);
        QVERIFY(registered("Library.chm").isNull());
        QVERIFY(hh->HHRegFileName().isEmpty());
        QVERIFY(hh->HHRegFilePath().isEmpty());
        QVERIFY(!hh->HHRegFileExists());

        file = "Library.chm";
        hh->HHUnRegister(file);
        expectMessage("The file Library.chm is not registered.  HHUnRegister will not be run as "
                      "no action need be taken.",
                      Dialogs::Icon::Information);
    }

    void registrationRefusals() {
        // A bare name is checked for existence first, then refused.
        QString bare = "notes.CHM";
        hh->HHRegister(bare);
        expectMessage("Cannot register notes.CHM without having a supplied path.\"",
                      Dialogs::Icon::Exclamation);
        QVERIFY(registered("notes.CHM").isNull());

        QString wrong = app + "/notes.hlp";
        hh->HHRegister(wrong);
        expectMessage(app + "/notes.hlp is not a valid HTML Help file.",
                      Dialogs::Icon::Exclamation);
        QString empty;
        hh->HHRegister(empty);
        hh->HHUnRegister(empty);
        QVERIFY(dialogs->messages.isEmpty());

        // A store that cannot be written refuses the key.
        store->setReadOnly(true);
        QString file = chm();
        hh->HHRegister(file);
        expectMessage("HTML Help Class: HHRegister Error", Dialogs::Icon::Exclamation);
        QVERIFY(registered("tickora.chm").isNull());
    }

    // ---- Environment ----------------------------------------------------------------------

    void versionDetection() {
        const QString viewerKey = "CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32";
        const QString browserKey = "CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InProcServer32";

        QVERIFY(!hh->HHInstalled());
        QCOMPARE(hh->HHVersion(), QString());
        expectMessage("Hhctrl.ocx is not registered.  Please install HTML Help.",
                      Dialogs::Icon::Critical);
        QCOMPARE(hh->IEVersion(), QString());
        expectMessage("Shdocvw.dll is not registered.  Please install Internet Explorer.",
                      Dialogs::Icon::Critical);

        seedDefaultValue(RegistryStore::Root::ClassesRoot, viewerKey, tmp->path() + "/gone.so");
        hh->HHVersion();
        expectMessage("Hhctrl.ocx is not in its registered location.  Please reinstall HTML Help.",
                      Dialogs::Icon::Critical);
        seedDefaultValue(RegistryStore::Root::ClassesRoot, browserKey, tmp->path() + "/gone.so");
        hh->IEVersion();
        expectMessage("Internet Explorer is not in its registered location.  Please reinstall "
                      "Internet Explorer.",
                      Dialogs::Icon::Critical);

        // Found, through an expandable path; files here carry no version text.
        qputenv("TICKORA_TEST_APP", app.toLocal8Bit());
        seedDefaultValue(RegistryStore::Root::ClassesRoot, viewerKey,
                         "%TICKORA_TEST_APP%/tickora.chm", RegistryStore::Type::ExpandString);
        QCOMPARE(hh->HHVersion(), QString());
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(hh->HHFriendlyName(), QString("unknown"));

        // The type library key lives under the classes root, which is a view of the machine's.
        RegistryStore::Key key = 0;
        QCOMPARE(store->create(RegistryStore::Root::ClassesRoot,
                               "TypeLib\\{ADB880A2-D8FF-11CF-9377-00AA003B7A11}",
                               RegistryStore::Write, &key),
                 long(RegistryStore::Success));
        store->close(key);
        QVERIFY(hh->HHInstalled());

        // An unknown code fails and leaves "unknown" behind.
        seedDefaultValue(RegistryStore::Root::ClassesRoot, browserKey, app + "/tickora.chm");
        QVERIFY(!hh->HHVerifyMinConfig(27, 256));
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(hh->HHFriendlyName(), QString("unknown"));
        // Known codes compare the (empty) version texts with the minimums.
        QVERIFY(!hh->HHVerifyMinConfig(16, 256));
    }

    void sampleHelpFileNames() {
        QCOMPARE(hh->HHSetHelpFile(1), app + "/Library.chm");
        QCOMPARE(hh->HHSetHelpFile(2), QString("Library.txt"));
        QCOMPARE(hh->HHSetHelpFile(3), QString());
        QCOMPARE(hh->HHSetHelpFile(0), QString());
    }
};

QTEST_GUILESS_MAIN(TestHTMLHelp)
#include "tst_htmlhelp.moc"
