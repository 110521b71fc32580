#include "fakedialogs.h"
#include "fakehelpviewer.h"
#include "htmlhelp.h"
#include "registrystore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using help::FakeHelpViewer;
using help::HelpLinkRecord;
using help::HelpPopupRecord;
using help::HelpSearchRecord;
using platform::Dialogs;
using platform::FakeDialogs;
using platform::RegistryStore;

namespace {

const QString kHelpFilesKey = QStringLiteral("Software\\Microsoft\\Windows\\HTML Help");
const QString kViewerKey =
    QStringLiteral("CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32");
const QString kBrowserKey =
    QStringLiteral("CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InProcServer32");

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

QString shown(const QString& s) {
    return s.isNull() ? QStringLiteral("null") : u'"' + s + u'"';
}

// One viewer call as a line: owner, file, command and what the data holds.
QString field(const QString& s) {
    return shown(s);
}
QString field(qint64 n) {
    return QString::number(n);
}
struct Hex {
    quint32 value;
};
QString field(Hex h) {
    return QString::number(h.value, 16);
}
QString field(QPoint p) {
    return QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
}
template <typename... T> QString fields(const T&... parts) {
    return QStringList{field(parts)...}.join(u' ');
}

QString render(const FakeHelpViewer::Call& c) {
    QString data = QStringLiteral("-");
    if (const auto* s = std::get_if<QString>(&c.data))
        data = shown(*s);
    else if (const auto* id = std::get_if<qint32>(&c.data))
        data = field(*id);
    else if (const auto* l = std::get_if<HelpLinkRecord>(&c.data))
        data = "link " + fields(l->size, l->reserved, l->keywords, l->url, l->msgText, l->msgTitle,
                                l->window, l->indexOnFail);
    else if (const auto* q = std::get_if<HelpSearchRecord>(&c.data))
        data = "search " + fields(q->size, q->unicode, q->query, q->proximity, q->stemmed,
                                  q->titleOnly, q->execute, q->window);
    else if (const auto* p = std::get_if<HelpPopupRecord>(&c.data))
        data = "popup " + fields(p->size, qint64(p->instance), p->stringId, p->text, p->pos,
                                 Hex{p->textColor}, Hex{p->backColor}, p->font, p->marginLeft,
                                 p->marginTop, p->marginRight, p->marginBottom);
    return fields(qint64(c.owner), c.file, c.command) + u' ' + data;
}

struct Fixture;
using Act = std::function<QString(Fixture&)>;

// The help class over a recording viewer, a registry store and an application folder of its own.
struct Fixture {
    QTemporaryDir tmp;
    QString app = tmp.path() + "/app";
    QString docs = tmp.path() + "/docs/"; // a folder of registered help files
    RegistryStore store{tmp.path() + "/config/registry.ini"};
    FakeHelpViewer viewer;
    FakeDialogs dialogs;
    HTMLHelp hh{viewer, store, dialogs, app};

    QString chm() const { return app + "/tickora.chm"; }

    QString registered(const QString& name) {
        RegistryStore::Key key = 0;
        if (store.open(RegistryStore::Root::LocalMachine, kHelpFilesKey, RegistryStore::Read,
                       &key) != RegistryStore::Success)
            return QString();
        RegistryStore::Value v;
        const long rc = store.queryValue(key, name, &v);
        store.close(key);
        return rc == RegistryStore::Success ? v.text : QStringLiteral("none");
    }

    void seed(RegistryStore::Root root, const QString& keyPath, const QString& name,
              const QString& data, RegistryStore::Type type = RegistryStore::Type::String) {
        RegistryStore::Key key = 0;
        QCOMPARE(store.create(root, keyPath, RegistryStore::Write, &key),
                 long(RegistryStore::Success));
        QCOMPARE(store.setString(key, name, data, type), long(RegistryStore::Success));
        store.close(key);
    }

    // The editor's own settings before its calls.
    void editorSettings() {
        hh.setCHMFile(chm());
        hh.setHHWindow("Main");
    }
};

} // namespace

Q_DECLARE_METATYPE(Act)

// The help class's contract, one row a case: what a row does, what the viewer was asked, what
// the user was told, and what the row reads back afterwards.
class TestHTMLHelp : public QObject {
    Q_OBJECT

private slots:
    void contract_data() {
        QTest::addColumn<Act>("act");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("messages"); // icon letter, then the text
        QTest::addColumn<QString>("after");
        const QString missing = "The file %1 does not exist.\nPlease make sure the correct path "
                                "and file name have been specified.";
        const QString chm = "\"APP/tickora.chm";
        auto row = [](const char* name, const Act& act, const QStringList& calls,
                      const QStringList& messages = {}, const QString& after = QString()) {
            QTest::newRow(name) << act << calls << messages << after;
        };
        auto handle = [](Fixture& f) { return QString::number(f.hh.HHWndHandle(), 16); };

        // ---- What the editor calls.
        row(
            "contents",
            [=](Fixture& f) {
                f.editorSettings();
                f.hh.HHDisplayContents(0);
                return handle(f);
            },
            {"0 " + chm + ">Main\" 1 -"}, {}, "1000");
        row(
            "topic 1001",
            [=](Fixture& f) {
                f.editorSettings();
                f.hh.setHHTopicID(1001);
                f.hh.HHDisplayTopicID(0);
                return handle(f);
            },
            {"0 " + chm + ">Main\" 15 1001"}, {}, "1000");
        row(
            "what's this and the jump menu",
            [](Fixture& f) {
                f.hh.HHInvokeWhatsThisHelp(0x55);
                f.hh.HHDeleteJumpURLSysMenu(0x66);
                return QStringLiteral("%1 %2 %3")
                    .arg(f.viewer.contextHelpWindows.value(0), 0, 16)
                    .arg(f.viewer.deletedMenuItems.value(0).first, 0, 16)
                    .arg(f.viewer.deletedMenuItems.value(0).second, 0, 16);
            },
            {}, {}, "55 66 efff");

        // ---- The other display methods: window suffix, owner, data.
        auto display = [](void (HTMLHelp::*method)(HTMLHelp::WindowHandle), QString window,
                          bool onTop) {
            return Act([=](Fixture& f) {
                f.hh.setCHMFile(f.chm());
                f.hh.setHHWindow(window);
                f.hh.setHHShowOnTop(onTop);
                f.hh.setHHTopicURL("html/integration.htm#tags");
                f.hh.setHHALink("IntegrationLink;Other");
                (f.hh.*method)(77);
                return QString::number(f.hh.HHWndHandle(), 16);
            });
        };
        row("topic url, not on top", display(&HTMLHelp::HHDisplayTopicURL, "Main", false),
            {"0 " + chm + ">Main\" 0 \"html/integration.htm#tags\""}, {}, "1000");
        row("index, on top, no window", display(&HTMLHelp::HHDisplayIndex, "", true),
            {"77 " + chm + "\" 2 -"}, {}, "1000");
        row("index, leading space kept", display(&HTMLHelp::HHDisplayIndex, " Main", false),
            {"0 " + chm + "> Main\" 2 -"}, {}, "1000");
        row("contents, one-character window", display(&HTMLHelp::HHDisplayContents, "x", false),
            {"0 " + chm + ">x\" 1 -"}, {}, "1000");
        row("search, blank window", display(&HTMLHelp::HHDisplaySearch, "   ", false),
            {"0 " + chm + "\" 3 search 32 0 \"\" 0 0 0 1 \"\""}, {}, "1000");
        row("link lookup: window in the record only",
            display(&HTMLHelp::HHDisplayALink, "Main", true),
            {"77 " + chm + "\" 19 link 28 0 \"IntegrationLink;Other\" null null null \"Main\" 0"},
            {}, "1000");
        row(
            "keyword lookup: default topic first",
            [](Fixture& f) {
                f.hh.setCHMFile(f.chm());
                f.hh.setHHWindow("  ");
                f.hh.setHHKeyword("preview;spacing");
                f.hh.setHHMsgTitle(""); // empty travels as none
                f.hh.setHHMsgText("Nothing found.");
                f.hh.setHHDefaultURL("html/welcome.htm");
                f.hh.HHDisplayKeyword(0);
                return QString::number(f.hh.HHWndHandle(), 16) + shown(f.hh.HHMsgTitle());
            },
            {"0 " + chm + "\" 0 -", "0 " + chm +
                                        "\" 13 link 28 0 \"preview;spacing\" \"html/welcome.htm\" "
                                        "\"Nothing found.\" null null 0"},
            {}, "1001null");

        // ---- The window handle.
        row("no handle yet", handle, {}, {"! No HTML Help window handle to retrieve."}, "0");
        row(
            "closing keeps the handle; an unreachable viewer too",
            [](Fixture& f) {
                f.hh.setCHMFile(f.chm());
                f.hh.HHDisplayIndex();
                f.hh.HHClose();
                f.viewer.reachable = false;
                f.hh.HHDisplayContents();
                return QString::number(f.hh.HHWndHandle(), 16);
            },
            {"0 " + chm + "\" 2 -", "0 \"\" 18 -", "0 " + chm + "\" 1 -"}, {}, "1000");
        row(
            "a viewer answering 0 is recorded",
            [](Fixture& f) {
                f.hh.setCHMFile(f.chm());
                f.hh.HHDisplayIndex();
                f.viewer.handles = {0};
                f.hh.HHDisplayContents();
                return QString::number(f.hh.HHWndHandle(), 16);
            },
            {"0 " + chm + "\" 2 -", "0 " + chm + "\" 1 -"},
            {"! No HTML Help window handle to retrieve."}, "0");

        // ---- Help file checks and names.
        auto contentsOf = [](const QString& file) {
            return Act([=](Fixture& f) {
                f.hh.setCHMFile(QString(file).replace("APP", f.app).replace("TMP", f.tmp.path()));
                f.hh.HHDisplayContents();
                return f.hh.CHMFile();
            });
        };
        row("not a help file", contentsOf("help.chm.bak"), {},
            {"! help.chm.bak is not a valid HTML Help file."}, "help.chm.bak");
        row("missing file", contentsOf("TMP/missing.chm"), {},
            {"! " + missing.arg("TMP/missing.chm")}, "TMP/missing.chm");
        row("bare missing name", contentsOf("other.chm"), {}, {"! " + missing.arg("APP/other.chm")},
            "APP/other.chm");
        row("bare name: the application folder", contentsOf("notes.CHM"),
            {"0 \"APP/notes.CHM\" 1 -"}, {}, "APP/notes.CHM");
        row("bare name: the file system's spelling", contentsOf("TICKORA.CHM"),
            {"0 " + chm + "\" 1 -"}, {}, "APP/tickora.chm");
        row("wildcard", contentsOf("APP/tick*.chm"), {"0 \"APP/tick*.chm\" 1 -"}, {},
            "APP/tick*.chm");
        row(
            "bare name: the registered folder",
            [](Fixture& f) {
                touch(f.docs + "Library.chm");
                f.seed(RegistryStore::Root::LocalMachine, kHelpFilesKey, "LIBRARY.CHM", f.docs);
                f.hh.setCHMFile("library.chm");
                f.hh.HHDisplayTopicID();
                return f.hh.HHRegFileName() + u' ' + f.hh.HHRegFilePath() + u' ' +
                       QString::number(f.hh.HHRegFileExists());
            },
            {"0 \"TMP/docs/Library.chm\" 15 0"}, {}, "library.chm TMP/docs/ 1");

        // ---- Popups.
        auto popup = [](int type, const QString& text, const QString& face, const QString& size,
                        int styles) {
            return Act([=](Fixture& f) {
                f.viewer.cursor = QPoint(321, 654);
                f.hh.setCHMFile("tickora.chm");
                f.hh.setHHWindow("Main"); // never part of a popup's file argument
                f.hh.setStringTable([](int id) {
                    return id == 101 ? QString("Save the scroller first.") : QString();
                });
                f.hh.setHHPopupType(type);
                f.hh.setHHPopupText(text);
                f.hh.setHHPopupFile(type == 1 && !text.isEmpty() ? text : "Popups/frmMain.txt");
                f.hh.setHHPopupID(type == 2 ? 101 : 3003);
                f.hh.setHHPopupTextFont(face);
                f.hh.setHHPopupTextSize(size);
                f.hh.setHHPopupTextBold(styles & 1);
                f.hh.setHHPopupTextItalic(styles & 2);
                f.hh.setHHPopupTextUnderline(styles & 4);
                f.hh.setHHPopupTextColor(0x0000ff);
                f.hh.setHHPopupBackColor(0x00ff00);
                f.hh.setHHPopupCustomTextColor(0x112233);
                f.hh.setHHPopupCustomBackColor(0x445566);
                f.hh.setHHPopupCustomColors(styles & 8);
                f.hh.HHDisplayPopup(0x99);
                // Then a literal popup shows whether the look was reset.
                f.hh.setHHPopupType(4);
                f.hh.setHHPopupText("next");
                f.hh.HHDisplayPopup(0x99);
                return render(f.viewer.last()) + u' ' + QString::number(f.hh.HHWndHandle());
            });
        };
        const QString reset = "153 null 14 popup 50 0 0 \"next\" 321,654 0 0 \"Arial, 10, ascii, "
                              "\" -1 -1 -1 -1";
        const QString kept = "153 null 14 popup 50 0 0 \"next\" 321,654 ff ff00 \"Arial, 10, "
                             "ascii, Bold \" -1 -1 -1 -1";
        const QString noHandle = {"! No HTML Help window handle to retrieve."};
        row("literal popup, default font, custom colours", popup(4, "Literal", "", "", 8),
            {"153 null 14 popup 50 0 0 \"Literal\" 321,654 112233 445566 \"Arial, 10, ascii, \" "
             "-1 -1 -1 -1",
             "153 null 14 popup 50 0 0 \"next\" 321,654 0 0 \"Arial, 10, ascii, \" -1 -1 -1 -1"},
            {noHandle}, reset + " 0");
        row("help file popup, all styles", popup(1, "", "", "", 7),
            {"153 " + chm +
                 "::/Popups/frmMain.txt\" 14 popup 50 0 3003 null 321,654 ff ff00 "
                 "\"Arial, 10, ascii, Bold Italic Underline\" -1 -1 -1 -1",
             reset},
            {noHandle}, reset + " 0");
        row("string table popup, own face", popup(2, "", "Verdana", "12", 2),
            {"153 null 14 popup 50 0 0 \"Save the scroller first.\" 321,654 ff ff00 \"Verdana, "
             "12, ascii, Italic \" -1 -1 -1 -1",
             reset},
            {noHandle}, reset + " 0");
        row("type 0 shows nothing", popup(0, "x", "", "", 1), {kept}, {noHandle}, kept + " 0");
        row("type 3 shows nothing", popup(3, "x", "", "", 1), {kept}, {noHandle}, kept + " 0");
        row("type 4 without text", popup(4, "", "", "", 1), {kept}, {noHandle}, kept + " 0");
        row("type 1, not a popup file", popup(1, "Popups/frmMain.rtf", "", "", 1), {kept},
            {"! The file specified as the text popup source, 'Popups/frmMain.rtf', is not a "
             "valid popup file.",
             noHandle},
            kept + " 0");

        // ---- Registration.
        row(
            "register, then again, then unregister a file that has gone",
            [](Fixture& f) {
                touch(f.docs + "Library.chm");
                QString file = f.docs + "Library.chm";
                f.hh.HHRegister(file);
                QString out = file + u' ' + f.registered("Library.chm") + u' ' +
                              QString::number(f.hh.HHRegFileName().isEmpty()); // not refreshed
                file = f.docs + "Library.chm";
                f.hh.HHRegister(file);
                QFile::remove(f.docs + "Library.chm");
                file = "Library.chm";
                f.hh.HHUnRegister(file);
                out += u' ' + f.registered("Library.chm") + u' ' +
                       QString::number(f.hh.HHRegFileName().isEmpty());
                f.hh.HHUnRegister(file);
                return out;
            },
            {},
            {"i The file TMP/docs/Library.chm is already registered.  HHRegister will not be run "
             "as no action need be taken.",
             "! " + missing.arg("TMP/docs//Library.chm"),
             "i The file Library.chm is not registered.  HHUnRegister will not be run as no "
             "action need be taken."},
            "Library.chm TMP/docs/ 1 none 1");
        row(
            "register refusals",
            [](Fixture& f) {
                touch(f.app + "/notes.CHM");
                QString bare = "notes.CHM";
                f.hh.HHRegister(bare);
                QString wrong = "notes.hlp";
                f.hh.HHRegister(wrong);
                QString empty;
                f.hh.HHRegister(empty);
                f.hh.HHUnRegister(empty);
                f.store.setReadOnly(true);
                QString file = f.chm();
                f.hh.HHRegister(file);
                return f.registered("notes.CHM") + u' ' + f.registered("tickora.chm");
            },
            {},
            {"! Cannot register notes.CHM without having a supplied path.\"",
             "! notes.hlp is not a valid HTML Help file.", "! HTML Help Class: HHRegister Error"},
            " ");

        // ---- Versions and sample names.
        row(
            "versions not registered",
            [](Fixture& f) {
                const QString viewer = f.hh.HHVersion(); // in this order
                return QString::number(f.hh.HHInstalled()) + u' ' + viewer + u' ' +
                       f.hh.IEVersion();
            },
            {},
            {"x Hhctrl.ocx is not registered.  Please install HTML Help.",
             "x Shdocvw.dll is not registered.  Please install Internet Explorer."},
            "0  ");
        row(
            "versions not where registered",
            [](Fixture& f) {
                f.seed(RegistryStore::Root::ClassesRoot, kViewerKey, QString(), "/gone.so");
                f.seed(RegistryStore::Root::ClassesRoot, kBrowserKey, QString(), "/gone.so");
                const QString viewer = f.hh.HHVersion(); // in this order
                return viewer + u'|' + f.hh.IEVersion();
            },
            {},
            {"x Hhctrl.ocx is not in its registered location.  Please reinstall HTML Help.",
             "x Internet Explorer is not in its registered location.  Please reinstall Internet "
             "Explorer."},
            "|");
        row(
            "versions found; minimum configuration",
            [](Fixture& f) {
                qputenv("TICKORA_TEST_APP", f.app.toLocal8Bit());
                f.seed(RegistryStore::Root::ClassesRoot, kViewerKey, QString(),
                       "%TICKORA_TEST_APP%/tickora.chm", RegistryStore::Type::ExpandString);
                f.seed(RegistryStore::Root::ClassesRoot, kBrowserKey, QString(), f.chm());
                // The type library key: the classes root is a view of the machine's.
                f.seed(RegistryStore::Root::ClassesRoot,
                       "TypeLib\\{ADB880A2-D8FF-11CF-9377-00AA003B7A11}", "x", "y");
                return QStringList{QString::number(f.hh.HHVersion().isEmpty()),
                                   f.hh.HHFriendlyName(),
                                   QString::number(f.hh.HHInstalled()),
                                   QString::number(f.hh.HHVerifyMinConfig(27, 256)),
                                   f.hh.HHFriendlyName(),
                                   QString::number(f.hh.HHVerifyMinConfig(16, 256))}
                    .join(u' ');
            },
            {}, {}, "1 unknown 1 0 unknown 0");
        row(
            "sample help file names",
            [](Fixture& f) {
                return QStringList{f.hh.HHSetHelpFile(1), f.hh.HHSetHelpFile(2),
                                   f.hh.HHSetHelpFile(3) + u'|' + f.hh.HHSetHelpFile(0)}
                    .join(u' ');
            },
            {}, {}, "APP/Library.chm Library.txt |");
    }

    void contract() {
        QFETCH(Act, act);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, messages);
        QFETCH(QString, after);
        Fixture f;
        QVERIFY(f.tmp.isValid());
        touch(f.chm());
        touch(f.app + "/notes.CHM");
        const auto paths = [&](QString s) {
            return s.replace(f.app, QLatin1String("APP")).replace(f.tmp.path(), "TMP");
        };
        QCOMPARE(paths(act(f)), after);
        QStringList seen;
        for (const FakeHelpViewer::Call& c : f.viewer.calls)
            seen << paths(render(c));
        QCOMPARE(seen, calls);
        QStringList told;
        for (const Dialogs::Message& m : f.dialogs.messages) {
            QCOMPARE(m.title, QStringLiteral("HTML Help Class"));
            QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
            const char* icon = m.icon == Dialogs::Icon::Exclamation   ? "!"
                               : m.icon == Dialogs::Icon::Information ? "i"
                               : m.icon == Dialogs::Icon::Critical    ? "x"
                                                                      : "?";
            told << QLatin1String(icon) + u' ' + paths(m.text);
        }
        QCOMPARE(told, messages);
    }
};

QTEST_GUILESS_MAIN(TestHTMLHelp)
#include "tst_htmlhelp.moc"
