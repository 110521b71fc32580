#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QHBoxLayout;
class QToolButton;
class QUrl;
class QWebEngineView;

// The preview beside the fields: one page that runs the scroller script it is given, replacing
// the scroller in place so the page keeps its scroll position and never takes the focus. The
// page can be light or dark, left-to-right or right-to-left. Its browser is made on first use.
class LivePreview : public QWidget {
    Q_OBJECT
public:
    using Opener = std::function<void(const QUrl&)>;
    LivePreview(const QString& appFolder, Opener opener, QWidget* parent = nullptr);

    // Runs script (that creates the scroller `name`); relative addresses in the items resolve
    // against baseFolder. The page is built only when there is none or the folder changed.
    void showScript(const QString& script, const QString& name, const QString& baseFolder);
    // A quiet line above the page; empty hides it.
    void setNote(const QString& note);
    QString note() const;

    bool dark() const;
    void setDark(bool on);
    bool rightToLeft() const;
    void setRightToLeft(bool on);

    // Room in the bar for the window's own buttons.
    void addToBar(QWidget* w);
    QWebEngineView* view() const { return m_view; }
    // How many scripts the page has run so far.
    int applied() const { return m_applied; }
    // Makes the browser now; made before the window is first shown, it spares the window
    // being made anew by the window system when the browser joins it.
    void ensureView();

signals:
    // The page runs the last script given.
    void scriptApplied();
    // The light/dark or direction switch changed.
    void lookChanged();

private:
    void buildPage();
    void applyPending();
    void applyLook();
    QString pageHtml() const;

    QString m_appFolder;
    Opener m_opener;
    QHBoxLayout* m_bar = nullptr;
    QToolButton* m_dark = nullptr;
    QToolButton* m_rtl = nullptr;
    QLabel* m_note = nullptr;
    QWebEngineView* m_view = nullptr;

    QString m_script; // the last script given, run once the page stands
    QString m_name;
    QString m_pageError;  // what the page said about the last script it ran
    QString m_base;       // the folder the page stands in
    bool m_ready = false; // the page has loaded
    bool m_pendingRun = false;
    int m_applied = 0;
    int m_inPage = 0; // scripts run since the page was built
};
