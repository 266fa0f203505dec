#pragma once
// The registry store as its file's text holds it: the tree of keys and values
// read from the text and printed back. Every line printed stands for a line
// read or a change made, so a store read and printed again is the same text
// but for the lines the program does not understand: a store that has one is
// marked (the first such line kept, to be named), and the program never
// prints it over its file, lest that line be lost.
//
// The text: comment lines start with ";"; a "[key\path]" line opens a key,
// and each of its values follows on one line, "name"=string:"text",
// "name"=binary:"bytes" or "name"=dword:8 hexadecimal digits. Quoted texts
// escape \\, \", \n, \r, \t and every other control byte as \xHH. Names
// compare without regard to ASCII letter case.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry_values.h"

namespace regtext {

// Every step of reading, looking up and printing a store: the tests bound it
// by the size of the store's file.
extern uint64_t gWork;

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

struct RegStore {
    std::vector<RegKey> Keys{RegKey{}};  // node 0 is the root; parents always stand before their children
    std::unordered_map<NameKey, size_t, NameKeyHash> Children;  // (parent, name) -> key
    std::unordered_map<NameKey, size_t, NameKeyHash> ValueIndex;  // (key, value name) -> index in Values
    bool Clean = true;  // false when a line of the file could not be understood (or the file not read)
    size_t StrangeLine = 0;  // the first line not understood (from 1); 0 for none
    std::string StrangeText;  // that line as a message shows it (ShownLine)

    std::optional<size_t> FindChild(size_t parent, std::string_view name) const;
    size_t FindOrAddChild(size_t parent, std::string_view name);
    // The key named by the path, or nullopt; the root (an empty path) is never found.
    std::optional<size_t> FindKey(const std::vector<std::string>& names) const;
    // The key named by the path, created with its missing parents.
    size_t AddKey(const std::vector<std::string>& names);
    RegValue* FindValue(size_t key, std::string_view name);
    void SetValue(size_t key, RegValue value);
    void DeleteKey(size_t key);
    // The key's names joined by "\", as first created.
    std::string PathOf(size_t key) const;
};

// The key's names without empty ones ("a\\b\" is "a\b"); nullopt when a name holds a control character.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view subKey);

// Parses the text of a store file into the store.
void ParseStore(const std::string& text, RegStore& store);

// The store's text as its file holds it, headed by the root's title.
std::string StoreText(const char* rootTitle, const RegStore& store);

// A number value's 32 bits.
uint32_t NumberOf(const RegValue& value);

// A 32-bit number from its text: decimal (a fraction rounds half to even) or "&h" hexadecimal.
std::optional<uint32_t> ParseNumberText(const std::string& text);

// A line of a file as a message shows it: at most 60 characters (then
// "..."), whole UTF-8 characters only, a control character or a byte that is
// no UTF-8 shown as "?".
std::string ShownLine(std::string_view line);

}  // namespace regtext
