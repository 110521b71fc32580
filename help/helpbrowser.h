#pragma once

#include "chmfile.h"

#include <QTextBrowser>

#include <memory>

namespace help {

// Shows topics of a compiled help file; links, pictures and style sheets come from the same file.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(std::shared_ptr<ChmFile> chm, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

    // The address scheme of topics inside the help file.
    static QString scheme();
    static QUrl topicUrl(const QString& innerPath);
    // The inner path of the topic shown, e.g. "/html/integration.htm".
    QString currentTopic() const;

private:
    std::shared_ptr<ChmFile> m_chm;
};

} // namespace help
