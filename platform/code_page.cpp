#include "platform/code_page.h"

#include <filesystem>
#include <system_error>

namespace cp {

namespace {

// The next unit of a text at i: its character, or for a byte that starts no
// UTF-8 sequence a value above every character (so it equals only itself).
uint32_t NextUnit(std::string_view text, size_t& i) {
    uint32_t code = 0;
    const size_t n = Utf8Sequence(text, i, code);
    if (n == 0) return 0x110000u + static_cast<unsigned char>(text[i++]);
    i += n;
    return code;
}

// Lower case of the code page's letters: A to Z and the accented capitals
// (0xC0 to 0xDE but the multiplication sign 0xD7).
uint32_t FoldCase(uint32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    return c;
}

bool Exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace

size_t Utf8Sequence(std::string_view text, size_t i, uint32_t& code) {
    if (i >= text.size()) return 0;
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        code = c;
        return 1;
    }
    const size_t length = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    code = c & (0x7Fu >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    const uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

bool IsUtf8(std::string_view text) {
    uint32_t code = 0;
    for (size_t i = 0, n; i < text.size(); i += n)
        if ((n = Utf8Sequence(text, i, code)) == 0) return false;
    return true;
}

std::string TextFromBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::optional<std::string> BytesFromText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint32_t code = 0;
        const size_t n = Utf8Sequence(text, i, code);
        if (n == 0 || code > 0xFF) return std::nullopt;
        out.push_back(static_cast<char>(code));
        i += n;
    }
    return out;
}

std::string BytesOrMarks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint32_t code = 0;
        const size_t n = Utf8Sequence(text, i, code);
        out.push_back(n != 0 && code <= 0xFF ? static_cast<char>(code) : '?');
        i += n == 0 ? 1 : n;
    }
    return out;
}

size_t ByteCount(std::string_view text) {
    size_t count = 0;
    uint32_t code = 0;
    for (size_t i = 0; i < text.size(); ++count) {
        const size_t n = Utf8Sequence(text, i, code);
        i += n == 0 ? 1 : n;
    }
    return count;
}

bool CanHold(std::string_view text) { return !FirstCharacterOutside(text); }

std::optional<std::string> FirstCharacterOutside(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        uint32_t code = 0;
        const size_t n = Utf8Sequence(text, i, code);
        if (n == 0) return std::string(1, text[i]);
        if (code > 0xFF) return std::string(text.substr(i, n));
        i += n;
    }
    return std::nullopt;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (FoldCase(NextUnit(a, i)) != FoldCase(NextUnit(b, j))) return false;
    return i == a.size() && j == b.size();
}

std::string TextFromDiskName(std::string_view name) {
    return IsUtf8(name) ? std::string(name) : TextFromBytes(name);
}

std::string TextFromDiskPath(std::string_view path) {
    std::string out;
    size_t start = 0;
    while (true) {
        const size_t slash = path.find('/', start);
        const std::string_view name = path.substr(start, slash == std::string_view::npos ? slash : slash - start);
        out += TextFromDiskName(name);
        if (slash == std::string_view::npos) break;
        out.push_back('/');
        start = slash + 1;
    }
    return out;
}

std::vector<std::string> DiskSpellings(const std::string& text) {
    std::vector<std::string> spellings{text};
    if (auto bytes = BytesFromText(text); bytes && *bytes != text) spellings.push_back(std::move(*bytes));
    return spellings;
}

std::string DiskPathOf(const std::string& textPath) {
    // Names of ASCII letters have one spelling only.
    bool ascii = true;
    for (char c : textPath) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return textPath;
    std::string out;
    bool onDisk = true;
    size_t start = 0;
    while (true) {
        const size_t slash = textPath.find('/', start);
        const std::string name = textPath.substr(start, slash == std::string::npos ? slash : slash - start);
        std::string chosen = name;
        if (onDisk && !name.empty() && name != "." && name != "..") {
            onDisk = false;
            for (const std::string& spelling : DiskSpellings(name)) {
                if (Exists(std::filesystem::path(out + spelling))) {
                    chosen = spelling;
                    onDisk = true;
                    break;
                }
            }
        }
        out += chosen;
        if (slash == std::string::npos) break;
        out.push_back('/');
        start = slash + 1;
    }
    return out;
}

}  // namespace cp
