#pragma once
// The environment organizer without its window: every environment of the
// simulator's Environments folder gets its textures copied into a folder of its
// own name, its texture keys rewritten to "Environments\<folder>\<file>",
// and every other file of the Environments folder is moved into
// "__Unused Files__".
//
// Nothing is lost on the way: a copy never replaces a file (a file of that
// name with other bytes makes the copy "sky (2).jpg", and the key names the
// copy it points to; the same bytes count as the same file), a key is
// rewritten only once its texture lies at the new place (and the new value
// leads there), only the key's value is touched ("/" becomes "\" in texture
// values alone; every other line stays byte for byte), the copies made for an
// environment file that then cannot be written are removed again, a move
// never replaces a file, and a file that some environment may still name
// stays where it is. An environment's folder is mapped once, whatever its
// letter case, and serves both the copies and the keys.
//
// An environment file that is a link is written through it and stays a link.
//
// An environment's folder is named as the simulator reads the keys that name
// it: the environment's name without its trailing dots and spaces
// ("Sunset..env" copies into "Sunset"); a name with nothing left is refused
// and said.
//
// What is in use is decided from every texture key of every environment, with
// the simulator folder made absolute first, and from every environment file,
// whose links lead to files in use too. A value is taken as the simulator
// reads it (TexturePathOnDisk, shared with the editor's writer): up to a zero
// byte, every name without its trailing dots and spaces (Windows drops them),
// letter case ignored. A value that can be mapped (a path relative to the
// simulator folder whose ".." stays inside it, or an absolute path of this
// system) counts the file it leads to, links followed. A value
// that cannot be mapped with certainty (a drive letter, ".." out of the
// simulator folder, a name not found) keeps every loose file whose name its
// last part could be (as given or as read), letter case and spelling aside;
// each such file is listed with the environment and key that may name it. A
// link another user placed in a shared folder, at which the walk along links
// stops, counts what it names all the same, and is never written through.
//
// What cannot be rewritten (a texture that is nowhere, a name the file or the
// file system cannot hold, a copy that fails) is kept as it is and listed by
// environment and value with its reason; an environment counts as organized
// once everything that can be rewritten is. So is every loose file that
// cannot be moved, with its reason. When it cannot be told which files the
// environments name (an environment file cannot be read), no file is moved at
// all, and that is said. So it is where "__Unused Files__" belongs to another
// user (in a shared Environments folder that user could delete what it holds).
//
// The folders filled are judged on what is opened (held_folder.h): files go
// only into an "__Unused Files__" folder, and copies only into an
// environment's folder, of the user's, of the simulator folder's owner or of
// the Environments folder's owner (or one made here, which is the user's);
// and only where, once the folder is open, its name still leads to it (the
// folder itself, or a link of such an owner to it). An environment's folder
// that is another user's keeps its environment's keys as they are, said as a
// problem of each (already by the scan). The Environments folder is held for
// the whole sort-out: copies are made in the environment's folder held, files
// moved by their names from the held Environments folder into the held
// "__Unused Files__", and a copy or folder made for an environment file that
// then cannot be written is removed through them too.
//
// The superuser's run on a tree whose way is not all the superuser's
// (write_way.h: a folder or link on the way to the Environments folder
// belongs to another user) does nothing at all: the scan says why, once
// (Refusal), and nothing is written, copied or moved.
//
// The files' texts are read and written as single-byte text (see
// environment_file.h); the texts here are the program's.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/held_folder.h"

// One texture key of an environment file's text.
struct EnvTextureKey {
    std::string Key;       // the key, trimmed of characters below code 33
    std::string FileName;  // the value after its last "\" (or "/")
    std::string Value;     // the key's value, trimmed of characters below code 33
    size_t ValueStart = 0; // where the value lies in the text
};

// The texture keys of a file's text in file order: lines whose key (the text
// before the line's first "=") holds ".texture.path" in any letter case.
// Comment lines ("#", ";"), lines without "=" and empty values are no keys.
std::vector<EnvTextureKey> CollectTexturePaths(std::string_view text);

// True when one texture value as the simulator reads it (see above), less
// every "environments\" (letter case ignored), is a bare file name: a texture
// loose in the Environments folder or one without any folder. "/" separates
// names as "\" does; an absolute path of this system (starting with "/") is
// no bare name.
bool NeedsOrganizing(std::string_view text);

// A texture value, or the environment file itself, that the organizer cannot rewrite.
struct EnvProblem {
    std::string Value;   // the texture key's value; empty for the file itself
    std::string Reason;  // "not found", "cannot be read", ...
};

// A loose file of the Environments folder that stays where it is.
struct UnmovedFile {
    std::string Name;    // its name in the Environments folder, as on disk
    std::string Reason;  // "a file of that name is in \"__Unused Files__\"", "permission denied", ...
};

struct EnvironmentRecord {
    std::string Path;        // the .env file
    std::string Name;        // its file name without ".env"
    bool Organized = false;  // nothing left that can be rewritten, or cannot be read
    bool Readable = false;
    int ReadError = 0;       // why it could not be read (errno), 0 when it could
    std::string Text;        // the file's text as it is on disk now
    std::vector<EnvProblem> Problems;  // in file order
};

class EnvironmentOrganizer {
public:
    // The Environments folder of gSimPath, ending in "/".
    static std::string RootFolder();

    // Builds the list of the root's .env entries other than folders (sorted by
    // name; one that is no file, such as a link that names nothing, cannot be
    // read) and their flags, and foresees what will not be moved.
    void ScanEnvironments();
    const std::vector<EnvironmentRecord>& Environments() const { return environments_; }
    int UnorganizedCount() const;

    // Organizes every environment not marked organized, then moves the other
    // files. Progress gets the percentage done before each environment's turn
    // ends (0 to 99).
    void OrganizeEnvironments(const std::function<void(int percent)>& Progress = {});

    // Rewrites the texture values of the text for environment index and copies
    // the textures into its folder; a key whose texture cannot be put there
    // keeps its value and is listed in the environment's problems. True when
    // some value changed. The names of the copies written in the
    // environment's folder (not those found in place already) are added to
    // `written` when it is given.
    bool RelocateEnvTextures(std::string& text, size_t index, std::vector<std::string>* written = nullptr);

    // Moves the root's files other than .env files into "__Unused Files__",
    // except those an environment names or may name as its files on disk are
    // now (read again here, links followed); never replaces a file there. A
    // link whose target is relative names the same target from its new
    // folder. Moves nothing when some environment file cannot be read or
    // "__Unused Files__" belongs to another user (MovesWithheld says why).
    // What stays is in UnmovedFiles.
    void MoveUnusedFiles();

    // Why no file is (or was) moved; empty when moving may go ahead. After
    // ScanEnvironments what can be told beforehand, after OrganizeEnvironments
    // what happened; the same for UnmovedFiles.
    const std::string& MovesWithheld() const { return withheld_; }
    // Why nothing is done at all, found by the scan: the superuser's run on
    // another user's tree (fsys::WayRefusal's text); empty otherwise. While
    // it is set, OrganizeEnvironments and MoveUnusedFiles do nothing, and the
    // problem lines and the warning are this text alone.
    const std::string& Refusal() const { return refusal_; }
    const std::vector<UnmovedFile>& UnmovedFiles() const { return unmoved_; }

    // Every problem, one line each: "Sunset: sky_east.gif (not found)",
    // "Sunset: sky.jpg (cannot be copied. The disk is full.)", "Broken: the
    // environment file cannot be read. You have no permission to read the
    // file.", "Rocky: the environment file cannot be written. The disk is
    // full.", then "No file is moved into "__Unused Files__": <why>" or
    // "notes.txt: not moved into "__Unused Files__" (<reason>)". A name on
    // disk that is no UTF-8 text shows as the simulator's single bytes read.
    std::vector<std::string> ProblemLines() const;
    // The warning shown after organizing: the texture values kept as they
    // were, the files left where they were, each list's first lines and how
    // many more there are, and why no file was moved; empty when there is no
    // problem.
    std::string ProblemMessage() const;

private:
    enum class KeyState { InPlace, ToRewrite, Problem };
    KeyState Assess(const EnvironmentRecord& environment, const EnvTextureKey& key, std::string& reason);
    void AssessEnvironment(EnvironmentRecord& environment);
    // The name of the environment's folder under the root as its values spell
    // it: an existing folder the name denotes as a stored name (in any letter
    // case, either spelling), else the name; the same for every name that
    // differs from it only in letter case.
    std::string FolderName(const std::string& name);
    // The same folder as a path on disk.
    std::string FolderPath(const std::string& name);
    // The root's path without its final "/".
    std::string RootPath() const;
    // Holds the root open for a public operation, unless it is held already:
    // where this hold opened it, it lets it go at the end of its scope.
    class RootHold {
    public:
        explicit RootHold(EnvironmentOrganizer& organizer);
        ~RootHold();
        RootHold(const RootHold&) = delete;
        RootHold& operator=(const RootHold&) = delete;

    private:
        EnvironmentOrganizer& organizer_;
        bool took_;
    };
    void ReleaseRoot();
    // The root's folder `name` (OpenFolderToFill in the held root).
    HeldFolder OpenInRoot(const std::string& name, bool make) const;
    // Why the environment's folder would take no copy, as the scan sees it; 0 when it would.
    int ForeseenFolderError(const std::string& environmentName);

    // The loose files that no environment names, those some environment may
    // name, and why none may move.
    struct LooseFile {
        std::string Name;           // its name in the root
        bool RelativeLink = false;  // a link whose target is relative
    };
    struct MovePlan {
        std::vector<LooseFile> Files;   // sorted by name
        std::vector<UnmovedFile> Kept;  // the files that may be named, with who may name them
        std::string Withheld;
    };
    MovePlan PlanMoves() const;
    // Sets MovesWithheld and UnmovedFiles: the files that stay and why, as
    // far as can be told beforehand; with `move`, moves the others (making
    // "__Unused Files__" when needed) and adds those that fail.
    void SortOutLooseFiles(bool move);

    std::string root_;
    fsys::HeldDescriptor rootFd_;  // the root, held during an operation
    int rootError_ = 0;      // why it could not be held
    HeldFolder envFolder_;   // the folder of the environment being organized
    std::vector<EnvironmentRecord> environments_;
    std::map<std::string, std::string> folders_;  // by the name in lower case
    std::map<std::string, int> foreseen_;         // ForeseenFolderError by the folder's name in lower case
    std::string refusal_;
    std::string withheld_;
    std::vector<UnmovedFile> unmoved_;
};
