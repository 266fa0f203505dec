#include "core/settings_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <iterator>

#include "platform/file_system.h"
#include "tests/platform/temp_folder.h"

namespace {

class SettingsTextTest : public ::testing::Test {
protected:
    void SetUp() override { IniSetBuffer(""); }
    void TearDown() override { IniSetBuffer(""); }
};

TEST_F(SettingsTextTest, KeysOnTheFirstLineAreNeverFound) {
    IniSetBuffer("Limit=5");
    EXPECT_EQ(IniReadInt("Limit"), 0);
    std::string value = "untouched";
    EXPECT_FALSE(IniReadVariant("Limit", value));
    EXPECT_EQ(value, "untouched");
    IniSetBuffer(";comment\r\nLimit=5");
    EXPECT_EQ(IniReadInt("Limit"), 5);  // the last line needs no line end
}

TEST_F(SettingsTextTest, LookupIgnoresCaseBlanksAroundTheEqualsSignAndSections) {
    IniSetBuffer(";c\r\n[General]\r\ncombradiuslimit = 12 \r\n[Other]\r\nCombRadiusLimit=99\r\n");
    EXPECT_EQ(IniReadInt("COMBRADIUSLIMIT"), 12);  // the first line of the key wins, whatever its section
    EXPECT_EQ(IniReadString("CombRadiusLimit"), "12");
}

TEST_F(SettingsTextTest, AKeyDoesNotFindALongerKeyThatStartsWithIt) {
    IniSetBuffer(";c\r\nFile10=/t/ten.vxtrack\r\nFile1=/t/one.vxtrack\r\nFile1Extra\r\n");
    EXPECT_EQ(IniReadString("File1"), "/t/one.vxtrack");
    EXPECT_EQ(IniReadString("File10"), "/t/ten.vxtrack");
    IniSetBuffer(";c\r\nFile10=/t/ten.vxtrack\r\n");
    EXPECT_EQ(IniReadString("File1"), "");
    IniSetBuffer(";c\r\nFile1 x=/t/one\r\n");  // only blanks may stand before the "="
    EXPECT_EQ(IniReadString("File1"), "");
}

TEST_F(SettingsTextTest, IndentedKeysAndKeysWithoutEqualsSignAreMissing) {
    IniSetBuffer(";c\r\n  Scale=2\r\nLimit\r\nLimit2=3\r\n");
    EXPECT_EQ(IniReadInt("Scale"), 0);
    std::string value = "kept";
    EXPECT_FALSE(IniReadVariant("Limit", value));
    EXPECT_EQ(value, "kept");
    EXPECT_TRUE(IniReadVariant("Limit2", value));
    EXPECT_EQ(value, "3");
}

TEST_F(SettingsTextTest, LinesEndingInLineFeedAloneAreReadToo) {
    IniSetBuffer(";c\nScale=2.5\nName=x y\n");
    EXPECT_DOUBLE_EQ(IniReadFloat("Scale"), 2.5);
    EXPECT_EQ(IniReadString("Name"), "x y");
}

TEST_F(SettingsTextTest, IntegersTakeTheLeadingNumberRoundedHalfToEven) {
    IniSetBuffer(";c\r\nA=12abc\r\nB=2.5\r\nC=3.5\r\nD=-7.6\r\nE=True\r\nF=abc\r\nG=1e3\r\nH=99999999999\r\n"
                 "I=-99999999999\r\nJ=.5e1x\r\n");
    EXPECT_EQ(IniReadInt("A"), 12);
    EXPECT_EQ(IniReadInt("B"), 2);
    EXPECT_EQ(IniReadInt("C"), 4);
    EXPECT_EQ(IniReadInt("D"), -8);
    EXPECT_EQ(IniReadInt("E"), 0);
    EXPECT_EQ(IniReadInt("F"), 0);
    EXPECT_EQ(IniReadInt("G"), 1000);
    EXPECT_EQ(IniReadInt("H"), INT32_MAX);  // held to the 32-bit range
    EXPECT_EQ(IniReadInt("I"), INT32_MIN);
    EXPECT_EQ(IniReadInt("J"), 5);
    EXPECT_EQ(IniReadInt("Missing"), 0);
}

TEST_F(SettingsTextTest, FloatsAcceptADecimalComma) {
    IniSetBuffer(";c\r\nA=0,5\r\nB=0.25\r\nC=1,5e2\r\nD=x\r\n");
    EXPECT_DOUBLE_EQ(IniReadFloat("A"), 0.5);
    EXPECT_DOUBLE_EQ(IniReadFloat("B"), 0.25);
    EXPECT_DOUBLE_EQ(IniReadFloat("C"), 150.0);
    EXPECT_DOUBLE_EQ(IniReadFloat("D"), 0.0);
    EXPECT_DOUBLE_EQ(IniReadFloat("Missing"), 0.0);
}

TEST_F(SettingsTextTest, BooleansAreTrueForWordsStartingWithT) {
    IniSetBuffer(";c\r\nA=true\r\nB=T\r\nC=tomorrow\r\nD=1\r\nE=yes\r\nF=False\r\nG=\r\n");
    EXPECT_TRUE(IniReadBool("A"));
    EXPECT_TRUE(IniReadBool("B"));
    EXPECT_TRUE(IniReadBool("C"));
    EXPECT_FALSE(IniReadBool("D"));
    EXPECT_FALSE(IniReadBool("E"));
    EXPECT_FALSE(IniReadBool("F"));
    EXPECT_FALSE(IniReadBool("G"));
    EXPECT_FALSE(IniReadBool("Missing"));
}

TEST_F(SettingsTextTest, ValuesAreTrimmedOfControlCharacters) {
    IniSetBuffer(";c\r\nBlank=   \r\nTabbed=\t a b \t\r\n");
    std::string value = "x";
    EXPECT_TRUE(IniReadVariant("Blank", value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(IniReadString("Tabbed"), "a b");
    EXPECT_EQ(TrimControlChars("\x01\x1f  text \x7f\r\n"), "text \x7f");
    EXPECT_EQ(TrimControlChars(" \t\r\n"), "");
    EXPECT_EQ(TrimControlChars(""), "");
    EXPECT_EQ(TrimControlChars("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");  // bytes above 127 stay
}

TEST_F(SettingsTextTest, BuildersAppendLinesWithCrLf) {
    IniNewBuffer("Header");
    EXPECT_EQ(IniGetBuffer(), ";Header");
    IniNewBuffer(";Already");
    EXPECT_EQ(IniGetBuffer(), ";Already");
    IniNewBuffer("");
    EXPECT_EQ(IniGetBuffer(), "");
    IniWriteComment("c");
    IniAddSection("General");
    IniWriteValue("Text", "a b");
    IniWriteValue("Int", 42);
    IniWriteValue("Short", static_cast<int16_t>(-3));
    IniWriteValue("Float", 0.1f);
    IniWriteValue("Double", 2.5);
    IniWriteValue("Flag", true);
    IniWriteBool("On", true);
    IniWriteBool("Off", false);
    IniWriteLine("plain");
    EXPECT_EQ(IniGetBuffer(),
              ";c\r\n\r\n[General]\r\nText=a b\r\nInt=42\r\nShort=-3\r\nFloat=0.1\r\nDouble=2.5\r\nFlag=True\r\n"
              "On=True\r\nOff=False\r\nplain\r\n");
}

TEST_F(SettingsTextTest, TextsKeepTheirCommas) {
    IniNewBuffer("c");
    IniWriteValue("Path", "/home/a,b/loop, v2.vxtrack");
    IniWriteValue("Scale", 0.5f);
    EXPECT_EQ(IniGetBuffer(), ";cPath=/home/a,b/loop, v2.vxtrack\r\nScale=0.5\r\n");
    IniNewBuffer("");
    IniWriteComment("c");
    IniWriteValue("Path", "/home/a,b/loop.vxtrack");
    EXPECT_EQ(IniReadString("Path"), "/home/a,b/loop.vxtrack");
}

TEST_F(SettingsTextTest, FilesLoadAndSaveWhole) {
    TempFolder folder;
    const std::string path = folder / "set.gtwrms";
    IniSetBuffer(";x\r\nA=1\r\n\xFF\x00 bytes");
    gIniBuffer.push_back('\0');
    ASSERT_TRUE(IniSaveFile(path, fsys::kSettingsFile));
    const std::string written = gIniBuffer;
    IniSetBuffer("other");
    ASSERT_TRUE(IniLoadFile(path, fsys::kSettingsFile));
    EXPECT_EQ(IniGetBuffer(), written);
    EXPECT_EQ(IniReadInt("A"), 1);
    // Saving again replaces the whole file.
    IniSetBuffer(";short");
    ASSERT_TRUE(IniSaveFile(path, fsys::kSettingsFile));
    std::string text;
    ASSERT_TRUE(fsys::ReadWholeFile(path, text));
    EXPECT_EQ(text, ";short");
}

TEST_F(SettingsTextTest, FailuresReturnFalseAndKeepTheBufferAndTheFile) {
    TempFolder folder;
    IniSetBuffer("held");
    EXPECT_FALSE(IniLoadFile(folder / "missing.ini", fsys::kSettingsFile));
    EXPECT_FALSE(IniLoadFile(folder.Path(), fsys::kSettingsFile));  // a folder is no file
    EXPECT_EQ(IniGetBuffer(), "held");
    EXPECT_FALSE(IniSaveFile(folder / "no-such-folder/x.ini", fsys::kSettingsFile));
    EXPECT_FALSE(IniSaveFile(folder.Path(), fsys::kSettingsFile));
    const std::string file = folder.Write("keep.ini", "old");
    EXPECT_FALSE(IniSaveFile(file + "/below.ini", fsys::kSettingsFile));
    std::string text;
    ASSERT_TRUE(fsys::ReadWholeFile(file, text));
    EXPECT_EQ(text, "old");

    // A buffer of more bytes than its kind can hold is refused, nothing made
    // and the old file kept; one of the bound itself saves and opens again.
    IniSetBuffer(std::string(fsys::kModelerSetFile.MostBytes + 1, 'x'));
    errno = 0;
    EXPECT_FALSE(IniSaveFile(file, fsys::kModelerSetFile));
    EXPECT_EQ(fsys::WriteFailureReason(errno),
              "The file would be larger than a modeler settings set can be (at most 1 MiB).");
    ASSERT_TRUE(fsys::ReadWholeFile(file, text));
    EXPECT_EQ(text, "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "no file left beside it";
    gIniBuffer.pop_back();
    ASSERT_TRUE(IniSaveFile(file, fsys::kModelerSetFile));
    EXPECT_TRUE(IniLoadFile(file, fsys::kModelerSetFile));
    EXPECT_EQ(gIniBuffer.size(), fsys::kModelerSetFile.MostBytes);
}

}  // namespace
