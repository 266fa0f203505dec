#pragma once
// The way to what a write changes, and the folder it goes through.
//
// An ordinary user's write follows its path as the system does (links
// followed, but not another user's link in a shared folder: shared_folders.h).
// The superuser's run writes only where every folder and every link on the
// way is the superuser's own: the way is walked one name at a time on
// descriptors, from "/" (a relative path from the current folder's path), a
// link's owner looked at before it is followed and a folder's once it is
// opened, and the write then goes through the folder the walk ended at. A
// folder or link of another user on the way refuses the write before anything
// is written (kAnotherUsersWayError): that user could point it elsewhere
// meanwhile, to have the superuser's files changed or read there, and what
// the superuser made there would be kept from its owner. Reading is never
// refused this way.

#include <sys/types.h>

#include <optional>
#include <string>

#include "platform/held_descriptor.h"

namespace fsys {

// The errno of a write that the superuser's run refuses: a folder or link on
// the way belongs to another user (LastForeignEntry says which).
inline constexpr int kAnotherUsersWayError = 10008;

// The folder or link of another user that refused the last write of this
// thread with kAnotherUsersWayError.
struct ForeignEntry {
    std::string Path;  // as walked: every link before it followed
    bool Link = false;
    uid_t Owner = static_cast<uid_t>(-1);  // -1 where it could not be looked at
};
const ForeignEntry& LastForeignEntry();

// What the message of a refused write says: the folder or link, its owner,
// and the way out, to run the program as that user:
// The folder "/home/ann/.config" belongs to the user ann; run as the
// superuser, the program writes nothing in another user's folders. To work
// there, run it as that user, for example: sudo -u ann gantrywright
std::string ForeignEntryReason(const ForeignEntry& entry);

// The folder a write goes through, held open, and the name it writes there.
struct WriteWay {
    // The folder: open for reading where the user may list it (so that it can
    // be flushed), else only as a place (O_PATH); none before a way is found.
    HeldDescriptor FolderFd;
    // The folder's path as the way reached it ("." for the current folder of
    // an ordinary user's relative path), for names in messages.
    std::string Folder;
    // The entry's name in the folder; it need not exist yet.
    std::string Name;
    // The folder's path joined with the name.
    std::string Path() const;
};

// Finds the way to write `path` (a file to make, replace or remove): with
// `throughLinks`, a link at its end is followed to the file at the end of the
// chain, as a save does (a link stays a link); without, the entry itself is
// the one written or removed. False with errno the reason: the system's,
// ELOOP for more than kMostLinks links, kForeignLinkError for an ordinary
// user's path through another user's link in a shared folder,
// kAnotherUsersWayError for the superuser's way through another user's
// folder or link; EISDIR where the path names a folder's "." or "..", or "/".
bool FindWriteWay(const std::string& path, bool throughLinks, WriteWay& way);

// Opens the folder `dir` ("." where empty) to write in, as FindWriteWay walks
// to it: open for reading where the user may list it, else only as a place;
// -1 with errno the reason (ENOTDIR where it is no folder).
int OpenFolderToWrite(const std::string& dir);

// Makes the folder `path` and its missing parents, as the way to it allows;
// the folder, open as OpenFolderToWrite opens it, or -1 with errno the reason
// (ENOTDIR where something that is no folder stands on the way).
int MakeFoldersToWrite(const std::string& path);

// Removes the entry (a file or a link, never followed) that `path` names, as
// FindWriteWay walks to it; false with errno the reason.
bool RemoveEntry(const std::string& path);

// For a window that works in a whole tree: why the superuser's run would
// write nothing at `path` (ForeignEntryReason), found once at its start;
// empty for an ordinary user, and where the way is the superuser's own or
// cannot be walked (a write will say why then).
std::string WayRefusal(const std::string& path);

// Where the way from "/" to the folder (an absolute path) passes a folder or
// link that is not the superuser's, as the superuser's walk finds it: the
// first such. Where the folder does not exist yet, the way to its nearest
// existing folder is judged (a file on the way ends it: nothing is made
// below a file). A step that cannot be looked at (Owner -1), a chain of
// links that loops, or a path that is not absolute, counts as not the
// superuser's. nullopt where every step is root's. The start-up step
// judges the folders the environment names by it.
std::optional<ForeignEntry> NotTheSuperusersWay(const std::string& folder);

}  // namespace fsys
