#pragma once
// Vortaxis > File Association without its window: what double-clicking and
// right-clicking a track file does and its icon, kept in the registry's
// classes root as the simulator's platform keeps it:
//
//   .vxtrack                                = Vortaxis.Trackfile
//   Vortaxis.Trackfile\Shell                = the double-click verb (Ride, Edit or Tera)
//   Vortaxis.Trackfile\Shell\<verb>         = the verb's caption
//   Vortaxis.Trackfile\Shell\<verb>\Command = "<program>" [-s] "%1"
//   Vortaxis.Trackfile\DefaultIcon          = <icon file>,<index>
//
// The options are numbered as the dialog's buttons: double-click 0 Ride, 1 Edit,
// 2 Terraform; right-click 0 Ride!, 1 Edit, 2 Terraform, 3 Gantrywright; icon
// 0 from the simulator, 1 from the editor, 2 to 5 the blue, red, green and gray
// track, 6 the logo, 7 a file of the user's.

#include <array>
#include <string>

inline constexpr int kVerbCount = 4;
inline constexpr int kIconOptionCount = 8;
inline constexpr int kOwnIconOption = 7;

struct FileAssociationForm {
    int DoubleClick = 0;                                  // optDoubleClick
    std::array<bool, kVerbCount> RightClick{};            // chkRightClick values
    std::array<bool, kVerbCount> RightClickEnabled{true, true, true, true};
    int Icon = 0;                                         // optIcon
    std::string IconPath;                                 // txtIcon
};

// The folders and program the association names: the simulator's folder and
// the program's own folder (each ending in the path separator), and the path
// of this program's executable.
struct AssociationPaths {
    std::string SimPath;
    std::string AppPath;
    std::string ProgramPath;
};

// This program's file as a link to the running program names it (the
// system's /proc/self/exe): the link's text, less the " (deleted)" the system
// adds once the file was replaced (an upgrade renamed over it) or removed
// while the program runs. `problem` is empty where a program is at that path
// now, else it says that none is (with the path empty where the link itself
// cannot be read).
std::string ProgramPathOfLink(const std::string& link, std::string& problem);

struct VerbInfo {
    const char* Key;      // "Ride"
    const char* Caption;  // "Ride!"
};
const VerbInfo& Verb(int index);

// The command line of a verb: the program's path in quotes, then for Ride
// " -s", then " \"%1\"".
std::string VerbCommand(int verb, const AssociationPaths& paths);
// The path of the program a verb runs.
std::string VerbProgram(int verb, const AssociationPaths& paths);

// Selecting a double-click option: the three simulator verbs are enabled,
// then the option's own verb is ticked and locked. Options out of range select 0.
void SelectDoubleClick(FileAssociationForm& form, int option);

// The icon option that a DefaultIcon value names, and the text the path box
// shows for it (the whole value for a file of the user's, else empty). Values
// naming the icon library with an index outside 0 to 4 count as the user's own.
int IconOptionOfValue(const std::string& value, std::string& iconPath);

// The DefaultIcon value of the selected option. A path of the user's that
// already ends in an icon index (as loaded back) is written as it is.
std::string IconValue(const FileAssociationForm& form, const AssociationPaths& paths);

// Reads the association back from the registry; with nothing registered yet:
// Ride, every verb ticked, the simulator's icon.
FileAssociationForm LoadFileAssociation();

// Writes the association (OK) as one action of the registry (RegChangeBatch:
// another program's lock waited for once at most). False when any key could
// not be written, errno that of the first key refused (RegWriteFailureReason
// says why); the keys that could be are written all the same.
bool SaveFileAssociation(const FileAssociationForm& form, const AssociationPaths& paths);
