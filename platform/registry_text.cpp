#include "platform/registry_text.h"

#include <cmath>
#include <cstdio>

#include "platform/code_page.h"

namespace regtext {

uint64_t gWork = 0;

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view text) {
    gWork += text.size() + 1;
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

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

}  // namespace

std::optional<size_t> RegStore::FindChild(size_t parent, std::string_view name) const {
    const auto it = Children.find(NameKey{parent, Lowered(name)});
    if (it == Children.end()) return std::nullopt;
    return it->second;
}

size_t RegStore::FindOrAddChild(size_t parent, std::string_view name) {
    NameKey k{parent, Lowered(name)};
    if (const auto it = Children.find(k); it != Children.end()) return it->second;
    const size_t index = Keys.size();
    Keys.push_back(RegKey{std::string(name), parent, 0, true, {}});
    ++Keys[parent].ChildCount;
    Children.emplace(std::move(k), index);
    return index;
}

std::optional<size_t> RegStore::FindKey(const std::vector<std::string>& names) const {
    if (names.empty()) return std::nullopt;
    size_t key = 0;
    for (const std::string& name : names) {
        const auto child = FindChild(key, name);
        if (!child) return std::nullopt;
        key = *child;
    }
    return key;
}

size_t RegStore::AddKey(const std::vector<std::string>& names) {
    size_t key = 0;
    for (const std::string& name : names) key = FindOrAddChild(key, name);
    return key;
}

RegValue* RegStore::FindValue(size_t key, std::string_view name) {
    const auto it = ValueIndex.find(NameKey{key, Lowered(name)});
    return it == ValueIndex.end() ? nullptr : &Keys[key].Values[it->second];
}

void RegStore::SetValue(size_t key, RegValue value) {
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

void RegStore::DeleteKey(size_t key) {
    RegKey& k = Keys[key];
    for (const RegValue& value : k.Values) ValueIndex.erase(NameKey{key, Lowered(value.Name)});
    k.Values.clear();
    Children.erase(NameKey{k.Parent, Lowered(k.Name)});
    --Keys[k.Parent].ChildCount;
    k.Alive = false;
}

std::string RegStore::PathOf(size_t key) const {
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

uint32_t NumberOf(const RegValue& value) {
    uint32_t n = 0;
    for (size_t i = 0; i < 4 && i < value.Data.size(); ++i)
        n |= static_cast<uint32_t>(static_cast<unsigned char>(value.Data[i])) << (8 * i);
    return n;
}

void ParseStore(const std::string& text, RegStore& store) {
    size_t current = 0;  // the key of the last [key] line; 0 (the root) before the first
    size_t start = 0, number = 0;
    // The first line not understood is kept to be named; the store is never printed over its file.
    const auto strange = [&](std::string_view line) {
        if (store.StrangeLine == 0) {
            store.StrangeLine = number;
            store.StrangeText = ShownLine(line);
        }
        store.Clean = false;
    };
    while (start < text.size()) {
        ++number;
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
                strange(line);
                continue;
            }
            const auto names = SplitKeyPath(line.substr(1, line.size() - 2));
            if (!names || names->empty()) {
                strange(line);
                continue;
            }
            // Parents are implied by their children, even when the file does not list them.
            current = store.AddKey(*names);
            continue;
        }
        RegValue value;
        if (current == 0 || !ParseValueLine(line, value)) {
            strange(line);
            continue;
        }
        store.SetValue(current, std::move(value));
    }
}

// The store's text as its file holds it: every line written stands for a line
// read or a change made.
std::string StoreText(const char* rootTitle, const RegStore& store) {
    std::string text = "; Gantrywright registry: ";
    text += rootTitle;
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

std::string ShownLine(std::string_view line) {
    constexpr size_t kMostCharacters = 60;
    std::string out;
    size_t shown = 0, i = 0;
    for (; i < line.size() && shown < kMostCharacters; ++shown) {
        uint32_t code = 0;
        const size_t length = cp::Utf8Sequence(line, i, code);
        if (length == 0 || code < 32 || code == 127 || (code >= 0x80 && code < 0xA0)) {
            out.push_back('?');
            i += length == 0 ? 1 : length;
        } else {
            out.append(line.substr(i, length));
            i += length;
        }
    }
    if (i < line.size()) out += "...";
    return out;
}

}  // namespace regtext
