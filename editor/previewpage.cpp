#include "previewpage.h"

#include <QChildEvent>
#include <QWebEngineView>

namespace {

// Stands in for a new window just long enough to learn where it was meant to go.
class LinkCatcher : public QWebEnginePage {
public:
    LinkCatcher(PreviewPage::Opener opener, QObject* parent)
        : QWebEnginePage(parent), m_opener(std::move(opener)) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        if (m_opener && url.isValid())
            m_opener(url);
        deleteLater();
        return false;
    }

private:
    PreviewPage::Opener m_opener;
};

} // namespace

PreviewPage::PreviewPage(Opener opener, QObject* parent)
    : QWebEnginePage(parent), m_opener(std::move(opener)) {}

bool PreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (type == NavigationTypeLinkClicked && isMainFrame) {
        if (m_opener)
            m_opener(url);
        return false;
    }
    return true;
}

QWebEnginePage* PreviewPage::createWindow(WebWindowType) {
    return new LinkCatcher(m_opener, this);
}

namespace {

class SurfaceNamer : public QObject {
public:
    SurfaceNamer(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished)
            if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                w->setAccessibleName(m_name);
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_name;
};

// The view's drawing surface is the widget that takes the focus for it, so it is what a screen
// reader meets in the Tab chain: it carries the page's name, also when the view makes a new one.
void namePageSurface(QWebEngineView* view, const QString& name) {
    for (QWidget* w : view->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        w->setAccessibleName(name);
    view->installEventFilter(new SurfaceNamer(name, view));
}

} // namespace

QWebEngineView* newPreviewView(const char* objectName, const QString& name,
                               PreviewPage::Opener opener, QWidget* parent) {
    auto* view = new QWebEngineView(parent);
    view->setObjectName(QLatin1String(objectName));
    view->setAccessibleName(name);
    namePageSurface(view, name + QStringLiteral(" page"));
    view->setPage(new PreviewPage(std::move(opener), view));
    return view;
}
