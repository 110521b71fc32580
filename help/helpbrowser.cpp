#include "helpbrowser.h"

#include <QImage>

namespace help {

QString HelpBrowser::scheme() {
    return QStringLiteral("chm");
}

HelpBrowser::HelpBrowser(std::shared_ptr<ChmFile> chm, QWidget* parent)
    : QTextBrowser(parent), m_chm(std::move(chm)) {
    // Every link goes through the window, which knows topics from web addresses.
    setOpenLinks(false);
    setFrameShape(QFrame::NoFrame);
}

QUrl HelpBrowser::topicUrl(const QString& innerPath) {
    QString path = innerPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString fragment;
    const int hash = path.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    QUrl url;
    url.setScheme(scheme());
    url.setPath(path);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

QString HelpBrowser::currentTopic() const {
    return source().path();
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    QUrl url = name;
    if (url.isRelative())
        url = source().resolved(name);
    if (url.scheme() != scheme())
        return QTextBrowser::loadResource(type, name);
    switch (type) {
    case QTextDocument::HtmlResource:
    case QTextDocument::StyleSheetResource:
    case QTextDocument::MarkdownResource: {
        const QString text = m_chm->readText(url.path());
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case QTextDocument::ImageResource: {
        const QImage image = QImage::fromData(m_chm->read(url.path()));
        return image.isNull() ? QVariant() : QVariant(image);
    }
    default:
        return QVariant(m_chm->read(url.path()));
    }
}

} // namespace help
