#pragma once
// Scenery object files as the track names them: the path below the
// simulator's Objects folder with "\" between the names ("Trees\oak.3ds"),
// looked up on disk without regard to letter case.

#include <optional>
#include <string>

// The simulator's Objects folder as spelled on disk (any letter case of
// "Objects" under gSimPath), or gSimPath + "Objects" when there is none.
std::string ObjectsFolder();

// True when the text is a full path rather than a name below the Objects folder.
bool IsFullObjectPath(const std::string& text);

// The stored name of a full path under the Objects folder: only the leading
// simulator folder and "Objects" are taken off (matched without regard to
// case), the rest joined by "\". nullopt for a path outside the folder or one
// that names the folder itself.
std::optional<std::string> StoredObjectName(const std::string& fullPath);

// True when the stored name denotes an existing file below the Objects folder.
bool ObjectFileExists(const std::string& storedName);
