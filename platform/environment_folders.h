#pragma once
// The folders the environment names for the libraries below the program (the
// toolkit, GLib, fontconfig, input methods): the user's home and the XDG base
// directories. The XDG rules hold a relative path there invalid, and a
// relative or empty HOME names the folder the program happens to run in; a
// library that took them would read its settings, style sheets and modules to
// load from there. They are taken out of the program's environment before any
// library starts, so each library falls back to the account's own folders.
// The same holds for PATH: an empty or relative entry would have a program
// that the toolkit or GLib starts by name (dbus-launch among them) found in
// the current folder, so the program searches its absolute entries alone.
//
// A run as the superuser keeps to the superuser's own home, as `sudo -H` and
// `su -` make every program do: where HOME or another of the folders below
// names a folder of another user (sudo without -H leaves the user's HOME), the
// toolkit's caches and settings, and the program's own settings, registry and
// desktop association, would otherwise be root's files in that user's folder,
// written through whatever links the user placed there.

#include <optional>
#include <string>

#include <sys/types.h>

namespace fsys {

// The variables naming one folder, taken out when they are not absolute.
inline constexpr const char* kSingleFolderVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                                         "XDG_CACHE_HOME", "XDG_STATE_HOME",  "XDG_RUNTIME_DIR"};
// The variables naming a list of folders separated by ":", of which only the absolute entries are kept.
inline constexpr const char* kFolderListVariables[] = {"XDG_CONFIG_DIRS", "XDG_DATA_DIRS"};

// The absolute entries of a ":"-separated list of folders, in their order,
// joined by ":"; empty when it has none (empty entries are none).
std::string AbsoluteFolderEntries(const std::string& list);

// The folders a program started by name is looked for in, joined by ":": the
// absolute entries of PATH, in their order; the system's default search path
// where none is left or there is no PATH (left unset, PATH would have GLib
// search the current folder too).
std::string ProgramSearchPath();

// The variables naming a folder that a run as the superuser takes only where
// the folder is the superuser's (NotTheSuperusersWay).
inline constexpr const char* kSuperuserJudgedVariables[] = {
    "HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
    "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "GANTRYWRIGHT_CONFIG_DIR"};

// Takes out of the program's environment HOME and each single-folder XDG
// variable whose value is not an absolute path (an empty one included), and
// rewrites each folder list to its absolute entries, taking it out when none
// is left; PATH becomes ProgramSearchPath(). Each variable kept is held once:
// where the environment holds a name more than once (getenv sees the first,
// the program's children, GLib's included, would get all, and a shell takes
// the last), every copy goes and the value kept, the first's, is set alone.
//
// Where the effective user is the superuser, each of kSuperuserJudgedVariables
// whose folder is not the superuser's (NotTheSuperusersWay) goes: HOME becomes
// the superuser's home from the password file (unset where it names none),
// the others are unset. Where HOME goes and XAUTHORITY is unset, XAUTHORITY
// first becomes the old home's .Xauthority where that is a file, since that is
// where the X display's cookie was found. One line on standard error says
// what was replaced and left out.
// Call it first in main, before any library reads the environment: the
// environment is not safe to change once other threads run.
void DropRelativeFolderVariables();

}  // namespace fsys
