#pragma once
// Vortaxis > Fix Location without its window: whether a typed folder holds the
// simulator, the folder of a file picked in the browse dialog, and storing the
// folder where the program (at its next start) and the simulator's tools find it.

#include <string>

// True when the folder (a separator added when it lacks one) holds the
// simulator's executable, its name matched without regard to case. False for
// an empty text or one the platform cannot take as a path.
bool IsSimulatorFolder(const std::string& text);

// The picked file's folder, up to and including its last separator.
std::string FolderOfPickedFile(const std::string& path);

// The folder as it is stored: an absolute folder exactly as typed; a relative
// one made absolute from the current folder (its "." and ".." resolved, a
// typed trailing separator kept), since the program and the simulator's tools
// read it from other folders.
std::string SimulatorLocationToStore(const std::string& text);

// Writes SimulatorLocationToStore(text) as "InstPath" of "Software\Vortaxis
// Coasters" under the current user; false when the registry store could not
// be written.
bool StoreSimulatorLocation(const std::string& text);
