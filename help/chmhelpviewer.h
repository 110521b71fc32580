#pragma once

#include "chmfile.h"
#include "helppopup.h"
#include "helpviewer.h"

#include <QFrame>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QTextBrowser>

#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QSplitter;

namespace platform {
class Dialogs;
class Shell;
} // namespace platform

namespace help {

// Shows topics of a compiled help file; links, pictures and style sheets come from the same file.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(std::shared_ptr<ChmFile> chm, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

    static QUrl topicUrl(const QString& innerPath);
    // The inner path of the topic shown, e.g. "/html/integration.htm".
    QString currentTopic() const;

private:
    std::shared_ptr<ChmFile> m_chm;
};

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

// The program's help viewer: opens compiled help files in help windows, one per file and window
// definition, and shows text popups.
class ChmHelpViewer : public HelpViewer {
public:
    // Messages of failed lookups and broken links go through `dialogs`, web links through
    // `shell`; none means the real message boxes and the desktop's shell.
    explicit ChmHelpViewer(platform::Dialogs* dialogs = nullptr, platform::Shell* shell = nullptr);
    ~ChmHelpViewer() override;

    std::optional<quintptr> htmlHelp(quintptr owner, const QString& file, int command,
                                     const HelpData& data) override;
    bool deleteMenuItem(quintptr window, int command) override;

    HelpWindow* window(quintptr handle) const;
    HelpPopup* popup() const { return m_popup; }

    // Topic `id` of a popup text file named like "help.chm::/Popups/file.txt" (either separator
    // after the "::"), or a null text (and a failure told).
    QString popupText(const QString& fileArgument, qint32 id);

private:
    struct Target {
        QString chmPath;
        QString inner;
        QString windowName;
    };
    static Target parse(const QString& file);
    std::shared_ptr<ChmFile> openFile(const QString& path);
    HelpWindow* windowFor(quintptr owner, const Target& t, const QString& recordWindow = QString());
    quintptr showPopup(quintptr owner, const QString& file, const HelpPopupRecord& r);
    void closeAll();

    platform::Dialogs* m_dialogs;
    platform::Shell* m_shell;
    std::unique_ptr<platform::Dialogs> m_ownDialogs;
    std::unique_ptr<platform::Shell> m_ownShell;
    QMap<QString, QPointer<HelpWindow>> m_windows;
    QPointer<HelpPopup> m_popup;
};

} // namespace help
