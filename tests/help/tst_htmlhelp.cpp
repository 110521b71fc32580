#include "fakedialogs.h"
#include "fakehelpviewer.h"
#include "htmlhelp.h"
#include "registrystore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using help::FakeHelpViewer;
using platform::Dialogs;
using platform::FakeDialogs;
using platform::RegistryStore;

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

QString shown(const QString& s) {
    return s.isNull() ? QStringLiteral("null") : u'"' + s + u'"';
}

// One viewer call as a line: owner, file, command and what the data holds.
QString render(const FakeHelpViewer::Call& c) {
    QStringList out{QString::number(c.owner), shown(c.file), QString::number(c.command)};
    if (const auto* s = std::get_if<QString>(&c.data))
        out << shown(*s);
    else if (const auto* id = std::get_if<qint32>(&c.data))
        out << QString::number(*id);
    else if (const auto* l = std::get_if<help::HelpLinkRecord>(&c.data))
        out << "link" << shown(l->keywords) << shown(l->url) << shown(l->msgText)
            << shown(l->msgTitle) << shown(l->window);
    else if (const auto* q = std::get_if<help::HelpSearchRecord>(&c.data))
        out << "search" << shown(q->query) << shown(q->window);
    else if (const auto* p = std::get_if<help::HelpPopupRecord>(&c.data))
        out << "popup" << QString::number(p->stringId) << shown(p->text)
            << QStringLiteral("%1,%2").arg(p->pos.x()).arg(p->pos.y())
            << QString::number(p->textColor, 16) << QString::number(p->backColor, 16)
            << shown(p->font);
    return out.join(u' ');
}

// The help class over a recording viewer, a registry store and an application folder of its own.
struct Fixture {
    QTemporaryDir tmp;
    QString app = tmp.path() + "/app";
    RegistryStore store{tmp.path() + "/config/registry.ini"};
    FakeHelpViewer viewer;
    FakeDialogs dialogs;
    HTMLHelp hh{viewer, store, dialogs, app};

    QString chm() const { return app + "/tickora.chm"; }
    QString handle() { return QString::number(hh.HHWndHandle(), 16); }
};
using Act = std::function<QString(Fixture&)>;

} // namespace

Q_DECLARE_METATYPE(Act)

// The help class's contract, one row a case: the calls the editor makes and what a caller of each
// display command relies on: what the viewer was asked, what the user was told, and what the row
// reads back afterwards.
class TestHTMLHelp : public QObject {
    Q_OBJECT

private slots:
    void contract_data() {
        QTest::addColumn<Act>("act");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("messages"); // icon letter, then the text
        QTest::addColumn<QString>("after");
        const QString missing = "! The file %1 does not exist.\nPlease make sure the correct path "
                                "and file name have been specified.";
        const QString noHandle = "! No HTML Help window handle to retrieve.";
        const QString chm = "\"APP/tickora.chm";
        auto row = [](const char* name, const Act& act, const QStringList& calls,
                      const QStringList& messages, const QString& after) {
            QTest::newRow(name) << act << calls << messages << after;
        };

        // ---- What the editor calls.
        auto editor = [](qint32 topic) {
            return Act([=](Fixture& f) {
                f.hh.setCHMFile(f.chm());
                f.hh.setHHWindow("Main");
                f.hh.setHHTopicID(topic);
                topic ? f.hh.HHDisplayTopicID(0) : f.hh.HHDisplayContents(0);
                return f.handle();
            });
        };
        row("contents", editor(0), {"0 " + chm + ">Main\" 1"}, {}, "1000");
        row("topic 1001", editor(1001), {"0 " + chm + ">Main\" 15 1001"}, {}, "1000");
        row(
            "what's this and the jump menu",
            [](Fixture& f) {
                f.hh.HHInvokeWhatsThisHelp(0x55);
                f.hh.HHDeleteJumpURLSysMenu(0x66);
                const auto deleted = f.viewer.deletedMenuItems.value(0);
                return QStringLiteral("%1 %2 %3")
                    .arg(f.viewer.contextHelpWindows.value(0), 0, 16)
                    .arg(deleted.first, 0, 16)
                    .arg(deleted.second, 0, 16);
            },
            {}, {}, "55 66 efff");

        // ---- The other display commands: window suffix, owner, data.
        auto display = [](void (HTMLHelp::*method)(HTMLHelp::WindowHandle), QString window,
                          bool onTop) {
            return Act([=](Fixture& f) {
                f.hh.setCHMFile(f.chm());
                f.hh.setHHWindow(window);
                f.hh.setHHShowOnTop(onTop);
                f.hh.setHHTopicURL("html/integration.htm#tags");
                f.hh.setHHALink("IntegrationLink;Other");
                (f.hh.*method)(77);
                return f.handle();
            });
        };
        row("topic url, not on top", display(&HTMLHelp::HHDisplayTopicURL, "Main", false),
            {"0 " + chm + ">Main\" 0 \"html/integration.htm#tags\""}, {}, "1000");
        row("index, on top, no window", display(&HTMLHelp::HHDisplayIndex, "", true),
            {"77 " + chm + "\" 2"}, {}, "1000");
        row("index, leading space kept", display(&HTMLHelp::HHDisplayIndex, " Main", false),
            {"0 " + chm + "> Main\" 2"}, {}, "1000");
        row("search, blank window", display(&HTMLHelp::HHDisplaySearch, "   ", false),
            {"0 " + chm + "\" 3 search \"\" \"\""}, {}, "1000");
        row("link lookup: window in the record only",
            display(&HTMLHelp::HHDisplayALink, "Main", true),
            {"77 " + chm + "\" 19 link \"IntegrationLink;Other\" null null null \"Main\""}, {},
            "1000");
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
                return f.handle() + shown(f.hh.HHMsgTitle());
            },
            {"0 " + chm + "\" 0",
             "0 " + chm +
                 "\" 13 link \"preview;spacing\" \"html/welcome.htm\" \"Nothing found.\" "
                 "null null"},
            {}, "1001null");

        // ---- The window handle.
        row("no handle yet", &Fixture::handle, {}, {noHandle}, "0");
        row(
            "closing keeps the handle; an unreachable viewer too",
            [](Fixture& f) {
                f.hh.setCHMFile(f.chm());
                f.hh.HHDisplayIndex();
                f.hh.HHClose();
                f.viewer.reachable = false;
                f.hh.HHDisplayContents();
                return f.handle();
            },
            {"0 " + chm + "\" 2", "0 \"\" 18", "0 " + chm + "\" 1"}, {}, "1000");
        row(
            "a viewer answering 0 is recorded",
            [](Fixture& f) {
                f.hh.setCHMFile(f.chm());
                f.hh.HHDisplayIndex();
                f.viewer.handles = {0};
                f.hh.HHDisplayContents();
                return f.handle();
            },
            {"0 " + chm + "\" 2", "0 " + chm + "\" 1"}, {noHandle}, "0");

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
        row("missing file", contentsOf("TMP/missing.chm"), {}, {missing.arg("TMP/missing.chm")},
            "TMP/missing.chm");
        row("bare missing name", contentsOf("other.chm"), {}, {missing.arg("APP/other.chm")},
            "APP/other.chm");
        row("bare name: the application folder", contentsOf("notes.CHM"), {"0 \"APP/notes.CHM\" 1"},
            {}, "APP/notes.CHM");
        row("bare name: the file system's spelling", contentsOf("TICKORA.CHM"),
            {"0 " + chm + "\" 1"}, {}, "APP/tickora.chm");
        row("wildcard", contentsOf("APP/tick*.chm"), {"0 \"APP/tick*.chm\" 1"}, {},
            "APP/tick*.chm");
        row(
            "bare name: the registered folder",
            [](Fixture& f) {
                const QString docs = f.tmp.path() + "/docs/";
                touch(docs + "Library.chm");
                RegistryStore::Key key = 0;
                f.store.create(RegistryStore::Root::LocalMachine,
                               "Software\\Microsoft\\Windows\\HTML Help", RegistryStore::Write,
                               &key);
                f.store.setString(key, "LIBRARY.CHM", docs);
                f.store.close(key);
                f.hh.setCHMFile("library.chm");
                f.hh.HHDisplayTopicID();
                return f.hh.HHRegFileName() + u' ' + f.hh.HHRegFilePath() + u' ' +
                       QString::number(f.hh.HHRegFileExists());
            },
            {"0 \"TMP/docs/Library.chm\" 15 0"}, {}, "library.chm TMP/docs/ 1");

        // ---- Popups: a literal one after each shows whether the look was reset.
        auto popup = [](int type, const QString& text, const QString& face, int styles) {
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
                f.hh.setHHPopupTextSize(face.isEmpty() ? "" : "12");
                f.hh.setHHPopupTextBold(styles & 1);
                f.hh.setHHPopupTextItalic(styles & 2);
                f.hh.setHHPopupTextUnderline(styles & 4);
                f.hh.setHHPopupTextColor(0x0000ff);
                f.hh.setHHPopupBackColor(0x00ff00);
                f.hh.setHHPopupCustomTextColor(0x112233);
                f.hh.setHHPopupCustomBackColor(0x445566);
                f.hh.setHHPopupCustomColors(styles & 8);
                f.hh.HHDisplayPopup(0x99);
                f.hh.setHHPopupType(4);
                f.hh.setHHPopupText("next");
                f.hh.HHDisplayPopup(0x99);
                return render(f.viewer.last()) + u' ' + f.handle();
            });
        };
        const QString next = "153 null 14 popup 0 \"next\" 321,654 ";
        const QString reset = next + "0 0 \"Arial, 10, ascii, \"";
        const QString kept = next + "ff ff00 \"Arial, 10, ascii, Bold \"";
        row("literal popup, default font, custom colours", popup(4, "Literal", "", 8),
            {"153 null 14 popup 0 \"Literal\" 321,654 112233 445566 \"Arial, 10, ascii, \"", reset},
            {noHandle}, reset + " 0");
        row("help file popup, all styles", popup(1, "", "", 7),
            {"153 " + chm +
                 "::/Popups/frmMain.txt\" 14 popup 3003 null 321,654 ff ff00 "
                 "\"Arial, 10, ascii, Bold Italic Underline\"",
             reset},
            {noHandle}, reset + " 0");
        row("string table popup, own face", popup(2, "", "Verdana", 2),
            {"153 null 14 popup 0 \"Save the scroller first.\" 321,654 ff ff00 "
             "\"Verdana, 12, ascii, Italic \"",
             reset},
            {noHandle}, reset + " 0");
        row("type 0 shows nothing", popup(0, "x", "", 1), {kept}, {noHandle}, kept + " 0");
        row("type 3 shows nothing", popup(3, "x", "", 1), {kept}, {noHandle}, kept + " 0");
        row("type 4 without text", popup(4, "", "", 1), {kept}, {noHandle}, kept + " 0");
        row("type 1, not a popup file", popup(1, "Popups/frmMain.rtf", "", 1), {kept},
            {"! The file specified as the text popup source, 'Popups/frmMain.rtf', is not a "
             "valid popup file.",
             noHandle},
            kept + " 0");
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
            told << QLatin1String(m.icon == Dialogs::Icon::Exclamation ? "! " : "? ") +
                        paths(m.text);
        }
        QCOMPARE(told, messages);
    }
};

QTEST_GUILESS_MAIN(TestHTMLHelp)
#include "tst_htmlhelp.moc"
