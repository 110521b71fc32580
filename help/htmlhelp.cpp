// The display half of the help class: each Display method checks the help file and makes one
// viewer call (two for a keyword); popups, closing, What's This and the last window's handle.
#include "htmlhelp.h"

using help::HelpLinkRecord;
using help::HelpPopupRecord;
using help::HelpSearchRecord;
using help::HelpViewer;

namespace {

constexpr int kJumpUrlMenuCommand = 0xEFFF;

// Only the space character counts, as in the original checks; tabs are part of a name.
QString trimSpaces(const QString& s) {
    int b = 0;
    int e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

} // namespace

HTMLHelp::HTMLHelp(HelpViewer& viewer, platform::RegistryStore& registry,
                   platform::Dialogs& dialogs, const QString& appFolder)
    : m_viewer(viewer), m_registry(registry), m_dialogs(dialogs), m_appFolder(appFolder) {}

bool HTMLHelp::prepareFile() {
    if (!CheckChmFile(m_CHMFile))
        return false;
    return EnsureFileExists(m_CHMFile);
}

QString HTMLHelp::fileWithWindow() const {
    if (trimSpaces(m_HHWindow).isEmpty())
        return m_CHMFile;
    return m_CHMFile + QLatin1Char('>') + m_HHWindow;
}

HTMLHelp::WindowHandle HTMLHelp::ownerFor(WindowHandle CallingForm) const {
    return m_HHShowOnTop ? CallingForm : 0;
}

void HTMLHelp::callRecorded(WindowHandle owner, const QString& file, int command,
                            const help::HelpData& data) {
    // A viewer that cannot be reached is passed over silently; the last handle stays.
    if (const auto handle = m_viewer.htmlHelp(owner, file, command, data))
        m_wndHandle = *handle;
}

HelpLinkRecord HTMLHelp::linkRecord(const QString& keywords) {
    // Empty texts travel as "none", not as empty strings.
    if (m_HHDefaultURL.isEmpty())
        m_HHDefaultURL = QString();
    if (m_HHMsgText.isEmpty())
        m_HHMsgText = QString();
    if (m_HHMsgTitle.isEmpty())
        m_HHMsgTitle = QString();
    HelpLinkRecord r;
    r.keywords = keywords;
    r.url = m_HHDefaultURL;
    r.msgText = m_HHMsgText;
    r.msgTitle = m_HHMsgTitle;
    r.window = trimSpaces(m_HHWindow).isEmpty() ? QString() : m_HHWindow;
    return r;
}

void HTMLHelp::HHDisplayTopicURL(WindowHandle CallingForm) {
    if (!prepareFile())
        return;
    callRecorded(ownerFor(CallingForm), fileWithWindow(), HelpViewer::DisplayTopic, m_HHTopicURL);
}

void HTMLHelp::HHDisplayTopicID(WindowHandle CallingForm) {
    if (!prepareFile())
        return;
    callRecorded(ownerFor(CallingForm), fileWithWindow(), HelpViewer::HelpContext, m_HHTopicID);
}

void HTMLHelp::HHDisplaySearch(WindowHandle CallingForm) {
    if (!prepareFile())
        return;
    HelpSearchRecord r;
    r.query = QStringLiteral("");
    r.window = QStringLiteral("");
    callRecorded(ownerFor(CallingForm), fileWithWindow(), HelpViewer::DisplaySearch, r);
}

void HTMLHelp::HHDisplayKeyword(WindowHandle CallingForm) {
    if (!prepareFile())
        return;
    const WindowHandle owner = ownerFor(CallingForm);
    // The default topic first, so the lookup has a window to show its result in.
    callRecorded(owner, m_CHMFile, HelpViewer::DisplayTopic, std::monostate{});
    callRecorded(owner, m_CHMFile, HelpViewer::KeywordLookup, linkRecord(m_HHKeyword));
}

void HTMLHelp::HHDisplayIndex(WindowHandle CallingForm) {
    if (!prepareFile())
        return;
    callRecorded(ownerFor(CallingForm), fileWithWindow(), HelpViewer::DisplayIndex,
                 std::monostate{});
}

void HTMLHelp::HHDisplayContents(WindowHandle CallingForm) {
    if (!prepareFile())
        return;
    callRecorded(ownerFor(CallingForm), fileWithWindow(), HelpViewer::DisplayToc, std::monostate{});
}

void HTMLHelp::HHDisplayALink(WindowHandle CallingForm) {
    if (!prepareFile())
        return;
    // The window type reaches the viewer through the record only.
    callRecorded(ownerFor(CallingForm), m_CHMFile, HelpViewer::ALinkLookup, linkRecord(m_HHALink));
}

void HTMLHelp::HHDisplayPopup(WindowHandle CallingForm) {
    if (m_HHPopupType == 0)
        return;
    if (m_HHPopupType == 1 && !prepareFile())
        return;

    const QPoint cursor = m_viewer.cursorPos();
    HelpPopupRecord r;
    if (m_HHPopupType == 2) {
        r.text = m_stringTable ? m_stringTable(m_HHPopupID) : QString();
    } else if (m_HHPopupType == 4) {
        if (m_HHPopupText.isEmpty())
            return;
        r.text = m_HHPopupText;
    } else {
        r.stringId = m_HHPopupID;
    }
    r.pos = cursor;
    r.textColor = m_HHPopupCustomColors ? m_HHPopupCustomTextColor : m_HHPopupTextColor;
    r.backColor = m_HHPopupCustomColors ? m_HHPopupCustomBackColor : m_HHPopupBackColor;
    if (m_HHPopupTextFont.isEmpty())
        m_HHPopupTextFont = QStringLiteral("Arial");
    if (m_HHPopupTextSize.isEmpty())
        m_HHPopupTextSize = QStringLiteral("10");
    r.font = m_HHPopupTextFont + QLatin1String(", ") + m_HHPopupTextSize +
             QLatin1String(", ascii, ") +
             (m_HHPopupTextBold ? QLatin1String("Bold ") : QLatin1String("")) +
             (m_HHPopupTextItalic ? QLatin1String("Italic ") : QLatin1String("")) +
             (m_HHPopupTextUnderline ? QLatin1String("Underline") : QLatin1String(""));

    if (m_HHPopupType == 1) {
        if (!CheckPopupFile(m_HHPopupFile))
            return;
        m_viewer.htmlHelp(CallingForm, m_CHMFile + QLatin1String("::/") + m_HHPopupFile,
                          HelpViewer::DisplayTextPopup, r);
    } else if (m_HHPopupType == 2 || m_HHPopupType == 4) {
        m_viewer.htmlHelp(CallingForm, QString(), HelpViewer::DisplayTextPopup, r);
    } else {
        return;
    }
    resetPopupLook();
}

void HTMLHelp::resetPopupLook() {
    m_HHPopupCustomTextColor = 0;
    m_HHPopupCustomBackColor = 0;
    m_HHPopupTextColor = 0;
    m_HHPopupBackColor = 0;
    m_HHPopupTextFont = QStringLiteral("Arial");
    m_HHPopupTextSize = QStringLiteral("10");
    m_HHPopupTextBold = false;
    m_HHPopupTextItalic = false;
    m_HHPopupTextUnderline = false;
}

void HTMLHelp::HHClose() {
    m_viewer.htmlHelp(0, QStringLiteral(""), HelpViewer::CloseAll, std::monostate{});
}

void HTMLHelp::HHInvokeWhatsThisHelp(WindowHandle CallingForm) {
    m_viewer.enterContextHelp(CallingForm);
}

void HTMLHelp::HHDeleteJumpURLSysMenu(WindowHandle HH_hWnd) {
    m_viewer.deleteMenuItem(HH_hWnd, kJumpUrlMenuCommand);
}

HTMLHelp::WindowHandle HTMLHelp::HHWndHandle() {
    if (m_wndHandle != 0)
        return m_wndHandle;
    ShowWarningBox(QStringLiteral("No HTML Help window handle to retrieve."));
    return 0;
}
