#pragma once
// The simulator's files and the registry name files by Windows-style relative
// paths ("Objects\Foo\bar.3ds", "\" or "/" between the names, any letter case).
// On this platform such a name is looked up under a folder name by name, each
// matched without regard to ASCII letter case. A name never leads out of its
// folder: ".." may only climb back out of a folder the name itself entered.
//
// A stored name is the program's text of the single bytes a simulator file
// holds; the entry spelled in exactly those bytes is the one it names, before
// one spelled in the program's UTF-8 (both may lie in one folder).

#include <optional>
#include <string>
#include <vector>

namespace fsys {

// The names of a stored path ("\" or "/" between them) with "." dropped and
// ".." applied; nullopt when ".." climbs above the path's start.
std::optional<std::vector<std::string>> StoredPathNames(const std::string& storedName);

// The name of the entry of the folder spelled like name: the exact one when it
// exists, else the first in sorted order that differs only in ASCII letter case;
// nullopt when there is none. A name is spelled on disk in the program's UTF-8
// or in the single bytes of the simulator's code page (cp::DiskSpellings); the
// name as given is tried first (a name taken from the disk is its own spelling).
std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, const std::string& name);
// The same for one name of a stored name: its single bytes are tried first.
std::optional<std::string> FindStoredEntry(const std::string& folder, const std::string& storedName);

// The path on disk of an existing file or folder that the stored name denotes
// under the folder; nullopt when some name along the way is not found or the
// name leads out of the folder. An exact match wins over one in another case.
std::optional<std::string> ResolveStoredName(const std::string& folder, const std::string& storedName);

// The path under which to create or open the stored name: the leading names
// that exist are taken as spelled on disk, the rest as given. Empty when the
// name leads out of the folder or names nothing.
std::string MapStoredName(const std::string& folder, const std::string& storedName);

// The stored form of a path under the folder: the names below the folder
// joined by "\"; nullopt when the path does not lie under it.
std::optional<std::string> ToStoredName(const std::string& folder, const std::string& path);

}  // namespace fsys
