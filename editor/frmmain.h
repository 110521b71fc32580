#pragma once

#include "clsscroller.h"
#include "dialogs.h"
#include "editordocument.h"
#include "feedfetch.h"
#include "feedsource.h"
#include "textencoding.h"

#include <QHash>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class HTMLHelp;
namespace help {
class HelpViewer;
struct HelpFailure;
} // namespace help
namespace platform {
class RegistryStore;
class Shell;
} // namespace platform
class DiskWatch;
struct FieldRow;
class FeedDialog;
class ItemListView;
namespace recovery {
class Keeper;
}
class LivePreview;
class RecentFiles;
class UpDown;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTimer;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;
class QWebEngineView;

// The main window: one scroller document, its fields, commands, checks and preview.
// The implementation is split by concern over the frmmain_*.cpp files.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // appFolder holds default.js and the files delivered beside the program; empty means the
    // executable's folder.
    explicit frmMain(platform::Dialogs& dialogs, const QString& appFolder = QString(),
                     QWidget* parent = nullptr);
    ~frmMain() override;

    // True when the name was rejected; the user has been told why.
    bool CheckVariableName(const QString& sText);

    // Opens a script as the Open command does, without asking for the file.
    void openPath(const QString& path);

    // Offers the recovery copies left by editors that did not end cleanly (at start).
    void offerRecovery();
    recovery::Keeper* recoveryKeeper() const { return m_keeper; }

    // Runs when the window becomes active within the program (at start, after a modal box of
    // the program's own closes): the focus goes to the scroller's name.
    void Form_Activate();

    // Links clicked in the preview are handed here instead of navigating the preview.
    // The services behind the Help menu: help viewer, registry store, shell. Any not set is made
    // on first use (the program's own viewer, the user's store, the desktop's shell).
    void setHelpServices(help::HelpViewer* viewer, platform::RegistryStore* registry,
                         platform::Shell* shell);
    // Opens an address in the user's browser, telling the user when that fails.
    void openLink(const QUrl& url);
    // Where What's This popups come from; set whenever the window is activated.
    QString contextHelpFile() const { return m_contextHelpFile; }

    using LinkOpener = std::function<void(const QUrl&)>;
    void setLinkOpener(LinkOpener opener) { m_linkOpener = std::move(opener); }

    QString appFolder() const { return m_appFolder; }
    // The document, or typing in the fields not yet taken into it.
    bool isDirty() const { return m_doc->isDirty() || m_fieldsEdited; }
    bool hasFieldError() const { return bFieldError; }
    const EditorDocument& document() const { return *m_doc; }
    QString filePath() const { return m_doc->filePath(); }
    QString projectFolder() const { return m_doc->projectFolder(); }
    qint16 nextItem() const { return m_doc->nextItem(); }
    const clsScroller& scroller() const { return m_doc->scroller(); }
    TextEncoding encoding() const { return m_doc->encoding(); }
    QWebEngineView* previewView() const { return wbMain; }
    LivePreview* livePreview() const { return m_live; }
    // How long the live preview waits after a change before it shows it.
    static constexpr int kLiveDelayMs = 120;
    // How long typing may pause before it becomes a step of the undo history.
    static constexpr int kCommitDelayMs = 1000;
    // Redo's keys, the first shown in the menu.
    static const QKeySequence kRedoKey;
    static const QKeySequence kRedoOtherKey;

    // The feed the document remembers (frmmain_feed.cpp); not set when it has none.
    const feed::Source& feedSource() const { return m_doc->feedSource(); }
    void setFeedLimits(const feed::Limits& limits) { m_feedLimits = limits; }
    // Runs the Import from Feed dialog and returns its result; exec() unless tests drive it.
    using FeedDialogRunner = std::function<int(FeedDialog&)>;
    void setFeedDialogRunner(FeedDialogRunner runner) { m_feedDialogRunner = std::move(runner); }

signals:
    // The preview page finished loading (ok tells whether it loaded).
    void previewLoaded(bool ok);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // frmmain_layout.cpp
    void buildForm();
    QWidget* buildPropertiesTab();
    QWidget* buildItemsTab();
    QLineEdit* addTextField(const QString& name, const QString& tip);
    QLabel* addLabel(const QString& name, const QString& caption, QWidget* buddy);
    // Makes the row's widget (and spinner); returns what stands beside the label.
    QWidget* buildField(const FieldRow& f, QLabel*& label);
    // A splitter and its dividers, named for screen readers.
    static void nameSplitter(QSplitter* split, const QString& name);

    // frmmain_menus.cpp
    void buildMenus();
    void buildToolbar();
    void RefreshControls();

    // frmmain_state.cpp
    void connectDocument();
    void ClearForm();
    void SyncScrollerFields(bool bToRecord, const QString& what = QString());
    void ShowItemFields();
    void StoreItemFields(const QString& what = QString(), bool cleanFields = true);
    // Takes what was typed into the fields into the document as one step of the history. The
    // fields show the cleaned text, except while the user is still at work in them.
    void commitFields(const QString& what = QString(), bool cleanFields = true);
    void setFieldText(QLineEdit* field, const QString& text);
    QString itemText() const;
    void setItemText(const QString& text);
    void cleanItemText(const QString& text);
    void clearItemUndo();
    void forgetFieldTyping(QWidget* field);
    bool fieldCanUndo(QObject* field, bool redo) const;
    // Takes back (or redoes) a step and shows the tab where it happened.
    void undoStep(bool redo);
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();

    // frmmain_file.cpp
    void Form_Load();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileSaveAsDefault_Click();
    void mnuFileQuit_Click();
    // Before every save: checks the fields being edited and takes them into the document;
    // false when a check refused (the user was told why) and nothing may be saved.
    bool prepareSave();
    bool checkEditedFields();
    void openScript(const QString& path);
    void afterLoad();
    EditorDocument::PromptResult PromptSaveChanges();
    bool PromptSaveForFolder();
    void inform(const QString& text, platform::Dialogs::Icon icon = platform::Dialogs::Icon::None);

    // frmmain_disk.cpp: the recovery copy and the script file changed by other programs
    void connectDiskCare();
    void checkDisk();
    // False when the file is open in another editor window and the user chose not to open it.
    bool openAnyway(const QString& path);

    // frmmain_checks.cpp
    void connectFieldLogic();
    void fieldChanged();
    void onFocusChanged(QWidget* old, QWidget* now);
    bool leaveField(QWidget* field);
    bool ValidateRange(QLineEdit* field, double dMin, double dMax);
    void rejectField(QWidget* field);
    void txtScrName_LostFocus();
    void txtItmName_LostFocus();
    void txtItmText_LostFocus();
    void cboScrDirn_Click();

    // frmmain_fields.cpp: the fields' table, and the fields to the records and back
    static const std::vector<FieldRow>& fieldTable();
    QWidget* widgetOf(const FieldRow& f) const;
    QLabel* labelOf(const FieldRow& f) const;
    const FieldRow* rowOf(const QWidget* widget) const;
    // What a line or the item text holds (the text with the model's line breaks).
    QString typedText(const FieldRow& f) const;
    // clean: the user may be at work in the field, so the caret and selection are kept.
    void showText(const FieldRow& f, const QString& text, bool clean = false);
    // The field's text is one its check (range or name) refuses; a disabled field is not checked.
    bool fieldRefused(const FieldRow& f) const;
    void fieldsInto(clsScroller& s) const;
    void itemFieldsInto(clsItem& item) const;
    // The records keep their last good value where a field's check refuses its text.
    void keepGoodValues(clsScroller& s) const;
    // The field that holds typing its check refuses, which therefore is not in the document.
    QLineEdit* refusedTypingField() const;
    // The undo step's name: the one field that changed, else the whole record.
    static QString stepName(const clsScroller& before, const clsScroller& after);
    static QString stepName(const clsItem& before, const clsItem& after);

    // frmmain_items.cpp
    void connectItemCommands();
    void tvItm_NodeClick(QTreeWidgetItem* item);
    void mnuItemAdd_Click();
    void mnuItemDelete_Click();
    void mnuItemMoveUp_Click();
    void mnuItemMoveDown_Click();
    void tvItm_Drop(int from, int to);
    void listReset();
    void syncListCurrent();
    void showCurrent();
    void showNoItem();

    // frmmain_clipboard.cpp
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();

    // frmmain_markup.cpp
    void buildMarkupButtons();
    void wrapSelection(const QString& open, const QString& close, const QString& what);
    void cmdItmBold_Click();
    void cmdItmItalic_Click();
    void cmdItmImg_Click();

    // frmmain_help.cpp
    void connectHelp();
    // The context-help number of each control that has one, by object name.
    static const QHash<QString, int>& helpNumbers();
    // What's This notes for the window's (or a dialog's) controls that have one.
    void installContextHelp(QWidget* window);
    void showHelpTopic(int number);
    help::HelpViewer& helpViewer();
    platform::RegistryStore& registry();
    platform::Shell& shell();
    HTMLHelp& help();
    QString helpFile() const;
    // False, with the user told, when the help file is not where the editor looks for it.
    bool helpFilePresent();
    void reportHelpFailure(const help::HelpFailure& failure);
    void showContextHelp(int number, QPoint globalPos);
    void mnuHelpContents_Click();
    void mnuHelpWhatsThis_Click();
    void mnuHelpIntegrate_Click();
    void mnuHelpOnlinePage_Click();
    void mnuHelpOnlineSupport_Click();
    void mnuHelpOnlineOrbwell_Click();
    void mnuHelpAbout_Click();

    // frmmain_feed.cpp
    void connectFeedCommands();
    void mnuItemImportFeed_Click();
    void mnuItemRefreshFeed_Click();
    void mnuItemForgetFeed_Click();

    // frmmain_embed.cpp
    void buildEmbedCommand();
    QPushButton* embedButton(QWidget* parent);
    void mnuEditEmbed_Click();

    // frmmain_live.cpp
    void buildLivePreview();
    void showLivePane();
    void scheduleLivePreview();
    void refreshLivePreview();
    QString liveProblem() const;
    ScrollerDocument liveDocument() const;

    // frmmain_user.cpp: what is kept for the user between sessions
    void restoreUserState();
    void saveUserState();
    void noteFileName();
    void openRecent(const QString& path);

    // frmmain_preview.cpp
    void tabMain_Click();
    void ensurePreviewView();
    void showPage(const QString& path);

    platform::Dialogs& m_dialogs;
    QString m_appFolder;
    help::HelpViewer* m_viewer = nullptr;
    platform::RegistryStore* m_registry = nullptr;
    platform::Shell* m_shell = nullptr;
    std::unique_ptr<help::HelpViewer> m_ownViewer;
    std::unique_ptr<platform::RegistryStore> m_ownRegistry;
    std::unique_ptr<platform::Shell> m_ownShell;
    std::unique_ptr<HTMLHelp> m_help; // one for the program's life, made by the first help command
    QString m_contextHelpFile;
    LinkOpener m_linkOpener;
    feed::Limits m_feedLimits;
    FeedDialogRunner m_feedDialogRunner;
    RecentFiles* m_recent = nullptr;
    LivePreview* m_live = nullptr;
    QTimer* m_liveTimer = nullptr;
    QString m_notedPath; // the file name the recent files last heard of
    recovery::Keeper* m_keeper = nullptr;
    DiskWatch* m_diskWatch = nullptr;
    bool m_checkingDisk = false;

    // The document; the fields are its working copy until they are committed.
    EditorDocument* m_doc = nullptr;
    bool bFieldError = false;
    // Typing in the fields not yet taken into the document, and the pause that takes it.
    bool m_fieldsEdited = false;
    QTimer* m_commitTimer = nullptr;
    // Set while the fields are written into the document, or the list follows the document.
    bool m_committing = false;
    bool m_syncingList = false;

    // Focus bookkeeping: the field the focus is being returned to after a rejection.
    QPointer<QWidget> m_focusReturn;
    // Fields left without their check because their tab was put away; checked before a save or
    // the preview takes the fields.
    QList<QPointer<QWidget>> m_uncheckedFields;
    bool m_activatedOnce = false;
    bool m_inTabChange = false;
    // Set while a record is being shown in the fields: showing is not an edit.
    bool m_showingRecord = false;
    // The folder of the last picture chosen, and the project folder it was chosen for.
    QString m_pictureFolder;
    QString m_pictureProject;

    // Widgets
    QTabWidget* tabMain = nullptr;
    QGroupBox* fraScroller = nullptr;
    QGroupBox* fraItem = nullptr;
    QGroupBox* fraItmAttr = nullptr;
    QLineEdit* txtScrName = nullptr;
    QLineEdit* txtScrWidth = nullptr;
    QLineEdit* txtScrHeight = nullptr;
    QLineEdit* txtScrSpeed = nullptr;
    QComboBox* cboScrDirn = nullptr;
    QComboBox* cboScrMsePause = nullptr;
    QLineEdit* txtScrDefWidth = nullptr;
    QLineEdit* txtScrSpacing = nullptr;
    QLineEdit* txtScrPause = nullptr;
    QLineEdit* txtItmName = nullptr;
    QLineEdit* txtItmWidth = nullptr;
    QPlainTextEdit* txtItmText = nullptr;
    UpDown* udScrWidth = nullptr;
    UpDown* udScrHeight = nullptr;
    UpDown* udScrSpeed = nullptr;
    UpDown* udScrDefWidth = nullptr;
    UpDown* udScrSpacing = nullptr;
    UpDown* udScrPause = nullptr;
    UpDown* udItmWidth = nullptr;
    ItemListView* tvItm = nullptr;
    QWidget* m_itemButtons = nullptr; // room for the markup buttons beside the item text
    QPushButton* cmdItmBold = nullptr;
    QPushButton* cmdItmItalic = nullptr;
    QPushButton* cmdItmImg = nullptr;
    QWidget* m_previewPage = nullptr;
    QWebEngineView* wbMain = nullptr;
    QToolBar* tbMain = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuItem = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuViewLive = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileSaveAsDefault = nullptr;
    QAction* mnuFileQuit = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditRedo = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditEmbed = nullptr;
    QAction* mnuItemAdd = nullptr;
    QAction* mnuItemDelete = nullptr;
    QAction* mnuItemMoveUp = nullptr;
    QAction* mnuItemMoveDown = nullptr;
    QAction* mnuItemImportFeed = nullptr;
    QAction* mnuItemRefreshFeed = nullptr;
    QAction* mnuItemForgetFeed = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuHelpWhatsThis = nullptr;
    QAction* mnuHelpIntegrate = nullptr;
    QAction* mnuHelpOnlinePage = nullptr;
    QAction* mnuHelpOnlineSupport = nullptr;
    QAction* mnuHelpOnlineOrbwell = nullptr;
    QAction* mnuHelpAbout = nullptr;
};
