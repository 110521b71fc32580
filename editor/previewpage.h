#pragma once

#include <QWebEnginePage>

#include <functional>

class QWebEngineView;

// The page of the preview. A link the user follows does not take the preview away from the
// scroller: it is handed to the opener (the user's browser) instead, also when it asks for a new
// window.
class PreviewPage : public QWebEnginePage {
    Q_OBJECT
public:
    using Opener = std::function<void(const QUrl&)>;
    PreviewPage(Opener opener, QObject* parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    Opener m_opener;
};

// The view's drawing surface is the widget that takes the focus for it, so it is what a screen
// reader meets in the Tab chain: it carries the page's name, also when the view makes a new one.
void namePageSurface(QWebEngineView* view, const QString& name);
