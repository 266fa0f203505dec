#pragma once
// The track-file association made real on a freedesktop desktop, beside the
// registry keys the simulator's own platform reads. Everything goes to the
// user's folders and is named so that it can be found again:
//
//   <data>/mime/packages/gantrywright-vxtrack.xml   the type application/x-vortaxis-track for *.vxtrack
//   <data>/icons/hicolor/48x48/mimetypes/application-x-vortaxis-track.png   its icon
//   <data>/applications/gantrywright-vxtrack-<verb>.desktop   one entry per right-click verb
//   <config>/mimeapps.list   the double-click verb's entry as the type's default,
//                            before the user's own default (see SetDefaultApplication)
//
// The simulator's three verbs get entries only where a Windows compatibility
// layer (wine) can run the simulator's programs. Unticking a verb removes its
// entry; nothing else in those folders is touched. A file that is a symbolic
// link (as dotfile managers make them) is written through the link.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop_programs.h"

inline constexpr const char* kTrackMimeType = "application/x-vortaxis-track";

struct DesktopFolders {
    std::string DataHome;    // $XDG_DATA_HOME, else ~/.local/share
    std::string ConfigHome;  // $XDG_CONFIG_HOME, else ~/.config
};
// The user's folders, each ending in "/"; a folder is empty when neither its
// variable nor HOME names an absolute folder.
DesktopFolders UserDesktopFolders();
// True when both folders are known (absolute); otherwise nothing is written.
bool DesktopFoldersKnown(const DesktopFolders& folders);

struct DesktopAssociation {
    int DoubleClick = 0;                 // 0 Ride, 1 Edit, 2 Terraform
    std::array<bool, 4> RightClick{};    // Ride!, Edit, Terraform, Gantrywright
    std::array<std::string, 4> Programs; // the program each verb runs
    // Why a verb's program cannot be named (no program is at its path any
    // more); empty where it can. Such a verb's entry is not written.
    std::array<std::string, 4> ProgramProblems;
    // The absolute path of wine as FindProgramOnPath finds it, which the
    // simulator's entries name; empty: not found, and those entries are not
    // offered.
    std::string Wine;
    std::vector<uint8_t> IconPng;        // the type's icon as a PNG file; empty: none
};

// The desktop entry's file name of a verb ("gantrywright-vxtrack-ride.desktop").
std::string DesktopEntryName(int verb);

// A program's path as a desktop entry's Exec line names it: absolute (a
// relative path is taken from the current folder now, so it can never start
// with "-"), UTF-8, and free of control characters but the tab, line feed and
// carriage return, which the entry writes as its escapes. nullopt, with the
// reason (a sentence naming the path) in `problem`, for a path no entry can
// name as it is.
std::optional<std::string> DesktopEntryProgram(const std::string& program, std::string& problem);

// The text of a verb's desktop entry; nullopt, with the reason in `problem`,
// when its program's path, or for the simulator's verbs wine's, cannot be
// named in one (DesktopEntryProgram). The simulator's entries run its program
// through wine named by its absolute path, so the launcher's own PATH does
// not choose it.
std::optional<std::string> DesktopEntryText(int verb, const DesktopAssociation& association, std::string& problem);

// Writes and removes the files above. False when a file could not be written
// or removed (failures holds a line for each, "Could not write <file>: " and
// the reason), or, with nothing written, when the folders are not known. An
// entry whose program's path no entry can name, or whose program is gone, is
// not written (its old file stays), and said so among the failures. The
// double-click verb's entry becomes the type's default only when it was
// written; otherwise this program's default is taken out of mimeapps.list.
bool ApplyDesktopAssociation(const DesktopAssociation& association, const DesktopFolders& folders,
                             std::vector<std::string>& failures);

// Sets or (with an empty entry) clears the type's default in a mimeapps.list
// text (nullopt: no file; given back when clearing leaves nothing of a file
// this program made). Other lines stay as they are, each with its own line end
// (CR LF lines are read like LF ones, and added lines take the file's usual
// end); a UTF-8 byte-order mark stays in front of the first line.
//
// The default is a list of desktop entries, the first installed one used: the
// entry is set by putting it first in the type's list, before the defaults the
// user had, which stay in the list as they were written (and serve again
// should this program's entry go). Clearing takes out what setting added: this
// program's entries, and the type's line, the section, the line end and the
// file when setting added them, so that the user's file is given back byte for
// byte. Where that is more than a line in a section the file had, or where the
// user's line had no entries (it stays), a comment line above the type's line
// says what was added ("# gantrywright-vxtrack added: entry line section");
// what the user added since is kept.
std::optional<std::string> SetDefaultApplication(const std::optional<std::string>& mimeapps,
                                                 const std::string& entry);

// What OK tells the user of the choices this desktop cannot make real:
// without known folders, that nothing was changed; without wine, that the
// double-click action and the simulator's ticked verbs are not offered.
// Empty when everything chosen was made real.
std::string DesktopAssociationNotice(const DesktopAssociation& association, const DesktopFolders& folders);

// Refreshes the MIME and desktop databases of the data folder with their
// tools, where they are installed (not without known folders), run as this
// program's own user. A tool that runs and fails, or cannot be started, is
// said in `failures` ("Could not refresh <folder>: <tool> ended with exit
// status 1."); one that is not installed is not. The superuser (who keeps to
// its own home, fsys::DropRelativeFolderVariables) runs a tool only where
// every folder and link on the way to the tool's folder is root's; otherwise
// the failure is fsys::WayRefusal's: the folder or link of another user on the
// way, its owner, and to run the program as that user.
void RefreshDesktopDatabases(const DesktopFolders& folders, std::vector<std::string>& failures);
