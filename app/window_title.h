#pragma once
// The main window's caption: the program's name, then " - " and the open
// document's file name, then "*" while it has unsaved changes.

#include <cstdint>
#include <string>

inline constexpr const char* kProgramCaption = "Gantrywright";

// "Gantrywright" with no document (documentType 0 or less); otherwise
// "Gantrywright - <file name>" (the text after the path's last "/"), with "*"
// appended when changed.
std::string WindowTitle(int16_t documentType, const std::string& documentPath, bool changed);
