#include "platform/registry.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/app_folders.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/registry_text.h"

namespace {

using regtext::gWork;
using regtext::RegStore;
using regtext::RegValue;

constexpr size_t kReadBufferSize = 1024;  // the largest value a read returns, in bytes

const char* RootTitle(uint32_t root) {
    switch (root) {
        case RegClassesRoot: return "HKEY_CLASSES_ROOT";
        case RegCurrentUser: return "HKEY_CURRENT_USER";
        default: return nullptr;
    }
}

// ---- the stores kept in memory -------------------------------------------------------------

// What a store file was when it was read or written: another program's change
// gives another stamp (a file renamed into its place another inode).
struct FileStamp {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    int64_t Modified = 0;  // nanoseconds
    int64_t Changed = 0;
    bool operator==(const FileStamp&) const = default;
};

int64_t Nanoseconds(const timespec& t) { return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

FileStamp StampOf(const struct stat& st) {
    return FileStamp{true, st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
}

FileStamp StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return StampOf(st);
}

// A root's store as read from its file, kept for the run. It is parsed again
// only when the file has changed since (another program wrote it), and a
// change of the program's own goes to the file and stays in memory.
struct KeptStore {
    std::string Path;  // the file; empty without a configuration folder: a store of this run alone
    bool Loaded = false;
    FileStamp Stamp;
    // The file the stamp describes (the one read, or the one this program
    // wrote), held open: while it is, no other file can be given its inode
    // number, so a file that another program puts in its place never passes
    // for it. -1 for none.
    int Held = -1;
    RegStore Store;
    // The errno of a file that is there but could not be read: it is left as
    // it is for the rest of the run (its values read as missing, nothing is
    // written over it).
    int Refusal = 0;
};

KeptStore gKept[2];  // the classes root, the current user

void Release(KeptStore& kept) {
    if (kept.Held < 0) return;
    const int error = errno;
    ::close(kept.Held);
    errno = error;
    kept.Held = -1;
}

// Opens the store file to hold it: its descriptor, or -1 and errno (ENOENT for
// none; for anything but a regular file what a whole-file read says of it,
// without opening it, since opening a device may do something of its own).
int OpenToHold(const std::string& path, struct stat& st) {
    if (::stat(path.c_str(), &st) != 0) return -1;
    if (S_ISREG(st.st_mode)) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return -1;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
        ::close(fd);
    }
    errno = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
    return -1;
}

// Reads the file held open as `fd`, whatever its name leads to by now (the
// system's view of the process's open files reopens that very file); where
// that view is missing, the file of the name.
bool ReadHeld(int fd, const std::string& path, std::string& text) {
    if (fsys::ReadWholeFile("/proc/self/fd/" + std::to_string(fd), text, fsys::kRegistryFile)) return true;
    if (errno == ENOENT && !fsys::FolderExists("/proc/self/fd")) return fsys::ReadWholeFile(path, text, fsys::kRegistryFile);
    return false;
}

void Load(KeptStore& kept) {
    kept.Loaded = true;
    kept.Store = RegStore{};
    kept.Stamp = {};
    Release(kept);
    if (kept.Path.empty()) return;
    struct stat st {};
    const int fd = OpenToHold(kept.Path, st);
    std::string text;
    if (fd < 0 || !ReadHeld(fd, kept.Path, text)) {
        if (fd >= 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
        }
        // A missing file is an empty store; one that is there but cannot be read must not be overwritten.
        if (errno != ENOENT && errno != ENOTDIR) {
            kept.Refusal = errno;
            kept.Store.Clean = false;
        }
        return;
    }
    kept.Held = fd;
    kept.Stamp = StampOf(st);
    regtext::ParseStore(text, kept.Store);
}

// The store of a known root, read when the program has not read it yet, when
// the configuration folder has moved, or when its file has changed since.
KeptStore& StoreOf(uint32_t root) {
    KeptStore& kept = gKept[root == RegCurrentUser ? 1 : 0];
    const std::string path = RegStoreFile(root);
    if (kept.Path != path) {
        Release(kept);
        kept = KeptStore{};
        kept.Path = path;
    }
    if (!kept.Loaded || (!kept.Path.empty() && kept.Refusal == 0 && StampOf(kept.Path) != kept.Stamp)) Load(kept);
    return kept;
}

// The most time an action waits for another running copy of the program to
// let go of a store's lock (RegSetMostLockWait changes it).
std::chrono::milliseconds gMostLockWait = kRegMostLockWait;

// The sentences of the last refusals of the registry's own codes (RegWriteFailureReason).
std::string gHeldReason, gLockFileReason, gStrangeLineReason;

std::string SecondsText(std::chrono::milliseconds wait) {
    const auto ms = wait.count();
    std::string number = std::to_string(ms / 1000);
    if (ms % 1000 != 0) {
        number += "." + std::to_string(1000 + ms % 1000).substr(1);
        while (number.back() == '0') number.pop_back();
    }
    return number + (ms == 1000 ? " second" : " seconds");
}

// The locks of the action under way (RegChangeBatch), one per store file:
// taken by the action's first change of the store and kept until it ends, or
// the refusal of that first attempt, which the action's other changes of the
// store give at once.
int gBatchDepth = 0;
std::vector<std::pair<std::string, std::unique_ptr<FileLock>>> gBatchLocks;

// The lock that each change of a store holds: FileLock on "<store>.lock"
// beside it. Two running copies of the program change the store one after
// the other, and each reads the other's change before it makes its own, so
// neither loses a value of the other. Null, errno set and its reason kept,
// when it was not taken.
const FileLock* TakeLock(const std::string& storePath, std::unique_ptr<FileLock>& own) {
    const std::string path = storePath + ".lock";
    const FileLock* lock = nullptr;
    if (gBatchDepth > 0) {
        for (const auto& [lockPath, taken] : gBatchLocks)
            if (lockPath == path) lock = taken.get();
        if (!lock) lock = gBatchLocks.emplace_back(path, std::make_unique<FileLock>(path, gMostLockWait)).second.get();
    } else {
        own = std::make_unique<FileLock>(path, gMostLockWait);
        lock = own.get();
    }
    if (lock->Held()) return lock;
    if (lock->Error() == kLockHeldError)
        gHeldReason = "Another program holds the registry file \"" + storePath + "\" and did not let go of it within " +
                      SecondsText(gMostLockWait) + ".";
    else
        gLockFileReason = lock->Reason();
    errno = lock->Error();
    return nullptr;
}

// The first line the program does not understand of a store read from its
// file, as a sentence naming the file; empty for none.
std::string StrangeLineSentence(const KeptStore& kept) {
    if (kept.Refusal != 0 || kept.Store.StrangeLine == 0) return std::string();
    return "The registry file \"" + kept.Path + "\" has a line the program does not understand (line " +
           std::to_string(kept.Store.StrangeLine) + ": \"" + kept.Store.StrangeText + "\").";
}

// A change refused since the store is left as it is: false, errno what kept
// its file from being read where that says why it is not written (a folder of
// its name, ...), kRegStoreNotUnderstoodError for a line not understood, else
// 0 (a file too large to read, of which the start of the program told).
bool RefuseLeftStore(const KeptStore& kept) {
    if (kept.Refusal == 0 && kept.Store.StrangeLine != 0) {
        gStrangeLineReason = StrangeLineSentence(kept) + " The file is not changed, lest that line be lost.";
        errno = kRegStoreNotUnderstoodError;
        return false;
    }
    errno = kept.Refusal == EFBIG ? 0 : kept.Refusal;
    return false;
}

// Makes a change of the program's own to a root's store: under the store's
// lock, on the store as its file holds it then (read again when another
// program wrote it since it was read), and writes the file. A change that
// gives up (returns false) writes nothing. A file larger than a registry file
// can be is not written (fsys::kLargerThanItsKindError), nor is a store whose
// file could not be read or understood; a failed write leaves the file as it
// was, and the store is read from it again when next needed. The stamp kept
// is that of the file written: taken from the file the name leads to while
// the lock is still held, and only when it holds the very text written.
bool ChangeStore(uint32_t root, const std::function<bool(RegStore&)>& change) {
    const std::string path = RegStoreFile(root);
    if (path.empty()) {
        KeptStore& kept = StoreOf(root);
        return kept.Store.Clean && change(kept.Store);
    }
    if (!StoreOf(root).Store.Clean) return RefuseLeftStore(StoreOf(root));
    if (!fsys::CreateFolders(std::filesystem::path(path).parent_path().string())) return false;
    std::unique_ptr<FileLock> own;
    if (!TakeLock(path, own)) return false;
    KeptStore& kept = StoreOf(root);
    if (!kept.Store.Clean) return RefuseLeftStore(kept);
    if (!change(kept.Store)) return false;
    const std::string text = regtext::StoreText(RootTitle(root), kept.Store);
    if (!fsys::WriteFileAtomically(kept.Path, text, fsys::kRegistryFile)) {
        kept.Loaded = false;
        return false;
    }
    Release(kept);
    struct stat st {};
    const int fd = OpenToHold(kept.Path, st);
    std::string now;
    if (fd >= 0 && ReadHeld(fd, kept.Path, now) && now == text) {
        kept.Held = fd;
        kept.Stamp = StampOf(st);
    } else {
        // Another program wrote over the file at once: its store is read when next needed.
        if (fd >= 0) ::close(fd);
        kept.Loaded = false;
    }
    gWork += now.size();
    return true;
}

}  // namespace

std::string RegStoreFile(uint32_t Root) {
    const std::string folder = fsys::ConfigFolder();
    if (folder.empty()) return std::string();
    switch (Root) {
        case RegClassesRoot: return folder + "registry-classes-root.txt";
        case RegCurrentUser: return folder + "registry-current-user.txt";
        default: return std::string();
    }
}

int RegStoreRefusal(uint32_t Root) { return RootTitle(Root) ? StoreOf(Root).Refusal : 0; }

bool RegReadValue(uint32_t Root, const std::string& SubKey, const std::string& ValueName, std::string& Value) {
    if (!RootTitle(Root)) return false;
    const auto names = regtext::SplitKeyPath(SubKey);
    if (!names) return false;
    RegStore& store = StoreOf(Root).Store;
    const auto key = store.FindKey(*names);
    if (!key) return false;
    const RegValue* value = store.FindValue(*key, ValueName);
    if (!value) return false;
    // The size the platform reports: a string with its terminating zero.
    const size_t size = value->Data.size() + (value->Type == RegString ? 1 : 0);
    if (size < 1 || size > kReadBufferSize) return false;
    switch (value->Type) {
        case RegString: {
            std::string text = value->Data;
            if (!text.empty() && text.back() == '\0') text.pop_back();
            Value = text;
            break;
        }
        case RegNumber: {
            char digits[16];
            std::snprintf(digits, sizeof digits, "&h%08X", static_cast<unsigned>(regtext::NumberOf(*value)));
            Value = digits;
            break;
        }
        default: break;  // other types leave the caller's text as it was
    }
    return true;
}

bool RegWriteValue(uint32_t Root, const std::string& SubKey, int32_t ValueType, const std::string& ValueName,
                   const std::string& Value) {
    if (!RootTitle(Root)) return false;
    const auto names = regtext::SplitKeyPath(SubKey);
    if (!names || names->empty()) return false;
    RegValue value;
    value.Name = ValueName;
    value.Type = ValueType;
    switch (ValueType) {
        case RegString:
        case RegBinary: value.Data = Value; break;
        case RegNumber: {
            const auto n = regtext::ParseNumberText(Value);
            if (!n) return false;
            for (int i = 0; i < 4; ++i) value.Data.push_back(static_cast<char>((*n >> (8 * i)) & 0xFF));
            break;
        }
        default: return false;
    }
    return ChangeStore(Root, [&](RegStore& store) {
        store.SetValue(store.AddKey(*names), std::move(value));
        return true;
    });
}

bool RegDeleteKeyPath(uint32_t Root, const std::string& SubKey) {
    if (!RootTitle(Root)) return false;
    const auto names = regtext::SplitKeyPath(SubKey);
    if (!names || names->empty()) return false;
    return ChangeStore(Root, [&](RegStore& store) {
        const auto key = store.FindKey(*names);
        if (!key || store.Keys[*key].ChildCount > 0) return false;
        store.DeleteKey(*key);
        return true;
    });
}

uint64_t RegStoreWork() { return gWork; }

std::string RegStoreNotUnderstood(uint32_t Root) {
    return RootTitle(Root) ? StrangeLineSentence(StoreOf(Root)) : std::string();
}

std::string RegWriteFailureReason(int error) {
    switch (error) {
        case kLockHeldError: return gHeldReason;
        case kLockFileError: return gLockFileReason;
        case kRegStoreNotUnderstoodError: return gStrangeLineReason;
        default: return fsys::WriteFailureReason(error);
    }
}

std::chrono::milliseconds RegSetMostLockWait(std::chrono::milliseconds wait) {
    return std::exchange(gMostLockWait, wait);
}

RegChangeBatch::RegChangeBatch() { ++gBatchDepth; }

RegChangeBatch::~RegChangeBatch() {
    if (--gBatchDepth > 0) return;
    const int error = errno;
    gBatchLocks.clear();  // lets go of the locks
    errno = error;
}
