#include "platform/registry.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/app_folders.h"
#include "platform/file_system.h"

namespace {

constexpr size_t kReadBufferSize = 1024;  // the largest value a read returns, in bytes

struct RegValue {
    std::string Name;
    int32_t Type = RegString;
    std::string Data;  // string: the text; binary: the bytes; number: 4 bytes, least significant first
};

// One key of the store. Keys form a tree under an unnamed root (node 0); a key
// holds its own name only, so a deep key costs its own names and no more.
struct RegKey {
    std::string Name;  // as first created
    size_t Parent = 0;
    size_t ChildCount = 0;
    bool Alive = true;
    std::vector<RegValue> Values;
};

// A name looked up under its parent, without regard to ASCII letter case.
struct NameKey {
    size_t Owner;
    std::string Lower;
    bool operator==(const NameKey&) const = default;
};

struct NameKeyHash {
    size_t operator()(const NameKey& k) const {
        return std::hash<std::string_view>{}(k.Lower) ^ (std::hash<size_t>{}(k.Owner) * 0x9E3779B97F4A7C15ull);
    }
};

// Every step of reading, looking up and writing the store: the tests bound it
// by the size of the store's file.
uint64_t gWork = 0;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view text) {
    gWork += text.size() + 1;
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

struct RegStore {
    std::vector<RegKey> Keys{RegKey{}};  // node 0 is the root; parents always stand before their children
    std::unordered_map<NameKey, size_t, NameKeyHash> Children;  // (parent, name) -> key
    std::unordered_map<NameKey, size_t, NameKeyHash> ValueIndex;  // (key, value name) -> index in Values
    bool Clean = true;  // false when a line of the file could not be understood

    std::optional<size_t> FindChild(size_t parent, std::string_view name) const {
        const auto it = Children.find(NameKey{parent, Lowered(name)});
        if (it == Children.end()) return std::nullopt;
        return it->second;
    }
    size_t FindOrAddChild(size_t parent, std::string_view name) {
        NameKey k{parent, Lowered(name)};
        if (const auto it = Children.find(k); it != Children.end()) return it->second;
        const size_t index = Keys.size();
        Keys.push_back(RegKey{std::string(name), parent, 0, true, {}});
        ++Keys[parent].ChildCount;
        Children.emplace(std::move(k), index);
        return index;
    }
    // The key named by the path, or nullopt; the root (an empty path) is never found.
    std::optional<size_t> FindKey(const std::vector<std::string>& names) const {
        if (names.empty()) return std::nullopt;
        size_t key = 0;
        for (const std::string& name : names) {
            const auto child = FindChild(key, name);
            if (!child) return std::nullopt;
            key = *child;
        }
        return key;
    }
    // The key named by the path, created with its missing parents.
    size_t AddKey(const std::vector<std::string>& names) {
        size_t key = 0;
        for (const std::string& name : names) key = FindOrAddChild(key, name);
        return key;
    }
    RegValue* FindValue(size_t key, std::string_view name) {
        const auto it = ValueIndex.find(NameKey{key, Lowered(name)});
        return it == ValueIndex.end() ? nullptr : &Keys[key].Values[it->second];
    }
    void SetValue(size_t key, RegValue value) {
        NameKey k{key, Lowered(value.Name)};
        if (const auto it = ValueIndex.find(k); it != ValueIndex.end()) {
            RegValue& existing = Keys[key].Values[it->second];
            existing.Type = value.Type;
            existing.Data = std::move(value.Data);
            return;
        }
        ValueIndex.emplace(std::move(k), Keys[key].Values.size());
        Keys[key].Values.push_back(std::move(value));
    }
    void DeleteKey(size_t key) {
        RegKey& k = Keys[key];
        for (const RegValue& value : k.Values) ValueIndex.erase(NameKey{key, Lowered(value.Name)});
        k.Values.clear();
        Children.erase(NameKey{k.Parent, Lowered(k.Name)});
        --Keys[k.Parent].ChildCount;
        k.Alive = false;
    }
    // The key's names joined by "", as first created.
    std::string PathOf(size_t key) const {
        std::vector<size_t> chain;
        for (size_t k = key; k != 0; k = Keys[k].Parent) chain.push_back(k);
        std::string path;
        for (size_t i = chain.size(); i-- > 0;) {
            if (i + 1 != chain.size()) path.push_back('\\');
            path += Keys[chain[i]].Name;
        }
        gWork += chain.size() + path.size();
        return path;
    }
};

const char* RootTitle(uint32_t root) {
    switch (root) {
        case RegClassesRoot: return "HKEY_CLASSES_ROOT";
        case RegCurrentUser: return "HKEY_CURRENT_USER";
        default: return nullptr;
    }
}

// The key's names without empty ones ("a\\b\" is "a\b"); nullopt when a name holds a control character.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view subKey) {
    gWork += subKey.size() + 1;
    std::vector<std::string> names;
    std::string name;
    for (char c : subKey) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) return std::nullopt;
        if (c == '\\') {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name.push_back(c);
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

// ---- the text file -------------------------------------------------------------------------

void AppendEscaped(std::string& out, std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    out.push_back('"');
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (u < 32 || u == 127) {
                    out += "\\x";
                    out.push_back(kHex[u >> 4]);
                    out.push_back(kHex[u & 15]);
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads a quoted, escaped text starting at pos; pos ends after the closing quote.
bool ParseQuoted(std::string_view line, size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (++pos >= line.size()) return false;
        switch (line[pos]) {
            case '\\': out.push_back('\\'); break;
            case '"': out.push_back('"'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'x': {
                if (pos + 2 >= line.size()) return false;
                const int hi = HexDigit(line[pos + 1]), lo = HexDigit(line[pos + 2]);
                if (hi < 0 || lo < 0) return false;
                out.push_back(static_cast<char>(hi * 16 + lo));
                pos += 2;
                break;
            }
            default: return false;
        }
    }
    return false;
}

bool ParseValueLine(std::string_view line, RegValue& value) {
    size_t pos = 0;
    if (!ParseQuoted(line, pos, value.Name)) return false;
    if (pos >= line.size() || line[pos] != '=') return false;
    const std::string_view rest = line.substr(pos + 1);
    if (rest.substr(0, 7) == "string:" || rest.substr(0, 7) == "binary:") {
        value.Type = rest[0] == 's' ? RegString : RegBinary;
        size_t p = 7;
        return ParseQuoted(rest, p, value.Data) && p == rest.size();
    }
    if (rest.substr(0, 6) == "dword:") {
        const std::string_view digits = rest.substr(6);
        if (digits.size() != 8) return false;
        uint32_t n = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0) return false;
            n = n * 16 + static_cast<uint32_t>(d);
        }
        value.Type = RegNumber;
        value.Data.clear();
        for (int i = 0; i < 4; ++i) value.Data.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
        return true;
    }
    return false;
}

uint32_t NumberOf(const RegValue& value) {
    uint32_t n = 0;
    for (size_t i = 0; i < 4 && i < value.Data.size(); ++i)
        n |= static_cast<uint32_t>(static_cast<unsigned char>(value.Data[i])) << (8 * i);
    return n;
}

// Parses the text of a store file into the store.
void ParseStore(const std::string& text, RegStore& store) {
    size_t current = 0;  // the key of the last [key] line; 0 (the root) before the first
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        gWork += end - start + 1;
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            current = 0;
            if (line.back() != ']' || line.size() < 2) {
                store.Clean = false;
                continue;
            }
            const auto names = SplitKeyPath(line.substr(1, line.size() - 2));
            if (!names || names->empty()) {
                store.Clean = false;
                continue;
            }
            // Parents are implied by their children, even when the file does not list them.
            current = store.AddKey(*names);
            continue;
        }
        RegValue value;
        if (current == 0 || !ParseValueLine(line, value)) {
            store.Clean = false;
            continue;
        }
        store.SetValue(current, std::move(value));
    }
}

// The store's text as its file holds it: every line written stands for a line
// read or a change made.
std::string StoreText(uint32_t root, const RegStore& store) {
    std::string text = "; Gantrywright registry: ";
    text += RootTitle(root);
    text += "\n; Written by the program; one [key] line, then one \"name\"=type:value line per value.\n";
    // A key without values that has subkeys is implied by them and gets no
    // line of its own, so the file never grows by more than the change.
    for (size_t i = 1; i < store.Keys.size(); ++i) {
        const RegKey& key = store.Keys[i];
        if (!key.Alive || (key.Values.empty() && key.ChildCount > 0)) continue;
        text += "[" + store.PathOf(i) + "]\n";
        for (const RegValue& value : key.Values) {
            AppendEscaped(text, value.Name);
            if (value.Type == RegNumber) {
                char digits[16];
                std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(NumberOf(value)));
                text += "=dword:";
                text += digits;
            } else {
                text += value.Type == RegString ? "=string:" : "=binary:";
                AppendEscaped(text, value.Data);
            }
            text.push_back('\n');
        }
    }
    gWork += text.size();
    return text;
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
    ParseStore(text, kept.Store);
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

// The most time a write waits for another running copy of the program to
// finish its write of the same store.
constexpr auto kMostLockWait = std::chrono::seconds(10);

// The lock that each write of a store holds: an exclusive flock on the file
// "<store>.lock" beside the store (made when missing and left there, so that
// every copy of the program locks the same file). Two running copies of the
// program write one after the other, and each reads the other's change
// before it makes its own, so neither loses a value of the other.
class StoreLock {
public:
    explicit StoreLock(const std::string& storePath) {
        const std::string path = storePath + ".lock";
        fd_ = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0600);
        if (fd_ < 0) return;
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return;
        if (!S_ISREG(st.st_mode)) {
            errno = ENXIO;
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + kMostLockWait;
        auto pause = std::chrono::milliseconds(1);
        for (;;) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) break;
            if (errno == EINTR) continue;
            // A file system that keeps no locks: the write goes on without one.
            if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) break;
            // Still held by a copy that does not finish (stopped, or stuck on
            // its disk): the write fails rather than hang the program.
            if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(50));
        }
        held_ = true;
    }
    ~StoreLock() {
        if (fd_ < 0) return;
        const int error = errno;
        ::close(fd_);  // releases the lock
        errno = error;
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    // False with errno the reason when the lock could not be taken.
    bool Held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

// A change refused since the store is left as it is for the run: false, errno
// what kept its file from being read where that says why it is not written (a
// folder of its name, ...), else 0 (lines not understood; a file too large to
// read, of which the start of the program told).
bool RefuseLeftStore(const KeptStore& kept) {
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
    const StoreLock lock(path);
    if (!lock.Held()) return false;
    KeptStore& kept = StoreOf(root);
    if (!kept.Store.Clean) return RefuseLeftStore(kept);
    if (!change(kept.Store)) return false;
    const std::string text = StoreText(root, kept.Store);
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

// A 32-bit number from its text: decimal (a fraction rounds half to even) or "&h" hexadecimal.
std::optional<uint32_t> ParseNumberText(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    const std::string_view t(text.data() + b, e - b);
    if (t.size() > 2 && t[0] == '&' && LowerAscii(t[1]) == 'h') {
        if (t.size() > 10) return std::nullopt;
        uint32_t n = 0;
        for (char c : t.substr(2)) {
            const int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            n = n * 16 + static_cast<uint32_t>(d);
        }
        return n;
    }
    size_t p = 0;
    bool negative = false;
    if (p < t.size() && (t[p] == '-' || t[p] == '+')) negative = t[p++] == '-';
    double whole = 0;
    size_t digits = 0;
    for (; p < t.size() && t[p] >= '0' && t[p] <= '9'; ++p, ++digits) whole = whole * 10 + (t[p] - '0');
    double fraction = 0, scale = 0.1;
    if (p < t.size() && t[p] == '.')
        for (++p; p < t.size() && t[p] >= '0' && t[p] <= '9'; ++p, ++digits, scale /= 10) fraction += (t[p] - '0') * scale;
    if (digits == 0 || p != t.size()) return std::nullopt;
    double v = std::nearbyint(whole + fraction);
    if (negative) v = -v;
    if (v < -2147483648.0 || v > 2147483647.0) return std::nullopt;
    return static_cast<uint32_t>(static_cast<int32_t>(v));
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
    const auto names = SplitKeyPath(SubKey);
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
            std::snprintf(digits, sizeof digits, "&h%08X", static_cast<unsigned>(NumberOf(*value)));
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
    const auto names = SplitKeyPath(SubKey);
    if (!names || names->empty()) return false;
    RegValue value;
    value.Name = ValueName;
    value.Type = ValueType;
    switch (ValueType) {
        case RegString:
        case RegBinary: value.Data = Value; break;
        case RegNumber: {
            const auto n = ParseNumberText(Value);
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
    const auto names = SplitKeyPath(SubKey);
    if (!names || names->empty()) return false;
    return ChangeStore(Root, [&](RegStore& store) {
        const auto key = store.FindKey(*names);
        if (!key || store.Keys[*key].ChildCount > 0) return false;
        store.DeleteKey(*key);
        return true;
    });
}

uint64_t RegStoreWork() { return gWork; }
