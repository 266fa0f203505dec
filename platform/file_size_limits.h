#pragma once
// The most bytes each kind of file that the program reads whole may hold.
// fsys::ReadWholeFile refuses a larger file before it reads any of it, so no
// file, however large, makes the program hold more memory than these allow.
// Each bound is what the kind's format can hold where that fits in memory;
// where the format allows more, the bound lies far above any real file of the
// kind and keeps the file, with what is built from it, well inside the memory
// of an ordinary computer. The writers of these kinds refuse a larger file
// before they write anything (fsys::WriteFileAtomically with the kind), so
// every file the program saves opens again. Sizes are in MiB (2^20 bytes).

#include <cstdint>

namespace fsys {

// A kind of file read whole: its name with its article, as the reason for
// refusing a larger file gives it ("The file is larger than a track file can
// be"), and its bound.
struct FileKind {
    const char* Name;
    uint64_t MostBytes;
};

// One MiB: 2^20 bytes.
inline constexpr uint64_t kMegabyte = uint64_t{1} << 20;

// Track files (.vxtrack). Their 32-bit sizes allow 2 GiB, but the document
// built from a file takes up to eight times its bytes (a group of support
// anchors is 4 bytes in the file and 32 in memory), far more than memory
// holds. The largest part of a real track is its terrain: the benchmarks'
// large ride, far beyond any real one, has a grid of 1024 x 1024 points (4 MiB).
// 64 MiB holds a grid of 4,000 x 4,000 and keeps the document under 512 MiB;
// a track edited beyond it (a terrain of 4096 x 4096 heights) is not saved.
inline constexpr FileKind kTrackFile{"a track file", 64 * kMegabyte};

// Element files (.vxelem): 50 bytes a node, up to 2 GiB by the format. Real
// elements hold tens of nodes and the model's path frames stop at a few
// thousand segments; 16 MiB is some 335,000 nodes.
inline constexpr FileKind kElementFile{"an element file", 16 * kMegabyte};

// Crosstie object files (.fcobject): a triangle takes at least 76 bytes of the
// file; the crossties the program ships have a few dozen. 16 MiB is over
// 200,000 triangles for one crosstie, which the model repeats along the track.
inline constexpr FileKind kCrosstieObjectFile{"a crosstie object file", 16 * kMegabyte};

// The settings file (Gantrywright.ini): the program writes some twenty lines,
// its eight recent paths the longest of them. 1 MiB leaves room for any lines
// added by hand.
inline constexpr FileKind kSettingsFile{"a settings file", 1 * kMegabyte};

// The registry store files: the program keeps a handful of values there (the
// simulator folder, the editor's eight recent files of at most 1024 bytes each,
// the file association's keys), a few KB. The store is kept in memory for the
// run, where a key costs some 200 bytes for the two bytes ("\k") it may take
// in the file: the worst store of 4 MiB, one key two million levels deep,
// takes some 420 MiB at its peak while it is read (half a million short keys
// side by side some 100 MiB). A change that would make the store larger than its
// bound is refused, so the program never writes a store it would refuse.
inline constexpr FileKind kRegistryFile{"a registry file", 4 * kMegabyte};

// Environment files (.env): some fifty "sim." keys, a few KB; the organizer
// holds every environment of the simulator at once. 1 MiB leaves room for any
// comments.
inline constexpr FileKind kEnvironmentFile{"an environment file", 1 * kMegabyte};

// Modeler settings sets (.gtwrms): the model settings, a few KB of keys.
inline constexpr FileKind kModelerSetFile{"a modeler settings set", 1 * kMegabyte};

// Pictures (BMP, GIF, JPEG and TGA files, the textures copied for an
// environment, icon files). The largest picture loaded has 8192 x 8192
// pixels: uncompressed at 4 bytes a pixel that is 256 MiB, as a run-length
// TGA of one-pixel packets at 5 bytes a pixel 320 MiB, and 1 MiB more holds
// any headers, colour tables and comments. JPEG and GIF files of that size
// are far smaller.
inline constexpr FileKind kPictureFile{"a picture", 321 * kMegabyte};

// The simulator's program files (.exe), read for their version and icons:
// a few MiB. A Windows image may take up to 2 GiB, far more than is worth
// holding for a version text; 256 MiB is far above any game's program.
inline constexpr FileKind kProgramFile{"a program file", 256 * kMegabyte};

// The help pages: a few KB of HTML each, laid out whole by the help viewer.
inline constexpr FileKind kHelpPage{"a help page", 4 * kMegabyte};

// The desktop's list of default programs (mimeapps.list): a few KB even on a
// desktop with many programs; the association rewrites it whole.
inline constexpr FileKind kDesktopListFile{"a desktop settings file", 4 * kMegabyte};

}  // namespace fsys
