#include "platform/registry.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/app_folders.h"
#include "platform/file_system.h"

namespace {

constexpr size_t kReadBufferSize = 1024;  // the largest value a read returns, in bytes

struct RegValue {
    std::string Name;
    int32_t Type = RegString;
    std::string Data;  // string: the text; binary: the bytes; number: 4 bytes, least significant first
};

struct RegKey {
    std::string Path;  // names joined by "\", as first created
    std::vector<RegValue> Values;
};

struct RegStore {
    std::vector<RegKey> Keys;  // parents always stand before their children
    bool Clean = true;         // false when a line of the file could not be understood
};

const char* RootTitle(uint32_t root) {
    switch (root) {
        case RegClassesRoot: return "HKEY_CLASSES_ROOT";
        case RegCurrentUser: return "HKEY_CURRENT_USER";
        default: return nullptr;
    }
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

// The key's names without empty ones ("a\\b\" is "a\b"); nullopt when a name holds a control character.
std::optional<std::vector<std::string>> SplitKeyPath(const std::string& subKey) {
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

std::string JoinKeyPath(const std::vector<std::string>& names, size_t count) {
    std::string path;
    for (size_t i = 0; i < count; ++i) {
        if (i) path.push_back('\\');
        path += names[i];
    }
    return path;
}

RegKey* FindKey(RegStore& store, std::string_view path) {
    for (RegKey& key : store.Keys)
        if (SameTextIgnoringCase(key.Path, path)) return &key;
    return nullptr;
}

RegValue* FindValue(RegKey& key, std::string_view name) {
    for (RegValue& value : key.Values)
        if (SameTextIgnoringCase(value.Name, name)) return &value;
    return nullptr;
}

bool HasSubkeys(const RegStore& store, std::string_view path) {
    for (const RegKey& key : store.Keys)
        if (key.Path.size() > path.size() && key.Path[path.size()] == '\\' &&
            SameTextIgnoringCase(std::string_view(key.Path).substr(0, path.size()), path))
            return true;
    return false;
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

RegStore LoadStore(uint32_t root) {
    RegStore store;
    std::string text;
    if (!fsys::ReadWholeFile(RegStoreFile(root), text)) {
        // A missing file is an empty store; one that exists but cannot be read must not be overwritten.
        store.Clean = !fsys::FileExists(RegStoreFile(root));
        return store;
    }
    RegKey* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            current = nullptr;
            if (line.back() != ']') {
                store.Clean = false;
                continue;
            }
            const auto names = SplitKeyPath(std::string(line.substr(1, line.size() - 2)));
            if (!names || names->empty()) {
                store.Clean = false;
                continue;
            }
            // Parents are implied by their children, even when the file does not list them.
            for (size_t n = 1; n <= names->size(); ++n) {
                const std::string path = JoinKeyPath(*names, n);
                current = FindKey(store, path);
                if (!current) {
                    store.Keys.push_back(RegKey{path, {}});
                    current = &store.Keys.back();
                }
            }
            continue;
        }
        RegValue value;
        if (!current || !ParseValueLine(line, value)) {
            store.Clean = false;
            continue;
        }
        if (RegValue* existing = FindValue(*current, value.Name))
            *existing = value;
        else
            current->Values.push_back(value);
    }
    return store;
}

bool SaveStore(uint32_t root, const RegStore& store) {
    if (!store.Clean) return false;
    std::string text = "; Gantrywright registry: ";
    text += RootTitle(root);
    text += "\n; Written by the program; one [key] line, then one \"name\"=type:value line per value.\n";
    for (const RegKey& key : store.Keys) {
        text += "[" + key.Path + "]\n";
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
    const std::string folder = fsys::ConfigFolder();
    if (!fsys::CreateFolders(folder)) return false;
    return fsys::WriteFileAtomically(RegStoreFile(root), text);
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
    switch (Root) {
        case RegClassesRoot: return fsys::ConfigFolder() + "registry-classes-root.txt";
        case RegCurrentUser: return fsys::ConfigFolder() + "registry-current-user.txt";
        default: return std::string();
    }
}

bool RegReadValue(uint32_t Root, const std::string& SubKey, const std::string& ValueName, std::string& Value) {
    if (!RootTitle(Root)) return false;
    const auto names = SplitKeyPath(SubKey);
    if (!names) return false;
    RegStore store = LoadStore(Root);
    const std::string path = JoinKeyPath(*names, names->size());
    RegKey* key = path.empty() ? nullptr : FindKey(store, path);
    if (!key) return false;
    const RegValue* value = FindValue(*key, ValueName);
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
    RegStore store = LoadStore(Root);
    if (!store.Clean) return false;
    RegKey* key = nullptr;
    for (size_t n = 1; n <= names->size(); ++n) {
        const std::string path = JoinKeyPath(*names, n);
        key = FindKey(store, path);
        if (!key) {
            store.Keys.push_back(RegKey{path, {}});
            key = &store.Keys.back();
        }
    }
    if (RegValue* existing = FindValue(*key, ValueName)) {
        existing->Type = value.Type;
        existing->Data = value.Data;
    } else {
        key->Values.push_back(value);
    }
    return SaveStore(Root, store);
}

bool RegDeleteKeyPath(uint32_t Root, const std::string& SubKey) {
    if (!RootTitle(Root)) return false;
    const auto names = SplitKeyPath(SubKey);
    if (!names || names->empty()) return false;
    RegStore store = LoadStore(Root);
    if (!store.Clean) return false;
    const std::string path = JoinKeyPath(*names, names->size());
    RegKey* key = FindKey(store, path);
    if (!key || HasSubkeys(store, key->Path)) return false;
    store.Keys.erase(store.Keys.begin() + (key - store.Keys.data()));
    return SaveStore(Root, store);
}
