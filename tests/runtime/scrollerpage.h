#pragma once

// Drives a page with scrollers in an off-screen web view: writes scroller scripts with the
// command-line tool into a temporary project folder, loads a page and evaluates JavaScript.

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QVariant>
#include <QWebEngineView>

#include <memory>

class ScrollerPage {
public:
    ScrollerPage();

    bool ok() const { return m_ok; }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Writes a script for doc under the given file name with tickora-script.
    bool writeScript(const QString& fileName, const QJsonObject& doc);
    bool writeFile(const QString& fileName, const QByteArray& text);

    // Runs before any script of the page, in every page this view loads.
    void injectAtStart(const QString& js);

    // Loads a page from the project folder, shows the view and installs the probe helpers.
    bool load(const QString& page = QStringLiteral("tickora.htm"));

    QVariant eval(const QString& js, int timeoutMs = 30000);
    double num(const QString& js) { return eval(js).toDouble(); }

    // Waits until the page's own clock has moved on by ms (never a wall-clock sleep).
    bool waitPageTime(double ms);
    // Records one probe frame per animation frame for ms of page time; returns the frames.
    QVariantList record(const QString& scroller, int dir, double ms);

    QWebEngineView& view() { return *m_view; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QWebEngineView> m_view;
    bool m_ok = false;
};

// A scroller document in the form that tickora-script reads.
QJsonObject scrollerDoc(const QString& name, int direction, const QJsonObject& settings,
                        const QJsonArray& items);
QJsonObject item(const QString& name, const QString& text, const QString& width = QString());
