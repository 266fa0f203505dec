#pragma once
// The registry of this platform: a small store of keys and values of our own,
// kept as one readable text file per root in the configuration folder
// (registry-current-user.txt, registry-classes-root.txt) and rewritten through
// a temporary file and a rename on every change. A key without values is
// written only when it has no subkeys: the others are implied by their
// subkeys' lines.
//
// Each file is read once and its keys are kept in memory: a change of the
// program's own goes to the file and to the keys kept, and the file is read
// again only when it has changed since (another program wrote it) or the
// configuration folder has moved. Each change is made under a lock (file_lock.h
// on "<file>.lock" beside the file), on the store as the file holds it then:
// two running copies of the program lose none of each other's values. A lock
// that another program holds is waited for at most kRegMostLockWait, once per
// user action (RegChangeBatch). A file larger than a registry file can hold
// (file_size_limits.h), or one that cannot be read, is left as it is for the
// rest of the run: its values read as missing and every change fails
// (RegStoreRefusal says why). A file with a line the program does not
// understand is read but never written while that line is in it (every change
// fails, errno kRegStoreNotUnderstoodError). A change that would make the file
// larger than a registry file can be is refused, nothing written, errno
// fsys::kLargerThanItsKindError. RegWriteFailureReason says why a change
// failed. Without a configuration folder (no home folder) the keys live in
// memory for the run alone and no file is written.
//
// The store's text (parse, escape, print) is registry_text.h, the lock
// file_lock.h; registry.cpp keeps the stores read and their stamps.
//
// Key paths use "\" between their names and compare without regard to ASCII
// letter case; a key keeps the spelling it was created with. An empty value
// name is the key's default value. Values travel as text:
// - string (1): the text;
// - binary (3): the text's bytes, without a terminator;
// - 32-bit number (4): written from a decimal or "&h" hexadecimal text, read
//   back as "&h" followed by eight hexadecimal digits, most significant first.

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/file_lock.h"
#include "platform/registry_values.h"  // the value types: RegString, RegBinary, RegNumber

// The predefined roots (the values the platform gives them).
enum RegRootKey : uint32_t {
    RegClassesRoot = 0x80000000u,
    RegCurrentUser = 0x80000001u,
};

// True and Value := the value's text when the key and the value exist (a binary
// value leaves Value unchanged). False, Value untouched, when the key or the
// value is missing, the value holds more than 1024 bytes (a string counts its
// terminating zero) or is empty, or the store cannot be read.
bool RegReadValue(uint32_t Root, const std::string& SubKey, const std::string& ValueName, std::string& Value);

// Writes the value, creating the key and its missing parents. False when the
// root or the type is unknown, a number's text is not a 32-bit integer, a key
// name holds a control character, or the store cannot be written (errno says
// why: RegWriteFailureReason); the store then stays as it was. The
// caller's value is never changed.
bool RegWriteValue(uint32_t Root, const std::string& SubKey, int32_t ValueType, const std::string& ValueName,
                   const std::string& Value);

// Deletes the key with its values. False when it does not exist, still has
// subkeys, is the root itself, or the store cannot be written.
bool RegDeleteKeyPath(uint32_t Root, const std::string& SubKey);

// The steps that reading, looking up and writing the stores have taken since
// the program started (bytes of the files scanned and written, names hashed,
// keys walked). Reading or writing a store costs steps in proportion to the
// size of its file, however deep or wide its keys; tests count them.
uint64_t RegStoreWork();

// The file that holds a root's keys (in the configuration folder); empty for
// an unknown root and without a configuration folder.
std::string RegStoreFile(uint32_t Root);

// The errno of a root's file that is there but was not read (EFBIG for one
// larger than a registry file can hold; fsys::ReadFailureReason gives the
// sentence), 0 when it was read or is missing. Reads the file when the
// program has not read it yet.
int RegStoreRefusal(uint32_t Root);

// The first line of a root's file that the program does not understand, as a
// sentence naming the file, the line's number and its text (60 characters at
// most); empty when the store has none. Reads the file when the program has
// not read it yet.
std::string RegStoreNotUnderstood(uint32_t Root);

// The errno of a change that found its store's file with a line the program
// does not understand.
inline constexpr int kRegStoreNotUnderstoodError = 10103;

// Why a change of the registry failed, from its errno: the registry's own
// refusals name the file (kLockHeldError: another program holds the store;
// kLockFileError: its lock file cannot be used, named with the reason;
// kRegStoreNotUnderstoodError: the line not understood), the rest as
// fsys::WriteFailureReason says.
std::string RegWriteFailureReason(int error);

// The most an action waits for another program to let go of a store's lock.
inline constexpr std::chrono::milliseconds kRegMostLockWait{3000};
// Sets that wait (tests shorten it); returns the one before.
std::chrono::milliseconds RegSetMostLockWait(std::chrono::milliseconds wait);

// One user action's changes of the registry (the recent list's eight values,
// the file association's keys), for as long as the object lives. The
// action's first change of a store takes the store's lock and keeps it until
// the action ends: the action waits for another program once at most, and no
// change of another copy of the program comes between the action's changes.
// Once that wait has run out, or the lock file cannot be used, the action's
// other changes of the store fail at once with the same reason.
// Actions nest: the outermost one counts. Nothing here shows anything.
class RegChangeBatch {
public:
    RegChangeBatch();
    ~RegChangeBatch();
    RegChangeBatch(const RegChangeBatch&) = delete;
    RegChangeBatch& operator=(const RegChangeBatch&) = delete;
};
