#pragma once
// Whose links are followed and whose files are written in a shared folder: a
// sticky folder that others or a group may write. There, only the links of
// the folder's owner or of the user following them are followed, and a file
// that another user placed is not written: the user's own, or the folder
// owner's, are. The decisions rest on the owners and modes of the folder and
// of its entry alone, so they are tested without switching users.

#include <sys/types.h>

#include <string>
#include <vector>

namespace fsys {

// What decides about a folder: its owner and mode.
struct FolderOwnership {
    uid_t Owner = 0;
    mode_t Mode = 0;
};

// Whether a link that `linkOwner` owns in `folder` is followed for `user`
// (the effective user ID): always, but in a sticky folder that others or a
// group may write, where only the links of the user or of the folder's owner
// are. The system itself holds to that in folders that others may write
// (fs.protected_symlinks); in a group's folder a link is rarely another
// member's, and a planted one would have the user's private file replaced.
bool FollowsLinkIn(const FolderOwnership& folder, uid_t linkOwner, uid_t user);

// Whether a file that `fileOwner` owns in `folder` is one that another user
// placed in a shared folder, which `user` does not write: a sticky folder
// that others may write (or a group, where the system's fs.protected_regular
// is 2), the file neither the user's nor the folder owner's. The system
// refuses such a file to a program that would create it, but not to one that
// opens it to rewrite it.
bool IsPlacedByAnother(const FolderOwnership& folder, uid_t fileOwner, uid_t user, int protectedRegular);

// The same for the file looked at in the folder open at `folderFd`, for this
// process, with the system's fs.protected_regular; false where the folder
// cannot be looked at.
bool PlacedByAnother(int folderFd, uid_t fileOwner);

// Opens the folder `dir` ("." where empty) once, so that entries are made in
// it and decided about through the descriptor, never by a second look at its
// path, which another user who owns a folder on the way may have pointed
// elsewhere meanwhile. Links on the way are followed as the system follows
// them. Opened for reading where the user may list it (so that it can be
// flushed), else only as a place (O_PATH); -1 with errno the reason.
int OpenFolder(const std::string& dir);

// The errno of a path that leads through a symbolic link another user placed
// in a shared folder (see FollowsLinkIn). No system call sets it; FollowLinks
// reports it and every write refuses such a path with it.
inline constexpr int kForeignLinkError = 10001;
// The errno of a save to a file that another user placed in a shared folder
// (see IsPlacedByAnother); every write refuses it with this before anything
// is written.
inline constexpr int kForeignFileError = 10005;

// The most symbolic links followed in one path, as the system follows.
inline constexpr int kMostLinks = 40;

// The chain of symbolic links a path starts.
struct LinkChain {
    // The path itself, then what each link names in turn (a relative target
    // joined to the folder that holds the link; nothing is normalized), up
    // to the first entry that is no link: a file, a folder, a name that does
    // not exist (yet), or one that cannot be looked at (its folder cannot be
    // searched). The last entry is where a write through the path lands.
    std::vector<std::string> Entries;
    // 0 when the chain ends as above; else ELOOP for a chain of more than
    // kMostLinks links (a loop), kForeignLinkError for a link not followed
    // (FollowsLinkIn, for the effective user ID; a folder that cannot be
    // looked at leaves the decision to the system), or the errno of a link
    // that cannot be read; the last entry is then that link.
    int Error = 0;
};
LinkChain FollowLinks(const std::string& path);

}  // namespace fsys
