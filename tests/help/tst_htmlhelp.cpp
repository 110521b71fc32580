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

QString hex(quint64 n) {
    return QString::number(n, 16);
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
            << QStringLiteral("%1,%2").arg(p->pos.x()).arg(p->pos.y()) << hex(p->textColor)
            << hex(p->backColor) << shown(p->font);
    return out.join(u' ');
}

// The help class over a recording viewer, a registry store and an application folder of its own.
struct Fixture {
    QTemporaryDir tmp;
    QString app = tmp.path() + "/app";
    RegistryStore store{tmp.path() + "/config/registry.ini"};
    FakeHelpViewer viewer;
    platform::FakeDialogs dialogs;
    HTMLHelp hh{viewer, store, dialogs, app};

    // Runs a row's steps: a lower-case word sets something, a capitalised one runs a command with
    // the hexadecimal calling window given, and one starting with '?' reads a result back.
    QString run(const QString& steps) {
        using Command = void (HTMLHelp::*)(HTMLHelp::WindowHandle);
        const QHash<QString, Command> commands = {{"Contents", &HTMLHelp::HHDisplayContents},
                                                  {"TopicID", &HTMLHelp::HHDisplayTopicID},
                                                  {"TopicURL", &HTMLHelp::HHDisplayTopicURL},
                                                  {"Index", &HTMLHelp::HHDisplayIndex},
                                                  {"Search", &HTMLHelp::HHDisplaySearch},
                                                  {"ALink", &HTMLHelp::HHDisplayALink},
                                                  {"Keyword", &HTMLHelp::HHDisplayKeyword},
                                                  {"Popup", &HTMLHelp::HHDisplayPopup},
                                                  {"WhatsThis", &HTMLHelp::HHInvokeWhatsThisHelp},
                                                  {"JumpMenu", &HTMLHelp::HHDeleteJumpURLSysMenu}};
        const QHash<QString, std::function<void(const QString&)>> setters = {
            {"file", [&](const QString& a) { hh.setCHMFile(QString(a).replace("APP", app)); }},
            {"window", [&](const QString& a) { hh.setHHWindow(a); }},
            {"ontop", [&](const QString&) { hh.setHHShowOnTop(true); }},
            {"url", [&](const QString& a) { hh.setHHTopicURL(a); }},
            {"alink", [&](const QString& a) { hh.setHHALink(a); }},
            {"keyword", [&](const QString& a) { hh.setHHKeyword(a); }},
            {"msgtitle", [&](const QString& a) { hh.setHHMsgTitle(a); }},
            {"msgtext", [&](const QString& a) { hh.setHHMsgText(a); }},
            {"defaulturl", [&](const QString& a) { hh.setHHDefaultURL(a); }},
            {"topic", [&](const QString& a) { hh.setHHTopicID(a.toInt()); }},
            {"ptype", [&](const QString& a) { hh.setHHPopupType(a.toInt()); }},
            {"ptext", [&](const QString& a) { hh.setHHPopupText(a); }},
            {"pfile", [&](const QString& a) { hh.setHHPopupFile(a); }},
            {"pid", [&](const QString& a) { hh.setHHPopupID(a.toInt()); }},
            {"face", [&](const QString& a) { hh.setHHPopupTextFont(a); }},
            {"size", [&](const QString& a) { hh.setHHPopupTextSize(a); }},
            {"bold", [&](const QString&) { hh.setHHPopupTextBold(true); }},
            {"italic", [&](const QString&) { hh.setHHPopupTextItalic(true); }},
            {"underline", [&](const QString&) { hh.setHHPopupTextUnderline(true); }},
            {"custom", [&](const QString&) { hh.setHHPopupCustomColors(true); }},
            {"unreachable", [&](const QString&) { viewer.reachable = false; }},
            {"answer0", [&](const QString&) { viewer.handles = {0}; }},
            {"registered", [&](const QString& a) { registerFile(a); }}};
        QStringList read;
        for (const QString& step : steps.split(u'|')) {
            const QString verb = step.section(u' ', 0, 0);
            // Never null: an empty text is what a caller may pass.
            const QString arg =
                step.size() > verb.size() ? step.mid(verb.size() + 1) : QStringLiteral("");
            if (commands.contains(verb))
                (hh.*commands[verb])(arg.toULongLong(nullptr, 16));
            else if (verb == u"Close")
                hh.HHClose();
            else if (setters.contains(verb))
                setters[verb](arg);
            else if (verb == u"?handle")
                read << hex(hh.HHWndHandle());
            else if (verb == u"?file")
                read << hh.CHMFile();
            else if (verb == u"?msgtitle")
                read << shown(hh.HHMsgTitle());
            else if (verb == u"?last")
                read << render(viewer.last());
            else if (verb == u"?registered")
                read << hh.HHRegFileName() << hh.HHRegFilePath()
                     << QString::number(hh.HHRegFileExists());
            else if (verb == u"?windows")
                read << hex(viewer.contextHelpWindows.value(0))
                     << hex(viewer.deletedMenuItems.value(0).first)
                     << hex(viewer.deletedMenuItems.value(0).second);
            else
                qFatal("unknown step %s", qPrintable(step));
        }
        return read.join(u' ');
    }

    // The file, in a folder of its own that the registry names for its name in capitals.
    void registerFile(const QString& name) {
        const QString docs = tmp.path() + "/docs/";
        touch(docs + name);
        RegistryStore::Key key = 0;
        store.create(RegistryStore::Root::LocalMachine, "Software\\Microsoft\\Windows\\HTML Help",
                     RegistryStore::Write, &key);
        store.setString(key, name.toUpper(), docs);
        store.close(key);
    }
};

} // namespace

// The help class's contract, one row a case: the calls the editor makes and what a caller of each
// display command relies on: what the viewer was asked, what the user was told, and what the row
// reads back afterwards.
class TestHTMLHelp : public QObject {
    Q_OBJECT

private slots:
    void contract_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("messages"); // icon letter, then the text
        QTest::addColumn<QString>("after");
        const QString missing = "! The file %1 does not exist.\nPlease make sure the correct path "
                                "and file name have been specified.";
        const QString noHandle = "! No HTML Help window handle to retrieve.";
        const QString chm = "\"APP/tickora.chm";
        auto row = [](const char* name, const QString& steps, const QStringList& calls,
                      const QStringList& messages, const QString& after) {
            QTest::newRow(name) << steps << calls << messages << after;
        };

        // ---- What the editor calls.
        const QString editor = "file APP/tickora.chm|window Main|";
        row("topic 1001", editor + "topic 1001|TopicID 0|?handle", {"0 " + chm + ">Main\" 15 1001"},
            {}, "1000");
        row("what's this and the jump menu", "WhatsThis 55|JumpMenu 66|?windows", {}, {},
            "55 66 efff");

        // ---- The other display commands: window suffix, owner, data.
        const QString set = "file APP/tickora.chm|url html/integration.htm#tags|alink "
                            "IntegrationLink;Other|";
        row("topic url, not on top", set + "window Main|TopicURL 4d|?handle",
            {"0 " + chm + ">Main\" 0 \"html/integration.htm#tags\""}, {}, "1000");
        row("index, on top, no window", set + "ontop|Index 4d|?handle", {"77 " + chm + "\" 2"}, {},
            "1000");
        row("index, leading space kept", set + "window  Main|Index 4d|?handle",
            {"0 " + chm + "> Main\" 2"}, {}, "1000");
        row("search, blank window", set + "window    |Search 4d|?handle",
            {"0 " + chm + "\" 3 search \"\" \"\""}, {}, "1000");
        row("link lookup: window in the record only", set + "window Main|ontop|ALink 4d|?handle",
            {"77 " + chm + "\" 19 link \"IntegrationLink;Other\" null null null \"Main\""}, {},
            "1000");
        row("keyword lookup: default topic first; empty texts travel as none",
            "file APP/tickora.chm|window   |keyword preview;spacing|msgtitle|msgtext Nothing "
            "found.|defaulturl html/welcome.htm|Keyword 0|?handle|?msgtitle",
            {"0 " + chm + "\" 0",
             "0 " + chm +
                 "\" 13 link \"preview;spacing\" \"html/welcome.htm\" \"Nothing found.\" "
                 "null null"},
            {}, "1001 null");

        // ---- The window handle.
        row("no handle yet", "?handle", {}, {noHandle}, "0");
        row("closing keeps the handle; an unreachable viewer too",
            "file APP/tickora.chm|Index 0|Close|unreachable|Contents 0|?handle",
            {"0 " + chm + "\" 2", "0 \"\" 18", "0 " + chm + "\" 1"}, {}, "1000");
        row("a viewer answering 0 is recorded",
            "file APP/tickora.chm|Index 0|answer0|Contents 0|?handle",
            {"0 " + chm + "\" 2", "0 " + chm + "\" 1"}, {noHandle}, "0");

        // ---- Help file checks and names.
        row("not a help file", "file help.chm.bak|Contents 0|?file", {},
            {"! help.chm.bak is not a valid HTML Help file."}, "help.chm.bak");
        row("missing file", "file APP/missing.chm|Contents 0|?file", {},
            {missing.arg("APP/missing.chm")}, "APP/missing.chm");
        row("bare missing name", "file other.chm|Contents 0|?file", {},
            {missing.arg("APP/other.chm")}, "APP/other.chm");
        row("bare name: the application folder", "file notes.CHM|Contents 0|?file",
            {"0 \"APP/notes.CHM\" 1"}, {}, "APP/notes.CHM");
        row("bare name: the file system's spelling", "file TICKORA.CHM|Contents 0|?file",
            {"0 " + chm + "\" 1"}, {}, "APP/tickora.chm");
        row("wildcard", "file APP/tick*.chm|Contents 0|?file", {"0 \"APP/tick*.chm\" 1"}, {},
            "APP/tick*.chm");
        row("bare name: the registered folder",
            "registered Library.chm|file library.chm|TopicID 0|?registered",
            {"0 \"TMP/docs/Library.chm\" 15 0"}, {}, "library.chm TMP/docs/ 1");

        // ---- Popups: a literal one after each shows whether the look was reset.
        const QString look = "file tickora.chm|window Main|pfile Popups/frmMain.txt|pid 3003|face|"
                             "size|";
        const QString then = "|Popup 99|ptype 4|ptext next|Popup 99|?last|?handle";
        const QString next = "153 null 14 popup 0 \"next\" 321,654 ";
        const QString reset = next + "0 0 \"Arial, 10, ascii, \"";
        const QString kept = next + "ff ff00 \"Arial, 10, ascii, Bold \"";
        row("literal popup, default font, custom colours",
            look + "ptype 4|ptext Literal|custom" + then,
            {"153 null 14 popup 0 \"Literal\" 321,654 112233 445566 \"Arial, 10, ascii, \"", reset},
            {noHandle}, reset + " 0");
        row("help file popup, all styles", look + "ptype 1|bold|italic|underline" + then,
            {"153 " + chm +
                 "::/Popups/frmMain.txt\" 14 popup 3003 null 321,654 ff ff00 "
                 "\"Arial, 10, ascii, Bold Italic Underline\"",
             reset},
            {noHandle}, reset + " 0");
        row("string table popup, own face",
            look + "ptype 2|pid 101|face Verdana|size 12|italic" + then,
            {"153 null 14 popup 0 \"Save the scroller first.\" 321,654 ff ff00 "
             "\"Verdana, 12, ascii, Italic \"",
             reset},
            {noHandle}, reset + " 0");
        row("type 0 shows nothing", look + "ptype 0|ptext x|bold" + then, {kept}, {noHandle},
            kept + " 0");
        row("type 3 shows nothing", look + "ptype 3|ptext x|bold" + then, {kept}, {noHandle},
            kept + " 0");
        row("type 4 without text", look + "ptype 4|bold" + then, {kept}, {noHandle}, kept + " 0");
        row("type 1, not a popup file", look + "ptype 1|pfile Popups/frmMain.rtf|bold" + then,
            {kept},
            {"! The file specified as the text popup source, 'Popups/frmMain.rtf', is not a "
             "valid popup file.",
             noHandle},
            kept + " 0");
    }

    void contract() {
        QFETCH(QString, steps);
        Fixture f;
        QVERIFY(f.tmp.isValid());
        touch(f.app + "/tickora.chm");
        touch(f.app + "/notes.CHM");
        f.viewer.cursor = QPoint(321, 654);
        f.hh.setStringTable(
            [](int id) { return id == 101 ? QString("Save the scroller first.") : QString(); });
        f.hh.setHHPopupTextColor(0x0000ff);
        f.hh.setHHPopupBackColor(0x00ff00);
        f.hh.setHHPopupCustomTextColor(0x112233);
        f.hh.setHHPopupCustomBackColor(0x445566);
        const auto paths = [&](QString s) {
            return s.replace(f.app, QLatin1String("APP")).replace(f.tmp.path(), "TMP");
        };
        QTEST(paths(f.run(steps)), "after");
        QStringList seen;
        for (const FakeHelpViewer::Call& c : f.viewer.calls)
            seen << paths(render(c));
        QTEST(seen, "calls");
        QStringList told;
        for (const Dialogs::Message& m : f.dialogs.messages) {
            QCOMPARE(m.title, QStringLiteral("HTML Help Class"));
            QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
            told << QLatin1String(m.icon == Dialogs::Icon::Exclamation ? "! " : "? ") +
                        paths(m.text);
        }
        QTEST(told, "messages");
    }
};

QTEST_GUILESS_MAIN(TestHTMLHelp)
#include "tst_htmlhelp.moc"
