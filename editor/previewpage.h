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

// A view that shows a scroller on a PreviewPage, for the Preview tab and the live pane alike. It
// and its page carry names for screen readers ("<name>", "<name> page").
QWebEngineView* newPreviewView(const char* objectName, const QString& name,
                               PreviewPage::Opener opener, QWidget* parent);
