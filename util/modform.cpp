#include "modform.h"

#include "dialogs.h"
#include "shell.h"

namespace modForm {

void OpenInBrowser(const QString& sURL, QWidget* hWndOwner, platform::Shell& shell,
                   platform::Dialogs& dialogs) {
    // The desktop can be asked for its browser directly, so no scratch page is written.
    const QStringList command = shell.browserCommand(sURL);
    if (command.isEmpty()) {
        dialogs.inform(hWndOwner, QStringLiteral("Could Not Find Associated Browser"),
                       QStringLiteral("Browser Not Found"), platform::Dialogs::Icon::Exclamation);
        return;
    }
    if (!shell.startDetached(command.first(), command.mid(1)))
        dialogs.inform(hWndOwner, QStringLiteral("Web Page Not Opened"),
                       QStringLiteral("URL Failed"), platform::Dialogs::Icon::Exclamation);
}

} // namespace modForm
