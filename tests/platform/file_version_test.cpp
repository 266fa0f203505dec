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

TEST(FileVersion, IconGroupBecomesTheIconFile) {
    REQUIRE_PE_FILES();
    std::vector<uint8_t> image, ico, original;
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
