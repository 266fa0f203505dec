#pragma once
// A folder of the Environments folder that the program fills (an
// environment's texture folder, "__Unused Files__"), held open from the look
// that judges it to the last file written or moved into it.
//
// The folder is judged on what was opened, never on a second look at its
// name: it is used only where it belongs to the user, to the simulator
// folder's owner or to the owner of the folder that holds it (the
// Environments folder), a folder made by this opening being the user's. A
// link of that name counts with its own owner too, and another user's link is
// not even opened. Once the folder is open, its name is looked at again in
// the held parent, without following it: the name must still be the folder
// opened, or a link of an allowed owner that leads to it. Otherwise another
// user (who may write the Environments folder) could have the user's files
// put into a folder of theirs, or of the user's that they chose.
//
// Names inside are then made, read and moved relative to the held folder.

#include <sys/types.h>

#include <functional>
#include <string>

#include "platform/held_descriptor.h"

// Why a folder is not used, besides the system's reasons: it (or the link of
// its name) belongs to another user; its name led elsewhere once it was opened.
inline constexpr int kAnotherUsersFolderError = 10201;
inline constexpr int kReplacedFolderError = 10202;

struct HeldFolder {
    // The folder, open for reading where the user may list it, else only as
    // a place; none where it is not used (Error says why).
    fsys::HeldDescriptor Fd;
    int Error = 0;
    std::string Path;  // the parent's path joined with the name, for messages
    std::string Name;  // its name in the parent
    bool Made = false;     // made by this opening
    bool ViaLink = false;  // its name is a link (of an allowed owner)
    dev_t Device = 0;
    ino_t Inode = 0;
};

// Opens the folder `name` of the folder held at `parentFd` (whose path is
// `parentPath`), making it first where it is missing and `make` says so, and
// judges it as said above. ENOENT where it is missing and not to be made;
// ENOTDIR where the name is no folder nor a link to one. The superuser's run
// follows a link of that name only as the way to a write allows
// (write_way.h).
HeldFolder OpenFolderToFill(int parentFd, const std::string& parentPath, const std::string& name, bool make);

// Removes the folder that OpenFolderToFill made, while it is empty and its
// name in the parent still leads to it; nothing else.
void RemoveMadeFolder(int parentFd, const HeldFolder& folder);

// For tests that change a folder while it is used: called with the folder's
// path once it is opened, before its name is looked at again (Opened), and
// once a texture copy has looked at the names the folder holds, before the
// copy is made (Listed). An empty function stops it.
enum class HeldFolderStep { Opened, Listed };
void SetHeldFolderObserverForTests(std::function<void(HeldFolderStep step, const std::string& path)> observer);
void ReportHeldFolderStep(HeldFolderStep step, const std::string& path);
