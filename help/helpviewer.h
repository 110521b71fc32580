#pragma once

#include <QPoint>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

namespace help {

// Records handed to the help viewer. Text fields use QString's null state for "none": a null
// string means the field is absent, which the viewer treats differently from an empty text.

// Keyword and associative-link lookups.
struct HelpLinkRecord {
    int size = 28;
    bool reserved = false;
    QString keywords; // semicolon-separated
    QString url;      // topic to show when nothing is found
    QString msgText;  // message to show when nothing is found (and there is no url)
    QString msgTitle;
    QString window; // window definition, or null for the file's default
    bool indexOnFail = false;
};

// Full-text search.
struct HelpSearchRecord {
    int size = 32;
    int unicode = 0;
    QString query;
    int proximity = 0;
    int stemmed = 0;
    int titleOnly = 0;
    int execute = 1;
    QString window;
};

// Text popups. Colours are 0x00BBGGRR values; margins of -1 take the viewer's own.
struct HelpPopupRecord {
    int size = 50;
    quintptr instance = 0;
    int stringId = 0; // topic number in the popup text file named with the file argument
    QString text;     // literal text (null when the text comes from the popup file)
    QPoint pos;       // screen position
    quint32 textColor = 0;
    quint32 backColor = 0;
    int marginLeft = -1;
    int marginTop = -1;
    int marginRight = -1;
    int marginBottom = -1;
    QString font; // "face, size, charset, styles", e.g. "Arial, 10, ascii, Bold "
};

// Data of a viewer call: none (0), a topic path, a context number, or one of the records.
using HelpData = std::variant<std::monostate, QString, qint32, HelpLinkRecord, HelpSearchRecord,
                              HelpPopupRecord>;

// A viewer call's file argument, "file.chm::/inner.htm>Window", in its parts.
struct HelpTarget {
    QString chmPath;
    QString inner;
    QString windowName;
    static HelpTarget parse(const QString& file);
};

// Why a viewer call showed nothing, told to whoever set a failure handler.
struct HelpFailure {
    enum class Kind {
        Missing,      // no file at that path
        Damaged,      // the file is empty, cut short or its structures do not hold together
        NoTopic,      // the file lacks the topic, context number or popup text asked for
        ViewerFailed, // the viewer stopped or did not answer while reading the file
    };
    Kind kind = Kind::Damaged;
    QString file;   // the help file the call named
    QString detail; // what was missing or damaged, for the user
};

// The compiled-help viewer and the few window services the help class needs beside it.
class HelpViewer {
public:
    using FailureHandler = std::function<void(const HelpFailure&)>;

    // Viewer commands, numbered as in the help file format's own API.
    enum Command : int {
        DisplayTopic = 0,
        DisplayToc = 1,
        DisplayIndex = 2,
        DisplaySearch = 3,
        KeywordLookup = 13,
        DisplayTextPopup = 14,
        HelpContext = 15,
        CloseAll = 18,
        ALinkLookup = 19,
    };

    virtual ~HelpViewer() = default;

    // Runs one viewer command. `file` is "help.chm", "help.chm>Window" or
    // "help.chm::/inner/file.txt" (null when the data carries everything). Answers the handle of
    // the window shown (0 when nothing could be shown), or nothing when the viewer itself could
    // not be reached.
    virtual std::optional<quintptr> htmlHelp(quintptr owner, const QString& file, int command,
                                             const HelpData& data) = 0;

    // The mouse pointer's position in screen coordinates (the desktop's, unless a test says).
    virtual QPoint cursorPos() const;

    // Puts the given window into context-help ("What's This?") mode.
    virtual void enterContextHelp(quintptr window);

    // Removes the item with the given command id from a help window's window menu.
    virtual bool deleteMenuItem(quintptr window, int command) = 0;

    // Called for every call that shows nothing because of the help file or the viewer, and when
    // the viewer stops on its own while a help window is open.
    void setFailureHandler(FailureHandler handler) { m_failureHandler = std::move(handler); }

protected:
    void fail(HelpFailure::Kind kind, const QString& file, const QString& detail = QString()) {
        if (m_failureHandler)
            m_failureHandler(HelpFailure{kind, file, detail});
    }

private:
    FailureHandler m_failureHandler;
};

} // namespace help
