#pragma once

#include "chmfile.h"
#include "helppopup.h"
#include "helpviewer.h"
#include "helpwindow.h"

#include <QMap>
#include <QPointer>

#include <memory>

namespace platform {
class Dialogs;
class Shell;
} // namespace platform

namespace help {

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
    std::shared_ptr<ChmFile> openFile(const QString& path);
    HelpWindow* windowFor(quintptr owner, const HelpTarget& t,
                          const QString& recordWindow = QString());
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
