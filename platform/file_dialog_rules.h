#pragma once
// What the platform's file dialogs leave to us on this system: GTK's dialog
// filters by case-sensitive patterns and appends no default extension, while
// the program expects "*.vxtrack" to show "TRACK.VXTRACK" too and a typed
// "loop" to be saved as "loop.vxtrack". Display-free, so tests can check it.

#include <string>

namespace fsys {

// "*.vxtrack" -> "*.[vV][xX][tT][rR][aA][cC][kK]": every ASCII letter matches
// either case; bracket expressions already in the pattern are kept.
std::string CaseInsensitivePattern(const std::string& pattern);

// A "Description|pattern;pattern|..." filter with each pattern that holds
// letters followed by its case-insensitive form. The first pattern of each
// entry stays as written (the toolkit derives the entry's extension from it).
std::string CaseInsensitiveFilter(const std::string& filter);

// The chosen path with the default extension (given without its dot) applied
// as the program's writers apply it (SavePathWithExtension): a save dialog
// appends it to a file name that does not end in it ("v1.2" gives
// "v1.2.vxtrack"); an open dialog takes the name with it when only that file
// exists.
std::string WithDefaultExtension(const std::string& path, const std::string& defaultExt, bool saving);

// The file name of a path (the text after its last "/").
std::string FileNameOf(const std::string& path);

}  // namespace fsys
