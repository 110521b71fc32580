#pragma once

#include "chmfile.h"
#include "helpbrowser.h"

#include <QMainWindow>

#include <memory>

class QLineEdit;
class QListWidget;
class QSplitter;
class QTabWidget;
class QTreeWidget;

namespace platform {
class Dialogs;
class Shell;
} // namespace platform

namespace help {

// One help window: navigation pane (Contents, Index, Search) beside the topic.
class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    // Broken links are told through `dialogs`; web links open through `shell`.
    HelpWindow(std::shared_ptr<ChmFile> chm, const ChmFile::WindowDef* def,
               platform::Dialogs& dialogs, platform::Shell& shell, QWidget* parent = nullptr);

    void showTopic(const QString& innerPath);
    // A clicked link: a topic of this file opens here (Back returns), a web address in the
    // user's browser; anything else is told.
    void followLink(const QUrl& link);
    void showHome();
    void showContents();
    void showIndex(const QString& keyword = QString());
    void showSearch(const QString& query = QString());
    void bringToFront();

    HelpBrowser* browser() const { return m_browser; }
    QTabWidget* navigation() const { return m_tabs; }
    QTreeWidget* contentsTree() const { return m_toc; }
    QLineEdit* indexFilter() const { return m_indexFilter; }
    QListWidget* indexList() const { return m_indexList; }
    QLineEdit* searchEdit() const { return m_searchEdit; }
    QListWidget* searchResults() const { return m_searchResults; }
    const ChmFile& chm() const { return *m_chm; }

private:
    void buildContents();
    void buildIndex();
    void filterIndex(const QString& text);
    void openIndexItem();
    void runSearch();
    void syncContents(const QUrl& url);

    std::shared_ptr<ChmFile> m_chm;
    platform::Dialogs& m_dialogs;
    platform::Shell& m_shell;
    QString m_home;
    QSplitter* m_splitter = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_toc = nullptr;
    QLineEdit* m_indexFilter = nullptr;
    QListWidget* m_indexList = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    QListWidget* m_searchResults = nullptr;
    HelpBrowser* m_browser = nullptr;
};

} // namespace help
