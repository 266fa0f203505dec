// The version-information reader on Windows images made by a real resource
// compiler and linker, and on truncated and corrupt copies of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/file_system.h"
#include "platform/file_version.h"
#include "platform/pe_resources.h"
#include "tests/platform/temp_folder.h"

namespace {

std::string PeFile(const char* name) { return std::string(GW_TEST_PE_DIR) + name; }

#define REQUIRE_PE_FILES()                                                     \
    if (std::string(GW_TEST_PE_DIR).empty()) GTEST_SKIP() << "no llvm-rc/lld-link"

std::string Text(const std::vector<uint8_t>& info, const std::string& path) {
    VersionValue value;
    if (!QueryVersionValue(info, path, value)) return "<missing>";
    return VersionValueText(value);
}

TEST(FileVersion, ReadsStringsAndTranslationOfBothImageKinds) {
    REQUIRE_PE_FILES();
    for (const char* file : {"full64.dll", "full32.dll"}) {
        SCOPED_TRACE(file);
        std::vector<uint8_t> info;
        ASSERT_TRUE(GetVersionInfo(PeFile(file), info));
        EXPECT_EQ(GetVersionInfoSize(PeFile(file)), info.size());
        VersionValue translation;
        ASSERT_TRUE(QueryVersionValue(info, "\\VarFileInfo\\Translation", translation));
        ASSERT_EQ(translation.Size, 4u);
        EXPECT_EQ(translation.Data[0] | translation.Data[1] << 8, 0x0409);
        EXPECT_EQ(translation.Data[2] | translation.Data[3] << 8, 1252);
        EXPECT_EQ(Text(info, "\\StringFileInfo\\040904E4\\CompanyName"), "Vortaxis Coasters");
        EXPECT_EQ(Text(info, "\\StringFileInfo\\040904E4\\FileVersion"), "1, 2, 0, 3");
        EXPECT_EQ(Text(info, "\\stringfileinfo\\040904e4\\originalfilename"), "VortaxisSimulator.exe");
        EXPECT_EQ(Text(info, "\\StringFileInfo\\040904E4\\LegalCopyright"), "Copyright \xC2\xA9 Vortaxis Coasters");
        // A key matches over its whole length only.
        EXPECT_EQ(Text(info, "\\StringFileInfo\\040904E4\\Company"), "<missing>");
        EXPECT_EQ(Text(info, "\\StringFileInfo\\040904E4\\CompanyNameX"), "<missing>");
        // The root's own value is the fixed file information (52 bytes, signature 0xFEEF04BD).
        VersionValue root;
        ASSERT_TRUE(QueryVersionValue(info, "\\", root));
        ASSERT_EQ(root.Size, 52u);
        uint32_t signature = 0;
        std::memcpy(&signature, root.Data, 4);
        EXPECT_EQ(signature, 0xFEEF04BDu);
    }
}

TEST(FileVersion, ImagesWithoutVersionAndFilesThatAreNoImages) {
    TempFolder folder;
    const std::string text = folder.Write("notes.exe", "MZ but nothing more");
    EXPECT_EQ(GetVersionInfoSize(text), 0u);
    EXPECT_EQ(GetVersionInfoSize(folder / "missing.exe"), 0u);
    REQUIRE_PE_FILES();
    std::vector<uint8_t> image;
    ASSERT_TRUE(fsys::ReadWholeFile(PeFile("german_icon.dll"), image));
    std::vector<uint8_t> unused;
    EXPECT_FALSE(pe::FindResource(image, 99, -1, unused));
}

// A PE32+ image whose one section holds the resources: icons 1 to iconCount
// (8 bytes each, or one 8-byte run that all of them name when shared) and one
// icon group of 16 x 16 pictures naming the icons in `group`.
std::vector<uint8_t> IconImage(uint16_t iconCount, const std::vector<uint16_t>& group, bool shared) {
    constexpr uint32_t kRva = 0x1000, kRaw = 0x200, kSubdirectory = 0x80000000u;
    std::vector<uint8_t> r;
    auto put = [](std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
        for (int k = 0; k < bytes; ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
    };
    auto add = [&r](size_t n) { r.resize(r.size() + n); return r.size() - n; };
    auto directory = [&](uint16_t count) {
        const size_t at = add(16 + 8u * count);
        put(r, at + 14, count, 2);
        return at;
    };
    auto entry = [&](size_t dir, size_t i, uint32_t id, uint32_t offset) {
        put(r, dir + 16 + 8 * i, id, 4);
        put(r, dir + 20 + 8 * i, offset, 4);
    };
    // A name's language directory and its data entry; the data entry's place.
    auto resource = [&](size_t names, size_t i, uint32_t id) {
        const size_t languages = directory(1);
        const size_t data = add(16);
        entry(names, i, id, kSubdirectory | static_cast<uint32_t>(languages));
        entry(languages, 0, 0x409, static_cast<uint32_t>(data));
        return data;
    };
    auto place = [&](size_t data, const std::vector<uint8_t>& bytes) {
        const size_t at = add(bytes.size());
        std::copy(bytes.begin(), bytes.end(), r.begin() + static_cast<long>(at));
        put(r, data, kRva + static_cast<uint32_t>(at), 4);
        put(r, data + 4, static_cast<uint32_t>(bytes.size()), 4);
    };
    const size_t root = directory(2), icons = directory(iconCount), groups = directory(1);
    entry(root, 0, 3, kSubdirectory | static_cast<uint32_t>(icons));
    entry(root, 1, 14, kSubdirectory | static_cast<uint32_t>(groups));
    std::vector<size_t> iconData;
    for (uint16_t i = 0; i < iconCount; ++i) iconData.push_back(resource(icons, i, i + 1u));
    const size_t groupData = resource(groups, 0, 1);
    for (uint16_t i = 0; i < iconCount; ++i) {
        if (shared && i > 0) {
            std::copy_n(r.begin() + static_cast<long>(iconData[0]), 8, r.begin() + static_cast<long>(iconData[i]));
        } else {
            place(iconData[i], {'i', 'c', 'o', 'n', static_cast<uint8_t>(i + 1), 0, 0, 0});
        }
    }
    std::vector<uint8_t> bytes(6 + 14 * group.size());
    put(bytes, 2, 1, 2);
    put(bytes, 4, static_cast<uint32_t>(group.size()), 2);
    for (size_t i = 0; i < group.size(); ++i) {
        const size_t at = 6 + 14 * i;
        bytes[at] = bytes[at + 1] = 16;
        put(bytes, at + 4, 1, 2);
        put(bytes, at + 6, 32, 2);
        put(bytes, at + 8, 8, 4);
        put(bytes, at + 12, group[i], 2);
    }
    place(groupData, bytes);

    std::vector<uint8_t> image(kRaw + r.size());
    const uint32_t size = static_cast<uint32_t>(r.size());
    image[0] = 'M';
    image[1] = 'Z';
    put(image, 0x3C, 0x40, 4);
    put(image, 0x40, 0x4550, 4);                         // "PE\0\0"
    put(image, 0x44, 0x8664, 2);                         // machine
    put(image, 0x46, 1, 2);                              // one section
    put(image, 0x54, 240, 2);                            // the optional header's size
    put(image, 0x58, 0x20B, 2);                          // PE32+
    put(image, 0x58 + 108, 16, 4);                       // data directories
    put(image, 0x58 + 128, kRva, 4);                     // the resource directory
    put(image, 0x58 + 132, size, 4);
    const size_t section = 0x58 + 240;
    put(image, section + 8, size, 4);
    put(image, section + 12, kRva, 4);
    put(image, section + 16, size, 4);
    put(image, section + 20, kRaw, 4);
    std::copy(r.begin(), r.end(), image.begin() + kRaw);
    return image;
}

TEST(FileVersion, IconGroupBecomesTheIconFile) {
    // Each icon is copied once; a group naming an icon twice, or icons made of
    // the same bytes, is refused (65,535 copies of one icon would fill memory).
    std::vector<uint8_t> ico;
    ASSERT_TRUE(pe::ExtractIconFile(IconImage(2, {2, 1}, false), ico));
    std::vector<uint8_t> expected{0, 0, 1, 0, 2, 0};
    for (uint8_t id : {2, 1}) {
        const uint8_t offset = id == 2 ? 38 : 46;
        expected.insert(expected.end(), {16, 16, 0, 0, 1, 0, 32, 0, 8, 0, 0, 0, offset, 0, 0, 0});
    }
    for (uint8_t id : {2, 1}) expected.insert(expected.end(), {'i', 'c', 'o', 'n', id, 0, 0, 0});
    EXPECT_EQ(ico, expected);
    EXPECT_FALSE(pe::ExtractIconFile(IconImage(1, std::vector<uint16_t>(65535, 1), false), ico));
    EXPECT_FALSE(pe::ExtractIconFile(IconImage(2, {1, 2, 1}, false), ico));
    EXPECT_FALSE(pe::ExtractIconFile(IconImage(3, {1, 2, 3}, true), ico));
    EXPECT_FALSE(pe::ExtractIconFile(IconImage(2, {1, 3}, false), ico));
    EXPECT_EQ(ico, expected);

    REQUIRE_PE_FILES();
    std::vector<uint8_t> image, original;
    ASSERT_TRUE(fsys::ReadWholeFile(PeFile("german_icon.dll"), image));
    ASSERT_TRUE(fsys::ReadWholeFile(std::string(GW_TEST_PE_SOURCE_DIR) + "icon.ico", original));
    ASSERT_TRUE(pe::ExtractIconFile(image, ico));
    EXPECT_EQ(ico, original);  // one 16 x 16 picture: the same header, entry and bits
    std::vector<uint8_t> full;
    ASSERT_TRUE(fsys::ReadWholeFile(PeFile("full64.dll"), full));
    EXPECT_FALSE(pe::ExtractIconFile(full, ico));
}

// Every prefix of an image, and every byte set to 0xFF in turn, is read
// without reading outside the bytes: a prefix holds the version data whole
// once it reaches the data's end, and nothing before.
TEST(FileVersion, TruncatedAndCorruptImagesAreSafe) {
    REQUIRE_PE_FILES();
    std::vector<uint8_t> image, info;
    ASSERT_TRUE(fsys::ReadWholeFile(PeFile("full32.dll"), image));
    ASSERT_TRUE(pe::FindResource(image, pe::kResourceVersion, -1, info));
    const auto where = std::search(image.begin(), image.end(), info.begin(), info.end());
    const size_t dataEnd = static_cast<size_t>(where - image.begin()) + info.size();
    for (size_t length = 0; length < image.size(); ++length) {
        const std::vector<uint8_t> prefix(image.begin(), image.begin() + static_cast<long>(length));
        std::vector<uint8_t> data;
        const bool found = pe::FindResource(prefix, pe::kResourceVersion, -1, data);
        EXPECT_EQ(found, length >= dataEnd) << length;
        if (found) {
            EXPECT_EQ(data, info);
        }
    }
    for (size_t at = 0; at < image.size(); ++at) {
        std::vector<uint8_t> corrupt = image;
        corrupt[at] = 0xFF;
        std::vector<uint8_t> data;
        pe::FindResource(corrupt, pe::kResourceVersion, -1, data);
        pe::ExtractIconFile(corrupt, data);
    }
    for (size_t at = 0; at < info.size(); ++at) {
        std::vector<uint8_t> corrupt = info;
        corrupt[at] ^= 0xA5;
        VersionValue value;
        if (QueryVersionValue(corrupt, "\\StringFileInfo\\040904E4\\ProductName", value)) {
            EXPECT_LE(value.Data + value.Size, corrupt.data() + corrupt.size());
            VersionValueText(value);
        }
    }
}

TEST(FileVersion, TextStopsAtItsZeroAndAtTheLimit) {
    const std::u16string text = u"ab\u00e9\u20ac" + std::u16string(300, u'x');
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    VersionValue value{bytes.data(), bytes.size(), true};
    const std::string read = VersionValueText(value);
    EXPECT_EQ(read.substr(0, 7), "ab\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(read.size(), 7u + 250u);  // 254 characters in all
    bytes[2] = bytes[3] = 0;
    EXPECT_EQ(VersionValueText(value), "a");
}

}  // namespace
