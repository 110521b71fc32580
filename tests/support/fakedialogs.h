#pragma once

#include "dialogs.h"

#include <QList>

namespace platform {

// Scripted stand-in for tests: answers come from queues, and everything asked is recorded.
// An unscripted question gets the default button (messages) or a cancel (file dialogs) and is
// counted as unexpected, so a test can assert that no question was missed.
class FakeDialogs : public Dialogs {
public:
    struct FileCall {
        bool save = false;
        FileRequest request;
    };

    QList<Message> messages;
    QList<FileCall> fileCalls;
    QList<Answer> answers;         // consumed by message()
    QStringList fileAnswers;       // consumed by openFile()/saveFile(); "" means cancel
    QList<int> filterAnswers;      // consumed by saveFile(); without one, the filter it was offered
    QList<int> choices;            // consumed by choose(); indices of the buttons pressed
    QList<QStringList> buttonSets; // the buttons each choose() offered
    int unexpected = 0;

    Answer message(QWidget*, const Message& m) override {
        messages.append(m);
        if (answers.isEmpty()) {
            ++unexpected;
            return m.defaultButton;
        }
        return answers.takeFirst();
    }
    int choose(QWidget*, const Message& m, const QStringList& buttons, int defaultButton,
               int) override {
        messages.append(m);
        buttonSets.append(buttons);
        if (choices.isEmpty()) {
            ++unexpected;
            return defaultButton;
        }
        return choices.takeFirst();
    }
    QString openFile(QWidget*, const FileRequest& r) override { return file(false, r); }
    QString saveFile(QWidget*, const FileRequest& r, int* chosenFilter = nullptr) override {
        const int filter = filterAnswers.isEmpty() ? r.filterIndex : filterAnswers.takeFirst();
        if (chosenFilter)
            *chosenFilter = filter;
        return file(true, r);
    }

    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
    QStringList texts() const {
        QStringList out;
        for (const Message& m : messages)
            out << m.text;
        return out;
    }
    void clear() { *this = FakeDialogs(); }

private:
    QString file(bool save, const FileRequest& r) {
        fileCalls.append(FileCall{save, r});
        if (fileAnswers.isEmpty()) {
            ++unexpected;
            return {};
        }
        return fileAnswers.takeFirst();
    }
};

} // namespace platform
