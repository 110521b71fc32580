#pragma once

#include <QString>

class QWidget;

namespace platform {
class Dialogs;
class Shell;
} // namespace platform

namespace modForm {

// Opens an address in the user's default web browser, in its own process. The address is
// passed on unchanged (callers give host and path without a scheme). Failures are told to the
// user: no browser known, or the browser could not be started.
void OpenInBrowser(const QString& sURL, QWidget* hWndOwner, platform::Shell& shell,
                   platform::Dialogs& dialogs);

} // namespace modForm
