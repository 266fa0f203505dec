#pragma once
// The environment organizer without its window: every environment of the
// simulator's Environments folder gets its textures copied into a folder of its
// own name, its texture keys rewritten to "Environments\<environment>\<file>",
// and every other file of the Environments folder is moved into
// "__Unused Files__".
//
// Nothing is lost on the way: a key is rewritten only once its texture lies
// at the new place, only the key's value is touched, a move never replaces a
// file, and a file that some environment still names stays where it is (an
// environment that could not be rewritten keeps naming its old textures).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One texture key of an environment file's text.
struct EnvTextureKey {
    std::string FileName;  // the value after its last "\" (or "/")
    std::string Value;     // the key's value, trimmed of characters below code 33
    size_t ValueStart = 0; // where the value lies in the text
};

// The texture keys of a file's text in file order: lines whose key (the text
// before the line's first "=") holds ".texture.path" in any letter case.
// Comment lines ("#", ";"), lines without "=" and empty values are no keys.
std::vector<EnvTextureKey> CollectTexturePaths(std::string_view text);

// True when one texture value, less every "environments\" (letter case
// ignored), is a bare file name: a texture loose in the Environments folder or
// one without any folder. "/" separates names as "\" does; an absolute path
// of this system (starting with "/") is no bare name.
bool NeedsOrganizing(std::string_view text);

struct EnvironmentRecord {
    std::string Path;        // the .env file
    std::string Name;        // its file name without ".env"
    bool Organized = false;  // needs no work, or cannot be read
    bool Readable = false;
    std::string Text;        // the file's text as it is on disk now
};

class EnvironmentOrganizer {
public:
    // The Environments folder of gSimPath, ending in "/".
    static std::string RootFolder();

    // Builds the list of the root's .env files (sorted by name) and their flags.
    void ScanEnvironments();
    const std::vector<EnvironmentRecord>& Environments() const { return environments_; }
    int UnorganizedCount() const;

    // Organizes every environment not marked organized, then moves the other
    // files. Progress gets the percentage done before each environment's turn
    // ends (0 to 99).
    void OrganizeEnvironments(const std::function<void(int percent)>& Progress = {});

    // Rewrites the texture values of the text for environment index and copies
    // the textures into its folder; a key whose texture cannot be put there
    // keeps its value. True when some value changed.
    bool RelocateEnvTextures(std::string& text, size_t index);

    // Moves the root's files other than .env files into "__Unused Files__",
    // except those an environment still names; never replaces a file there.
    void MoveUnusedFiles();

private:
    std::string root_;
    std::vector<EnvironmentRecord> environments_;
};
