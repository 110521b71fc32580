#pragma once

#include "chmfile.h"
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
    HelpWindow(std::shared_ptr<ChmFile> chm, const ChmFile::WindowDef* def,
               QWidget* parent = nullptr);

    void showTopic(const QString& innerPath);
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

// A small text note shown beside the pointer; any click or key closes it.
class HelpPopup : public QFrame {
    Q_OBJECT
public:
    HelpPopup(const QString& text, const HelpPopupRecord& record, QWidget* parent = nullptr);
    QString text() const;

private:
    QLabel* m_label = nullptr;
};

// The program's help viewer: opens compiled help files in help windows, one per file and window
// definition, and shows text popups.
class ChmHelpViewer : public HelpViewer {
public:
    // Messages of failed lookups go through `dialogs`; none means the real message boxes.
    explicit ChmHelpViewer(Dialogs* dialogs = nullptr);
    ~ChmHelpViewer() override;

    std::optional<quintptr> htmlHelp(quintptr owner, const QString& file, int command,
                                     const HelpData& data) override;
    QPoint cursorPos() const override;
    void enterContextHelp(quintptr window) override;
    bool deleteMenuItem(quintptr window, int command) override;

    HelpWindow* window(quintptr handle) const;
    HelpPopup* popup() const { return m_popup; }

    // Topic `id` of a popup text file named like "help.chm::/Popups/file.txt" (either separator
    // after the "::"), or a null text.
    static QString popupText(const QString& fileArgument, qint32 id);

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

    Dialogs* m_dialogs;
    std::unique_ptr<Dialogs> m_ownDialogs;
    QMap<QString, QPointer<HelpWindow>> m_windows;
    QPointer<HelpPopup> m_popup;
};

} // namespace platform
