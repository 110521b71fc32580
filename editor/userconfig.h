#pragma once

#include <QString>

#include <functional>
#include <memory>

class QSettings;

// The user's own files: the settings and the user's default scroller, both in one folder under
// the user's config folder ($XDG_CONFIG_HOME/tickora-creator, else ~/.config/tickora-creator).
namespace userconfig {

QString folder();
QString userDefaultPath();

// The settings file of this user, independent of the program's name or organisation.
std::unique_ptr<QSettings> settings();

// Makes a change to the settings and writes it at once. A change that cannot be written (a folder
// that cannot be written to, a full disk) goes to the handler with the settings file's path.
void write(const std::function<void(QSettings&)>& change);
void onWriteFailure(std::function<void(const QString& file)> handler);

// The default scroller New starts from: the user's own when there is one, else the shipped one.
QString defaultForNew(const QString& appFolder);

// Where Save As Default writes: where New reads from, except that a shipped default in a folder
// the user may not write (an installed program) gives way to the user's own. Makes the user's
// folder when that is the answer; empty when even that cannot be made.
QString defaultForSave(const QString& appFolder);

// Whether a new file can be made in the folder, found by trying: permission bits alone do not
// tell (read-only mounts, access lists, another user).
bool canWriteIn(const QString& folder);

} // namespace userconfig
