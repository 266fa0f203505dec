#include "platform/file_version.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/file_system.h"
#include "platform/pe_resources.h"

namespace {

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// One block of the version information, located inside [begin, end) of its parent.
struct Block {
    size_t Begin = 0;
    size_t End = 0;          // past its last byte
    size_t KeyBegin = 0;     // UTF-16 key, ending before KeyEnd
    size_t KeyEnd = 0;
    size_t ValueBegin = 0;
    size_t ValueSize = 0;    // in bytes
    bool IsText = false;
    size_t ChildrenBegin = 0;
};

std::optional<Block> ReadBlock(const std::vector<uint8_t>& info, size_t at, size_t limit) {
    if (at + 6 > limit) return std::nullopt;
    const size_t length = U16(info, at);
    if (length < 6 || length > limit - at) return std::nullopt;
    Block b;
    b.Begin = at;
    b.End = at + length;
    b.IsText = U16(info, at + 4) == 1;
    const size_t valueLength = U16(info, at + 2);
    b.KeyBegin = at + 6;
    size_t p = b.KeyBegin;
    while (p + 2 <= b.End && U16(info, p) != 0) p += 2;
    if (p + 2 > b.End) return std::nullopt;  // the key has no end inside the block
    b.KeyEnd = p;
    b.ValueBegin = std::min(Align4(p + 2), b.End);
    const size_t wanted = b.IsText ? valueLength * 2 : valueLength;
    b.ValueSize = std::min(wanted, b.End - b.ValueBegin);
    b.ChildrenBegin = std::min(Align4(b.ValueBegin + b.ValueSize), b.End);
    return b;
}

char LowerAscii(uint16_t c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c); }

// The block's key against a path key, over its whole length and without regard to case.
bool KeyMatches(const std::vector<uint8_t>& info, const Block& b, const std::string& key) {
    if ((b.KeyEnd - b.KeyBegin) / 2 != key.size()) return false;
    for (size_t i = 0; i < key.size(); ++i) {
        const uint16_t c = U16(info, b.KeyBegin + 2 * i);
        if (c > 0x7F || LowerAscii(c) != LowerAscii(static_cast<unsigned char>(key[i]))) return false;
    }
    return true;
}

}  // namespace

bool GetVersionInfo(const std::string& path, std::vector<uint8_t>& info) {
    std::vector<uint8_t> file;
    if (!fsys::ReadWholeFile(path, file, fsys::kProgramFile)) return false;  // errno says why
    std::vector<uint8_t> data;
    if (!pe::FindResource(file, pe::kResourceVersion, -1, data) || data.empty()) {
        errno = 0;  // read, and without version information
        return false;
    }
    info.swap(data);
    return true;
}

uint32_t GetVersionInfoSize(const std::string& path) {
    std::vector<uint8_t> info;
    return GetVersionInfo(path, info) ? static_cast<uint32_t>(info.size()) : 0;
}

bool QueryVersionValue(const std::vector<uint8_t>& info, const std::string& path, VersionValue& value) {
    auto block = ReadBlock(info, 0, info.size());
    if (!block) return false;
    size_t start = 0;
    while (start < path.size()) {
        if (path[start] == '\\') {
            ++start;
            continue;
        }
        const size_t stop = std::min(path.find('\\', start), path.size());
        const std::string key = path.substr(start, stop - start);
        start = stop;
        std::optional<Block> found;
        for (size_t at = block->ChildrenBegin; at < block->End;) {
            const auto child = ReadBlock(info, at, block->End);
            if (!child) break;
            if (KeyMatches(info, *child, key)) {
                found = child;
                break;
            }
            at = Align4(child->End);
        }
        if (!found) return false;
        block = found;
    }
    value.Data = info.data() + block->ValueBegin;
    value.Size = block->ValueSize;
    value.IsText = block->IsText;
    if (value.IsText && block->ValueSize > 0) value.Size = block->End - block->ValueBegin;  // read up to its zero
    return true;
}

std::string VersionValueText(const VersionValue& value, size_t maxChars) {
    std::string text;
    size_t chars = 0;
    for (size_t i = 0; i + 1 < value.Size && chars < maxChars; i += 2, ++chars) {
        uint32_t c = static_cast<uint32_t>(value.Data[i] | value.Data[i + 1] << 8);
        if (c == 0) break;
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < value.Size) {  // a surrogate pair
            const uint32_t low = static_cast<uint32_t>(value.Data[i + 2] | value.Data[i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;  // a lone surrogate
        if (c < 0x80) {
            text.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            text.push_back(static_cast<char>(0xC0 | c >> 6));
            text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            text.push_back(static_cast<char>(0xE0 | c >> 12));
            text.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            text.push_back(static_cast<char>(0xF0 | c >> 18));
            text.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return text;
}
