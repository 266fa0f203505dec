// Vortaxis > Overview on fake installation folders: version lines from real
// Windows images, file counts with subfolders, missing programs and folders.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_system.h"
#include "simulator/app_file_info.h"
#include "simulator/installation_report.h"
#include "tests/core/locale_scope.h"
#include "tests/platform/temp_folder.h"

namespace {

std::string PeFile(const char* name) { return std::string(GW_TEST_PE_DIR) + name; }

void CopyFile(const std::string& from, const std::string& to) {
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

TEST(FileVersionFields, FirstTranslationPicksTheStringTable) {
    if (std::string(GW_TEST_PE_DIR).empty()) GTEST_SKIP() << "no llvm-rc/lld-link";
    FileVersionFields full;
    ASSERT_TRUE(GetFileVersionFields(PeFile("full64.dll"), full));
    EXPECT_EQ(full.CompanyName, "Vortaxis Coasters");
    EXPECT_EQ(full.FileDescription, "Vortaxis Simulator");
    EXPECT_EQ(full.FileVersion, "1, 2, 0, 3");
    EXPECT_EQ(full.InternalName, "VXSim");
    EXPECT_EQ(full.OriginalFileName, "VortaxisSimulator.exe");
    EXPECT_EQ(full.ProductName, "Vortaxis");
    EXPECT_EQ(full.ProductVersion, "1, 2, 0, 0");

    // 0407/04B0 names the second table, "040704b0" in the file, its keys in capitals.
    FileVersionFields german;
    ASSERT_TRUE(GetFileVersionFields(PeFile("german_icon.dll"), german));
    EXPECT_EQ(german.CompanyName, "Achterbahn GmbH");
    EXPECT_EQ(german.FileVersion, "2, 0, 0, 0");
    EXPECT_EQ(german.ProductName, "");
}

TEST(FileVersionFields, MissingFilesAndFilesWithoutVersions) {
    TempFolder folder;
    FileVersionFields fields;
    fields.CompanyName = "kept";
    EXPECT_FALSE(GetFileVersionFields(folder / "VortaxisSimulator.exe", fields));
    EXPECT_EQ(fields.CompanyName, "kept");
    folder.Write("vortaxissimulator.EXE", "not an image");
    EXPECT_TRUE(GetFileVersionFields(folder / "VortaxisSimulator.exe", fields));  // found in another case
    EXPECT_EQ(fields.CompanyName, "");
}

TEST(CountFiles, PatternsSubfoldersAndFolderNames) {
    TempFolder sim;
    sim.Write("Tracks/a.vxtrack");
    sim.Write("Tracks/B.VXTRACK");
    sim.Write("Tracks/Old/c.vxtrack");
    sim.Write("Tracks/Old/Older/d.vxtrack");
    sim.Write("Tracks/.hidden/e.vxtrack");
    sim.Write("Tracks/notes.txt");
    sim.Write("Tracks/ride.exe");
    std::filesystem::create_symlink("a.vxtrack", sim / "Tracks/linked.vxtrack");    // a link to a track counts
    std::filesystem::create_symlink("gone.vxtrack", sim / "Tracks/dangling.vxtrack");  // one to nothing does not
    std::filesystem::create_directories(sim / "Environments/x.env");
    sim.Write("Environments/sky.env");
    sim.Write("Environments/sky/top.tga");
    sim.Write("Environments/sky/side.JPG");
    std::filesystem::create_directories(sim / "Tracks/Locked");
    sim.Write("Tracks/Locked/f.vxtrack");
    std::filesystem::permissions(sim / "Tracks/Locked", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);

    int32_t count = -1;
    CountFiles(sim / "Tracks/", "*.vxtrack", count);
    EXPECT_EQ(count, 5);  // not the hidden or read-only folders' files
    CountFiles(sim / "Environments/", "*.env", count);
    EXPECT_EQ(count, 1);  // the folder x.env is no environment
    CountFiles(sim / "Environments/", "*.tga;*.jpg;*.gif;*.bmp", count);
    EXPECT_EQ(count, 2);
    CountFiles(sim / "Missing/", "*.env", count);
    EXPECT_EQ(count, 0);
    std::filesystem::permissions(sim / "Tracks/Locked", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);

    EXPECT_TRUE(MatchesWildcard("a.b.vxtrack", "*.vxtrack"));
    EXPECT_TRUE(MatchesWildcard("Track1.VXTRACK", "track?.vxtrack"));
    EXPECT_FALSE(MatchesWildcard("a.vxtrack.bak", "*.vxtrack"));
    EXPECT_FALSE(MatchesWildcard("track10.vxtrack", "track?.vxtrack"));
}

TEST(InstallationReport, FakeInstallation) {
    if (std::string(GW_TEST_PE_DIR).empty()) GTEST_SKIP() << "no llvm-rc/lld-link";
    TempFolder sim;
    CopyFile(PeFile("full64.dll"), sim / "VortaxisSimulator.exe");
    CopyFile(PeFile("german_icon.dll"), sim / "vortaxiseditor.exe");  // another letter case
    for (int i = 0; i < 1234; ++i) sim.Write("Tracks/Big/t" + std::to_string(i) + ".vxtrack");
    sim.Write("Tracks/go.exe");
    sim.Write("Objects/house.3ds");
    sim.Write("Objects/house.tga");
    sim.Write("Objects/tree.gif");
    sim.Write("CarTextures/car.bmp");
    sim.Write("Environments/Day/day.env");
    sim.Write("elements/loop.vxelem");  // another letter case

    LocaleScope english("en_US.UTF-8");
    SKIP_WITHOUT_LOCALE(english);
    const std::string report = BuildReport(sim.Path());
    EXPECT_EQ(report,
              "-----VERSION-------------------------------------------------------------------\r\n"
              "Simulator.......: v1.2.0.3\r\n"
              "Editor..........: v2.0.0.0\r\n"
              "Terraformer.....: -File Not Found-\r\n"
              "\r\n"
              "-----FILE COUNTS---------------------------------------------------------------\r\n"
              "Tracks..........: 1,234\r\n"
              "Track EXEs......: 1\r\n"
              "Objects.........: 1\r\n"
              "Object Textures.: 2\r\n"
              "Car Textures....: 1\r\n"
              "Terrain Textures: 0\r\n"
              "Environments....: 1\r\n"
              "Env. Textures...: 0\r\n"
              "Elements........: 1\r\n"
              "\r\n");
    EXPECT_EQ(ReportVersionText("1, 2, 0, 0"), "1.2.0.0");
}

// A program that is there but cannot be read says why, instead of showing as
// one without version information.
TEST(InstallationReport, AProgramTooLargeToReadSaysWhy) {
    TempFolder sim;
    sim.Write("VortaxisSimulator.exe", "not an image");
    std::filesystem::resize_file(sim.Write("VortaxisEditor.exe", "MZ"), fsys::kProgramFile.MostBytes + 1);
    const std::string report = BuildReport(sim.Path());
    EXPECT_NE(report.find("\r\nSimulator.......: v\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nEditor..........: -File Not Read- " +
                          fsys::ReadFailureReason(EFBIG, fsys::kProgramFile) + "\r\n"),
              std::string::npos)
        << report;
}

}  // namespace
