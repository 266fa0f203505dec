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
// that names the folder itself. A name of the path that is no UTF-8 (a file
// the simulator named in its single-byte code page) is read in that code page,
// so the stored name is always the program's text.
std::optional<std::string> StoredObjectName(const std::string& fullPath);

// True when the stored name denotes an existing file below the Objects folder,
// spelled on disk in UTF-8 or in the simulator's single bytes.
bool ObjectFileExists(const std::string& storedName);

// True when a track file can store the name: every character is one of the
// simulator's code page (platform/code_page.h).
bool ObjectNameStorable(const std::string& storedName);

// The message that refuses a name the track file cannot store.
std::string ObjectNameNotStorableText(const std::string& storedName);
