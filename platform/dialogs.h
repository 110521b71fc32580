#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

// Every modal question of the program goes through this interface, so tests can script the
// answers and record what was shown.
class Dialogs {
public:
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Icon { None, Information, Exclamation, Critical, Question };
    enum class Answer { Ok, Yes, No, Cancel };

    struct Message {
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        Answer defaultButton = Answer::Ok;
        Icon icon = Icon::None;
    };

    struct FileRequest {
        QString title;
        QString initialName; // a file name, a full path, or a folder to start in
        QStringList filters; // "JavaScript (*.js)", ...
        int filterIndex = 0;
        bool confirmOverwrite = true; // save dialogs only
    };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget* parent, const Message& m) = 0;
    // A question whose answers are the buttons' own captions (left to right); returns the index of
    // the one pressed, or `escape` when the box was closed without choosing.
    virtual int choose(QWidget* parent, const Message& m, const QStringList& buttons,
                       int defaultButton, int escape) = 0;
    // Both return the chosen full path, or an empty string when the user cancelled.
    virtual QString openFile(QWidget* parent, const FileRequest& r) = 0;
    // chosenFilter, when given, receives the index of the filter chosen when the dialog closed.
    virtual QString saveFile(QWidget* parent, const FileRequest& r,
                             int* chosenFilter = nullptr) = 0;

    // The extension a save dialog adds to a name typed without one while this filter is chosen:
    // "js" for "JavaScript (*.js)", none for a filter of several patterns or of "*".
    static QString filterSuffix(const QString& filter);
    // The path with that extension added when its name has no dot in it.
    static QString withFilterSuffix(const QString& path, const QString& filter);

    // Shorthand for the common OK-only message.
    void inform(QWidget* parent, const QString& text, const QString& title,
                Icon icon = Icon::None) {
        message(parent, Message{text, title, Buttons::Ok, Answer::Ok, icon});
    }
};

// The real dialogs, shown modally with Qt's message box and file dialog.
class QtDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const Message& m) override;
    int choose(QWidget* parent, const Message& m, const QStringList& buttons, int defaultButton,
               int escape) override;
    QString openFile(QWidget* parent, const FileRequest& r) override;
    QString saveFile(QWidget* parent, const FileRequest& r, int* chosenFilter = nullptr) override;
};

} // namespace platform
