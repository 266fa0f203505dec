#pragma once
// What the installation report reads of the simulator's files: the version
// fields of an executable, and the number of files of some kinds in a folder
// and every folder below it.

#include <cstdint>
#include <string>

struct FileVersionFields {
    std::string CompanyName;
    std::string FileDescription;
    std::string FileVersion;
    std::string InternalName;
    std::string LegalCopyright;
    std::string OriginalFileName;
    std::string ProductName;
    std::string ProductVersion;
};

// Fills the eight fields from the file's version information, for the first
// language and code page of its translation table; each field not found stays
// empty, and all are empty when the file has no version information. False,
// the fields untouched, only when the file does not exist (its name is looked
// up without regard to case, as the simulator's own platform does). When it
// returns true, errno is 0, or says why the file could not be read (all
// fields empty then; fsys::ReadFailureReason with fsys::kProgramFile).
bool GetFileVersionFields(const std::string& Path, FileVersionFields& Fields);

// Count := the number of files in Folder and every folder below it whose names
// match one of the patterns of PatternList (separated by ";"; "*" any text, "?"
// one character, without regard to case). Folders are not counted, whatever
// their name, nor links that name no file. Hidden ("."), read-only and linked folders are not descended
// into. A missing folder counts 0.
void CountFiles(const std::string& Folder, const std::string& PatternList, int32_t& Count);

// True when the name matches the wildcard pattern without regard to ASCII case.
bool MatchesWildcard(const std::string& name, const std::string& pattern);
