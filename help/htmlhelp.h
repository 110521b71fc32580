#pragma once

#include "dialogs.h"
#include "helpviewer.h"
#include "registrystore.h"

#include <QString>

#include <functional>

// Property-and-method face of the compiled-help viewer: set the help file, window type, topic,
// keyword or popup settings, then call one Display method. The class checks the help file,
// resolves a bare file name through the registered help files or the application folder, builds
// what the viewer expects and calls it. It also keeps the list of registered help files and
// reports the versions of the viewer and the browser engine.
//
// All messages go through the dialog seam with the title "HTML Help Class".
class HTMLHelp {
public:
    // Window handles: 0 means none.
    using WindowHandle = quintptr;

    HTMLHelp(help::HelpViewer& viewer, platform::RegistryStore& registry,
             platform::Dialogs& dialogs, const QString& appFolder);

    // The program's own string table, read by popups of type 2. Entries it does not hold read as
    // null, and the popup then shows nothing.
    void setStringTable(std::function<QString(int)> lookup) { m_stringTable = std::move(lookup); }

    // ---- Display half -------------------------------------------------------------------------
    QString CHMFile() const { return m_CHMFile; }
    void setCHMFile(const QString& v) { m_CHMFile = v; }
    QString HHALink() const { return m_HHALink; }
    void setHHALink(const QString& v) { m_HHALink = v; }
    QString HHDefaultURL() const { return m_HHDefaultURL; }
    void setHHDefaultURL(const QString& v) { m_HHDefaultURL = v; }
    QString HHKeyword() const { return m_HHKeyword; }
    void setHHKeyword(const QString& v) { m_HHKeyword = v; }
    QString HHMsgText() const { return m_HHMsgText; }
    void setHHMsgText(const QString& v) { m_HHMsgText = v; }
    QString HHMsgTitle() const { return m_HHMsgTitle; }
    void setHHMsgTitle(const QString& v) { m_HHMsgTitle = v; }
    bool HHShowOnTop() const { return m_HHShowOnTop; }
    void setHHShowOnTop(bool v) { m_HHShowOnTop = v; }
    qint32 HHTopicID() const { return m_HHTopicID; }
    void setHHTopicID(qint32 v) { m_HHTopicID = v; }
    QString HHTopicURL() const { return m_HHTopicURL; }
    void setHHTopicURL(const QString& v) { m_HHTopicURL = v; }
    QString HHWindow() const { return m_HHWindow; }
    void setHHWindow(const QString& v) { m_HHWindow = v; }

    void setHHPopupFile(const QString& v) { m_HHPopupFile = v; }
    void setHHPopupType(qint32 v) { m_HHPopupType = v; }
    void setHHPopupText(const QString& v) { m_HHPopupText = v; }
    void setHHPopupID(qint32 v) { m_HHPopupID = v; }
    void setHHPopupTextColor(quint32 v) { m_HHPopupTextColor = v; }
    void setHHPopupBackColor(quint32 v) { m_HHPopupBackColor = v; }
    void setHHPopupCustomTextColor(quint32 v) { m_HHPopupCustomTextColor = v; }
    void setHHPopupCustomBackColor(quint32 v) { m_HHPopupCustomBackColor = v; }
    bool HHPopupCustomColors() const { return m_HHPopupCustomColors; }
    void setHHPopupCustomColors(bool v) { m_HHPopupCustomColors = v; }
    void setHHPopupTextFont(const QString& v) { m_HHPopupTextFont = v; }
    void setHHPopupTextSize(const QString& v) { m_HHPopupTextSize = v; }
    void setHHPopupTextBold(bool v) { m_HHPopupTextBold = v; }
    void setHHPopupTextItalic(bool v) { m_HHPopupTextItalic = v; }
    void setHHPopupTextUnderline(bool v) { m_HHPopupTextUnderline = v; }

    // Returns the handle of the HTML Help window opened by one of the Display* methods except
    // HHDisplayPopup. With none recorded yet it warns and answers 0.
    WindowHandle HHWndHandle();

    void HHDisplayTopicURL(WindowHandle CallingForm = 0);
    void HHDisplayTopicID(WindowHandle CallingForm = 0);
    void HHDisplaySearch(WindowHandle CallingForm = 0);
    void HHDisplayKeyword(WindowHandle CallingForm = 0);
    void HHDisplayIndex(WindowHandle CallingForm = 0);
    void HHDisplayContents(WindowHandle CallingForm = 0);
    void HHDisplayALink(WindowHandle CallingForm = 0);
    void HHDisplayPopup(WindowHandle CallingForm);
    void HHClose();
    void HHInvokeWhatsThisHelp(WindowHandle CallingForm);
    void HHDeleteJumpURLSysMenu(WindowHandle HH_hWnd);

    // ---- Environment half ---------------------------------------------------------------------
    QString HHRegFileName() const { return m_HHRegFileName; }
    QString HHRegFilePath() const { return m_HHRegFilePath; }
    bool HHRegFileExists() const { return m_HHRegFileExists; }

    bool EnsureFileExists(QString& FileToFind);
    void HHCheckRegistry(const QString& FileToCheck);
    void HHRegister(QString& FileToRegister);
    void HHUnRegister(QString& FileToUnRegister);
    QString HHSetHelpFile(qint16 intSelHelpFile) const;
    bool HHVerifyMinConfig(qint32 MinHHVersion, qint32 MinIEVersion);

    bool HHInstalled();
    QString HHVersion();
    QString IEVersion();
    QString HHFriendlyName();
    QString IEFriendlyName();

    static const QString& messageTitle();

private:
    struct RegValue {
        bool found = false;
        QString name;
        QString data;
    };

    // Display helpers.
    bool prepareFile();
    QString fileWithWindow() const;
    WindowHandle ownerFor(WindowHandle CallingForm) const;
    void callRecorded(WindowHandle owner, const QString& file, int command,
                      const help::HelpData& data);
    help::HelpLinkRecord linkRecord(const QString& keywords);
    void resetPopupLook();

    // Environment helpers.
    bool CheckChmFile(const QString& file);
    bool CheckPopupFile(const QString& file);
    RegValue ReadRegValue(const QString& rootName, const QString& keyPath,
                          const QString& valueName);
    static bool GetRootKey(const QString& rootName, platform::RegistryStore::Root* root);
    bool RegKeyExists(const QString& keyPath);
    void ReadHHVersion();
    void ReadIEVersion();
    QString readLibraryVersion(const QString& clsidKey, const QString& notRegistered,
                               const QString& notFound, bool* found);
    static QString GetLongPath(const QString& path);
    static QString StripNull(const QString& text);
    static QString GetFileVersionText(const QString& path);
    void LookupHHFriendlyName();
    void LookupIEFriendlyName();
    QString fileSearch(const QString& pattern) const;

    void ShowErrorBox(const QString& text);
    void ShowWarningBox(const QString& text);
    void ShowInfoBox(const QString& text);

    help::HelpViewer& m_viewer;
    platform::RegistryStore& m_registry;
    platform::Dialogs& m_dialogs;
    QString m_appFolder;
    std::function<QString(int)> m_stringTable;

    // Fields, in their documented order.
    QString m_CHMFile;
    QString m_HHALink;
    QString m_HHDefaultURL;
    bool m_installed = false;
    QString m_HHKeyword;
    QString m_HHMsgText;
    QString m_HHMsgTitle;
    bool m_HHShowOnTop = false;
    qint32 m_HHTopicID = 0;
    QString m_HHTopicURL;
    QString m_HHWindow;
    QString m_HHRegFileName;
    QString m_HHRegFilePath;
    bool m_HHRegFileExists = false;
    QString m_HHPopupFile;
    qint32 m_HHPopupType = 0;
    QString m_HHPopupText;
    qint32 m_HHPopupID = 0;
    quint32 m_HHPopupTextColor = 0;
    quint32 m_HHPopupBackColor = 0;
    quint32 m_HHPopupCustomTextColor = 0;
    quint32 m_HHPopupCustomBackColor = 0;
    bool m_HHPopupCustomColors = false;
    QString m_HHPopupTextFont;
    QString m_HHPopupTextSize;
    bool m_HHPopupTextBold = false;
    bool m_HHPopupTextItalic = false;
    bool m_HHPopupTextUnderline = false;
    QString m_HHVersion;
    QString m_IEVersion;
    QString m_HHFriendlyName;
    QString m_IEFriendlyName;
    WindowHandle m_wndHandle = 0;
};
