#pragma once
// Where the program finds its own data and keeps the user's settings.
//
// - The configuration folder holds the settings file and the registry store:
//   $GANTRYWRIGHT_CONFIG_DIR when set, else $XDG_CONFIG_HOME/gantrywright/,
//   else ~/.config/gantrywright/ ($HOME, else the account's home in the
//   password file). Each of these is taken only when it is an absolute path,
//   as the XDG base directories must be; a relative one is ignored, so the
//   folder never depends on the folder the program runs in. Without any of
//   them there is no configuration folder: ConfigFolder is empty and the
//   settings last for the run. It is looked up on every call, so a test can
//   point it at a folder of its own. In a run as the superuser these
//   variables name root's own folders only: the start-up step
//   (fsys::DropRelativeFolderVariables) has taken out any that named another
//   user's, so the settings and the registry are root's, in root's home.
// - The program data folder (help pages, crosstie objects, pictures):
//   $GANTRYWRIGHT_DATA_DIR when set, else data/ beside the executable (the
//   build tree), else the installed share folder.
// Every folder returned ends in the path separator.

#include <string>

namespace fsys {

std::string ConfigFolder();
std::string ProgramDataFolder();

// The user's own folder ($HOME, else the account's home; absolute) when it exists; empty otherwise.
std::string UserFolder();

// The folder of the running executable; empty when it cannot be found.
std::string ExecutableFolder();

}  // namespace fsys
