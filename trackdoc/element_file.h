#pragma once
// Reading and writing .vxelem files (one big-endian "ELEM" chunk).

#include <string>

bool LoadElementFile(const std::string& path);
// Writes the element document, appending ".vxelem" when the name lacks it;
// false when the file could not be written (the old file is then kept).
bool SaveElementFile(const std::string& path);
