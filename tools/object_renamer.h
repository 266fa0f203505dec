#pragma once
// Track > Object Renamer: points one scenery object, or every object of the
// same file, at another 3D Studio file below the simulator's Objects folder.
// Each Rename changes the document at once; there is no OK.

#include <cstdint>
#include <optional>
#include <string>

// The list entry of object `index`: its number from 1 with at least four
// digits, ":", and its file name ("0001:Trees\oak.3ds").
std::string ObjectListEntry(int32_t index);

// The check of the "Rename to:" text after every change. A full path of an
// existing file below the Objects folder is valid and gives its stored name
// as the text's replacement (checked again in that form); so does a valid
// name below the folder typed with "/" between its names, which the track
// stores with "\". A name the track file cannot store (a character outside
// the simulator's code page) is invalid.
struct RenameFileCheck {
    bool Valid = false;
    std::optional<std::string> Replacement;
};
RenameFileCheck CheckRenameFile(const std::string& text);

// Rename: object `index` (and with `all` every object whose file name equals
// its name without regard to the letter case of the code page, "É" as "é")
// gets `newName`, and the document is marked changed. Returns the number of
// objects renamed (0, nothing changed, for an index outside the list or a
// name the track file cannot store).
int32_t RenameSceneryObjects(int32_t index, const std::string& newName, bool all);
