#include "core/settings_text.h"

#include <cmath>
#include <optional>

#include "platform/file_system.h"

std::string gIniBuffer;

namespace {

constexpr std::string_view kLineEnd = "\r\n";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The raw value text of the first line that holds the key, or nullopt.
std::optional<std::string_view> FindKeyValue(std::string_view key) {
    if (key.empty()) return std::nullopt;
    const std::string_view buffer(gIniBuffer);
    for (size_t lf = buffer.find('\n'); lf != std::string_view::npos; lf = buffer.find('\n', lf + 1)) {
        const size_t start = lf + 1;
        if (buffer.size() - start < key.size()) break;
        size_t i = 0;
        while (i < key.size() && LowerAscii(buffer[start + i]) == LowerAscii(key[i])) ++i;
        if (i < key.size()) continue;
        size_t p = start + key.size();
        while (p < buffer.size() && (buffer[p] == ' ' || buffer[p] == '\t')) ++p;
        if (p >= buffer.size() || buffer[p] != '=') continue;
        const size_t valueStart = p + 1;
        size_t end = buffer.find('\n', valueStart);
        if (end == std::string_view::npos) end = buffer.size();
        return buffer.substr(valueStart, end - valueStart);
    }
    return std::nullopt;
}

}  // namespace

bool IniLoadFile(const std::string& Path, const fsys::FileKind& Kind) {
    std::string text;
    if (!fsys::ReadWholeFile(Path, text, Kind)) return false;
    gIniBuffer.swap(text);
    return true;
}

bool IniSaveFile(const std::string& Path, const fsys::FileKind& Kind) {
    return fsys::WriteFileAtomically(Path, std::string_view(gIniBuffer), Kind);
}

std::string IniGetBuffer() { return gIniBuffer; }

void IniSetBuffer(std::string_view Text) { gIniBuffer.assign(Text); }

std::string TrimControlChars(std::string_view Text) {
    size_t b = 0, e = Text.size();
    while (b < e && static_cast<unsigned char>(Text[b]) < 33) ++b;
    while (e > b && static_cast<unsigned char>(Text[e - 1]) < 33) --e;
    return std::string(Text.substr(b, e - b));
}

bool IniReadVariant(std::string_view Key, std::string& Value) {
    const auto raw = FindKeyValue(Key);
    if (!raw) return false;
    Value = TrimControlChars(*raw);
    return true;
}

int32_t IniReadInt(std::string_view Key) {
    const auto raw = FindKeyValue(Key);
    if (!raw) return 0;
    const double v = std::nearbyint(ParseLeadingNumber(TrimControlChars(*raw)));
    if (v <= -2147483648.0) return INT32_MIN;
    if (v >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(v);
}

double IniReadFloat(std::string_view Key) {
    const auto raw = FindKeyValue(Key);
    if (!raw) return 0.0;
    std::string text = TrimControlChars(*raw);
    for (char& c : text)
        if (c == ',') c = '.';
    return ParseLeadingNumber(text);
}

bool IniReadBool(std::string_view Key) {
    const auto raw = FindKeyValue(Key);
    if (!raw) return false;
    const std::string text = TrimControlChars(*raw);
    return !text.empty() && (text[0] == 't' || text[0] == 'T');
}

std::string IniReadString(std::string_view Key) {
    const auto raw = FindKeyValue(Key);
    return raw ? TrimControlChars(*raw) : std::string();
}

void IniNewBuffer(std::string_view Text) {
    gIniBuffer.clear();
    if (Text.empty()) return;
    if (Text.front() != ';') gIniBuffer.push_back(';');
    gIniBuffer.append(Text);
}

void IniAddSection(std::string_view Name) {
    gIniBuffer.append(kLineEnd);
    gIniBuffer.push_back('[');
    gIniBuffer.append(Name);
    gIniBuffer.push_back(']');
    gIniBuffer.append(kLineEnd);
}

void IniWriteValue(std::string_view Key, std::string_view Value) {
    gIniBuffer.append(Key);
    gIniBuffer.push_back('=');
    gIniBuffer.append(Value);
    gIniBuffer.append(kLineEnd);
}

void IniWriteBool(std::string_view Key, bool Value) { IniWriteValue(Key, Value ? "True" : "False"); }

void IniWriteComment(std::string_view Text) {
    gIniBuffer.push_back(';');
    gIniBuffer.append(Text);
    gIniBuffer.append(kLineEnd);
}

void IniWriteLine(std::string_view Text) {
    gIniBuffer.append(Text);
    gIniBuffer.append(kLineEnd);
}
