// The executable's folder (the design's D), in the file system's encoding
// with a trailing "/": where the game runtime is, and, in a build's dist
// folder or a copy of it, the default project.  Tests name another folder
// before the windows are made.
//
// Installed under a prefix (PREFIX/bin, PREFIX/share/qxvantor) the user
// cannot write beside the executable: the settings then live in the user's
// configuration folder and the default project in the user's data folder.
#pragma once

#include <string>

namespace qx {

std::string ExecutableFolder();
// Non-empty: used instead of the executable's folder.
std::string& ExecutableFolderOverride();

// Where the start-up data (Sys/Api, textures/) is read from: the current
// folder ("") when it holds it, as the design says, else the installation's
// share folder beside the executable; "" when neither does (the missing
// file is then named as the design names it).
std::string StartupDataFolder();

// True for an installation under a prefix (its start-up data in the share
// folder) and for one the user cannot write beside the executable; false
// for a build's dist folder or a copy of it, which keeps everything inside.
bool UsesUserFolders();

// The settings file (Config.ini with the recent projects): "Sys/Config.ini"
// in the current folder as the design says, or in the user's configuration
// folder when UsesUserFolders().
std::string SettingsFile();

// The user's data folder for the editor ("…/qxvantor/", created when
// missing): home of the default project when UsesUserFolders().
std::string UserDataFolder();

}  // namespace qx
