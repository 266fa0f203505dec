#include "platform/pe_resources.h"

#include <cstdint>
#include <new>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace pe {

namespace {

// Little-endian reads that fail instead of reading past the bytes.
class Bytes {
public:
    explicit Bytes(const std::vector<uint8_t>& bytes) : b_(bytes) {}
    size_t Size() const { return b_.size(); }
    bool Has(uint64_t offset, uint64_t count) const { return offset <= b_.size() && count <= b_.size() - offset; }
    std::optional<uint16_t> U16(uint64_t at) const {
        if (!Has(at, 2)) return std::nullopt;
        return static_cast<uint16_t>(b_[at] | b_[at + 1] << 8);
    }
    std::optional<uint32_t> U32(uint64_t at) const {
        if (!Has(at, 4)) return std::nullopt;
        return static_cast<uint32_t>(b_[at]) | static_cast<uint32_t>(b_[at + 1]) << 8 |
               static_cast<uint32_t>(b_[at + 2]) << 16 | static_cast<uint32_t>(b_[at + 3]) << 24;
    }
    const uint8_t* At(uint64_t at) const { return b_.data() + at; }

private:
    const std::vector<uint8_t>& b_;
};

// Section headers (40 bytes each): the fields used here.
struct Section {
    uint32_t VirtualSize = 0;     // +8
    uint32_t VirtualAddress = 0;  // +12
    uint32_t RawSize = 0;         // +16
    uint32_t RawOffset = 0;       // +20
};

struct Image {
    std::vector<Section> Sections;
    uint32_t ResourceRva = 0;
    uint32_t ResourceSize = 0;
};

constexpr uint16_t kDosMagic = 0x5A4D;      // "MZ"
constexpr uint32_t kPeSignature = 0x4550;   // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint16_t kMaxSections = 96;  // the loader's own limit

std::optional<Image> ReadHeaders(const Bytes& in) {
    if (in.U16(0) != kDosMagic) return std::nullopt;
    const auto peOffset = in.U32(0x3C);                // e_lfanew
    if (!peOffset || in.U32(*peOffset) != kPeSignature) return std::nullopt;
    const uint64_t coff = uint64_t{*peOffset} + 4;     // COFF file header, 20 bytes
    const auto sectionCount = in.U16(coff + 2);
    const auto optionalSize = in.U16(coff + 16);
    if (!sectionCount || !optionalSize || *sectionCount > kMaxSections) return std::nullopt;
    const uint64_t optional = coff + 20;
    const auto magic = in.U16(optional);
    uint64_t countAt = 0;  // NumberOfRvaAndSizes; the data directories follow it
    if (magic == kPe32Magic) {
        countAt = optional + 92;
    } else if (magic == kPe32PlusMagic) {
        countAt = optional + 108;
    } else {
        return std::nullopt;
    }
    Image image;
    const auto directoryCount = in.U32(countAt);
    const uint64_t directoryAt = countAt + 4 + 8 * kResourceDirectoryIndex;
    if (directoryCount && *directoryCount > kResourceDirectoryIndex && directoryAt + 8 <= optional + *optionalSize) {
        image.ResourceRva = in.U32(directoryAt).value_or(0);
        image.ResourceSize = in.U32(directoryAt + 4).value_or(0);
    }
    const uint64_t table = optional + *optionalSize;
    if (!in.Has(table, uint64_t{*sectionCount} * 40)) return std::nullopt;
    for (uint16_t i = 0; i < *sectionCount; ++i) {
        const uint64_t at = table + uint64_t{i} * 40;
        image.Sections.push_back({*in.U32(at + 8), *in.U32(at + 12), *in.U32(at + 16), *in.U32(at + 20)});
    }
    return image;
}

// The file offset of size bytes at the virtual address, when they lie inside
// one section's raw data and inside the file.
std::optional<uint64_t> MapRva(const Bytes& in, const Image& image, uint32_t rva, uint32_t size) {
    for (const Section& s : image.Sections) {
        const uint64_t span = s.VirtualSize ? s.VirtualSize : s.RawSize;
        if (rva < s.VirtualAddress || rva - s.VirtualAddress >= span) continue;
        const uint64_t delta = rva - s.VirtualAddress;
        if (delta + size > s.RawSize) return std::nullopt;
        const uint64_t offset = uint64_t{s.RawOffset} + delta;
        if (!in.Has(offset, size)) return std::nullopt;
        return offset;
    }
    return std::nullopt;
}

// One level of the resource tree: a 16-byte directory header with the counts
// of named (+12) and numbered (+14) entries, then 8-byte entries (name or id,
// and the offset of a subdirectory (high bit set) or of a data entry).
struct Entry {
    uint32_t NameOrId;
    uint32_t Offset;
};

constexpr uint32_t kHighBit = 0x80000000u;

// The entry with the numeric id, or the first entry when id is negative.
std::optional<Entry> FindEntry(const Bytes& in, uint64_t root, uint64_t rootSize, uint32_t directory, int64_t id) {
    const uint64_t at = root + directory;
    if (directory > rootSize || !in.Has(at, 16)) return std::nullopt;
    const uint32_t count = uint32_t{*in.U16(at + 12)} + *in.U16(at + 14);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t entry = at + 16 + uint64_t{i} * 8;
        const auto name = in.U32(entry);
        const auto offset = in.U32(entry + 4);
        if (!name || !offset) return std::nullopt;
        if (id < 0) return Entry{*name, *offset};
        if (!(*name & kHighBit) && *name == static_cast<uint64_t>(id)) return Entry{*name, *offset};
    }
    return std::nullopt;
}

// Where a resource's data lies in the file: its offset and size.
struct Span {
    uint64_t Offset;
    uint32_t Size;
};

// The resource tree of an image: where its root lies in the file.
struct Tree {
    Image Headers;
    uint64_t Root = 0;
    uint64_t RootSize = 0;
};

std::optional<Tree> OpenTree(const Bytes& in) {
    auto image = ReadHeaders(in);
    if (!image || image->ResourceRva == 0) return std::nullopt;
    // The tree's own offsets are relative to the start of the resource data;
    // map the directory's header first, then check each offset against the file.
    const auto root = MapRva(in, *image, image->ResourceRva, 16);
    if (!root) return std::nullopt;
    return Tree{std::move(*image), *root, in.Size() - *root};
}

// The data of a name entry: the first language under it.
std::optional<Span> DataOfName(const Bytes& in, const Tree& tree, const Entry& nameEntry) {
    if (!(nameEntry.Offset & kHighBit)) return std::nullopt;
    const auto languageEntry = FindEntry(in, tree.Root, tree.RootSize, nameEntry.Offset & ~kHighBit, -1);
    if (!languageEntry || (languageEntry->Offset & kHighBit)) return std::nullopt;
    // The data entry: the data's virtual address and size.
    const uint64_t dataEntry = tree.Root + languageEntry->Offset;
    if (languageEntry->Offset > tree.RootSize || !in.Has(dataEntry, 8)) return std::nullopt;
    const uint32_t rva = *in.U32(dataEntry);
    const uint32_t size = *in.U32(dataEntry + 4);
    const auto offset = MapRva(in, tree.Headers, rva, size);
    if (!offset) return std::nullopt;
    return Span{*offset, size};
}

// The subdirectory of names under a numeric type.
std::optional<uint32_t> TypeDirectory(const Bytes& in, const Tree& tree, uint32_t type) {
    const auto typeEntry = FindEntry(in, tree.Root, tree.RootSize, 0, type);
    if (!typeEntry || !(typeEntry->Offset & kHighBit)) return std::nullopt;
    return typeEntry->Offset & ~kHighBit;
}

}  // namespace

bool FindResource(const std::vector<uint8_t>& file, uint32_t type, int32_t id, std::vector<uint8_t>& data) {
    try {
        const Bytes in(file);
        const auto tree = OpenTree(in);
        if (!tree) return false;
        const auto names = TypeDirectory(in, *tree, type);
        if (!names) return false;
        const auto nameEntry = FindEntry(in, tree->Root, tree->RootSize, *names, id);
        if (!nameEntry) return false;
        const auto span = DataOfName(in, *tree, *nameEntry);
        if (!span) return false;
        data.assign(in.At(span->Offset), in.At(span->Offset) + span->Size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

bool ExtractIconFile(const std::vector<uint8_t>& image, std::vector<uint8_t>& ico) {
    // An icon group: reserved, type 1, count (16-bit each), then 14-byte
    // entries: width, height, colour count, reserved (bytes), planes and bit
    // count (16-bit), the image size (32-bit) and the id of its icon resource
    // (16-bit). An .ico file has the same header and 16-byte entries whose last
    // field is the image's offset in the file.
    try {
        std::vector<uint8_t> group;
        if (!FindResource(image, kResourceGroupIcon, -1, group)) return false;
        const Bytes g(group);
        const auto count = g.U16(4);
        if (g.U16(2) != 1 || !count || *count == 0 || !g.Has(6, uint64_t{*count} * 14)) return false;

        const Bytes in(image);
        const auto tree = OpenTree(in);
        if (!tree) return false;
        const auto names = TypeDirectory(in, *tree, kResourceIcon);
        if (!names) return false;
        // The icon resources by id, read once (the first of an id counts, as a
        // lookup by id finds it).
        const uint64_t directory = tree->Root + *names;
        if (*names > tree->RootSize || !in.Has(directory, 16)) return false;
        const uint32_t entryCount = uint32_t{*in.U16(directory + 12)} + *in.U16(directory + 14);
        std::unordered_map<uint32_t, Entry> byId;
        for (uint32_t i = 0; i < entryCount; ++i) {
            const uint64_t at = directory + 16 + uint64_t{i} * 8;
            const auto name = in.U32(at);
            const auto offset = in.U32(at + 4);
            if (!name || !offset) break;
            if (!(*name & kHighBit)) byId.emplace(*name, Entry{*name, *offset});
        }

        // Each icon is copied once: a group that names one icon twice, or two
        // icons made of the same bytes, is damaged and refused. So are icons
        // that together are larger than the file holding them (no two share
        // bytes in a sound file) or than an .ico file's 32-bit offsets reach.
        std::vector<Span> icons;
        icons.reserve(*count);
        std::unordered_set<uint32_t> ids;
        std::unordered_set<uint64_t> offsets;
        const uint64_t header = 6 + uint64_t{*count} * 16;
        uint64_t iconBytes = 0;
        for (uint16_t i = 0; i < *count; ++i) {
            const uint32_t id = *g.U16(6 + i * 14 + 12);
            const auto entry = byId.find(id);
            if (entry == byId.end() || !ids.insert(id).second) return false;
            const auto span = DataOfName(in, *tree, entry->second);
            if (!span || !offsets.insert(span->Offset).second) return false;
            iconBytes += span->Size;
            if (iconBytes > in.Size() || header + iconBytes > UINT32_MAX) return false;
            icons.push_back(*span);
        }

        std::vector<uint8_t> out;
        out.reserve(static_cast<size_t>(header + iconBytes));
        out.insert(out.end(), group.begin(), group.begin() + 6);
        uint64_t offset = header;
        auto put32 = [&out](uint32_t v) {
            for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
        };
        for (uint16_t i = 0; i < *count; ++i) {
            const uint8_t* e = g.At(6 + i * 14);
            out.insert(out.end(), e, e + 8);  // width .. bit count
            put32(icons[i].Size);
            put32(static_cast<uint32_t>(offset));
            offset += icons[i].Size;
        }
        for (const Span& icon : icons) out.insert(out.end(), in.At(icon.Offset), in.At(icon.Offset) + icon.Size);
        ico.swap(out);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

}  // namespace pe
