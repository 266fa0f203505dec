// The Vortaxis menu's installation dialogs in real windows: the report shown,
// Fix Location's OK following the typed folder, and File Association's locking
// rule and OK writing the registry and the desktop files.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include "core/app_state.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/scripted_prompts.h"
#include "simulator/association_icons_wx.h"
#include "simulator/frm_vx_file_association.h"
#include "simulator/frm_vx_fix_location.h"
#include "simulator/frm_vx_overview.h"
#include "tests/platform/png_writer.h"
#include "tests/platform/temp_folder.h"

namespace {

class VXDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "main");
        savedSim = gSimPath;
        gSimPath = sim.Path();
    }
    void TearDown() override {
        gSimPath = savedSim;
        frame->Destroy();
    }
    wxFrame* frame = nullptr;
    ConfigFolderScope config;
    TempFolder sim;
    std::string savedSim;
};

TEST_F(VXDialogs, OverviewShowsTheReport) {
    sim.Write("Tracks/a.vxtrack");
    frmVXOverview dialog(frame);
    const wxString text = dialog.txtInfo->GetValue();
    EXPECT_TRUE(text.StartsWith("-----VERSION---"));
    EXPECT_NE(text.Find("Simulator.......: -File Not Found-\n"), wxNOT_FOUND);
    EXPECT_NE(text.Find("Tracks..........: 1\n"), wxNOT_FOUND);
    EXPECT_FALSE(dialog.txtInfo->IsEditable());
}

TEST_F(VXDialogs, FixLocationEnablesOkOnlyForTheSimulatorsFolder) {
    sim.Write("Other/VortaxisSimulator.exe", "x");
    frmVXFixLocation dialog(frame);
    EXPECT_EQ(dialog.txtCurPath->GetValue().utf8_string(), sim.Path());
    EXPECT_FALSE(dialog.btnOkay->IsEnabled());
    dialog.txtCurPath->SetValue(wxString::FromUTF8(sim / "Other"));
    EXPECT_TRUE(dialog.btnOkay->IsEnabled());
    dialog.btnOkay_Click();
    std::string stored;
    ASSERT_TRUE(RegReadValue(RegCurrentUser, "Software\\Vortaxis Coasters", "InstPath", stored));
    EXPECT_EQ(stored, sim / "Other");

    // Typed relative to the working folder: stored, and shown, absolute.
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(sim.Path());
    const std::string absolute = std::filesystem::current_path().string() + "/Other";
    frmVXFixLocation relative(frame);
    relative.txtCurPath->SetValue("Other");
    ASSERT_TRUE(relative.btnOkay->IsEnabled());
    relative.btnOkay_Click();
    std::filesystem::current_path(old);
    ASSERT_TRUE(RegReadValue(RegCurrentUser, "Software\\Vortaxis Coasters", "InstPath", stored));
    EXPECT_EQ(stored, absolute);
    EXPECT_EQ(relative.txtCurPath->GetValue().utf8_string(), absolute);

    // A store that cannot be written: the message says why.
    std::filesystem::remove(RegStoreFile(RegCurrentUser));
    std::filesystem::create_directories(RegStoreFile(RegCurrentUser));
    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    frmVXFixLocation failing(frame);
    failing.txtCurPath->SetValue(wxString::FromUTF8(sim / "Other"));
    failing.btnOkay_Click();
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text,
              "Could Not Save the Simulator's Location!\n\nThe registry store could not be written. There is a folder "
              "of that name.");
}

TEST_F(VXDialogs, FileAssociationLocksTheDoubleClickVerbAndWrites) {
    TempFolder home;
    EnvScope data("XDG_DATA_HOME", home.Path() + "data");
    EnvScope configHome("XDG_CONFIG_HOME", home.Path() + "config");
    EnvScope noWine("PATH", home.Path() + "bin");  // a desktop without wine
    ScriptedPrompts prompts;
    ScopedPrompts scope(prompts);
    frmVXFileAssociation dialog(frame);
    EXPECT_TRUE(dialog.optDoubleClick[0]->GetValue());
    EXPECT_FALSE(dialog.chkRightClick[0]->IsEnabled());
    EXPECT_FALSE(dialog.txtIcon->IsEnabled());
    dialog.optDoubleClick[2]->SetValue(true);
    dialog.optDoubleClick_Click(2);
    EXPECT_TRUE(dialog.chkRightClick[0]->IsEnabled());
    EXPECT_TRUE(dialog.chkRightClick[2]->GetValue());
    EXPECT_FALSE(dialog.chkRightClick[2]->IsEnabled());
    dialog.optIcon[4]->SetValue(true);
    dialog.optIcon_Click(4);
    dialog.chkRightClick[1]->SetValue(false);
    dialog.btnOkay_Click();
    std::string value;
    ASSERT_TRUE(RegReadValue(RegClassesRoot, "Vortaxis.Trackfile\\Shell", "", value));
    EXPECT_EQ(value, "Tera");
    ASSERT_TRUE(RegReadValue(RegClassesRoot, "Vortaxis.Trackfile\\DefaultIcon", "", value));
    EXPECT_EQ(value, gAppPath + "VXExtraIcons.dll,2");
    EXPECT_FALSE(RegReadValue(RegClassesRoot, "Vortaxis.Trackfile\\Shell\\Edit", "", value));
    EXPECT_TRUE(fsys::FileExists(home.Path() + "data/applications/gantrywright-vxtrack-tool.desktop"));
    EXPECT_TRUE(fsys::FileExists(home.Path() + "data/icons/hicolor/48x48/mimetypes/application-x-vortaxis-track.png"));
    // What wine would have run is said when OK is pressed.
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Title, "Warning!");
    EXPECT_EQ(prompts.Messages[0].Text.rfind("Wine was not found", 0), 0u);
    EXPECT_FALSE(fsys::FileExists(home.Path() + "data/applications/gantrywright-vxtrack-tera.desktop"));

    // A file that cannot be written is named with the reason.
    std::filesystem::remove_all(home.Path() + "data/applications");
    home.Write("data/applications", "no folder");
    prompts.Messages.clear();
    frmVXFileAssociation again(frame);
    again.btnOkay_Click();
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[0].Text, "The File Association Could Not Be Saved Completely!\n\nCould not write " +
                                            home.Path() +
                                            "data/applications/gantrywright-vxtrack-tool.desktop: A part of the "
                                            "path is not a folder.");

    // A refresh of the desktop's databases that fails is said so too, naming its tool.
    std::filesystem::remove(home.Path() + "data/applications");
    ::chmod(home.Write("bin/update-mime-database", "#!/bin/sh\nexit 3\n").c_str(), 0755);
    prompts.Messages.clear();
    frmVXFileAssociation refreshing(frame);
    refreshing.btnOkay_Click();
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[0].Text, "The File Association Could Not Be Saved Completely!\n\nCould not refresh " +
                                            home.Path() + "data/mime: update-mime-database ended with exit status 3.");
}

// An icon of a size no icon has, and a PNG of 26000 x 26000 pixels (a few
// bytes), chosen as the user's own icon: no picture, found from their headers
// before anything is decoded, and no toolkit assertion (which fails the test
// here, and in the program would have offered to end it). A sound icon shows.
TEST_F(VXDialogs, FileAssociationShowsNoIconOfASizeNoIconHas) {
    auto le = [](std::string& s, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) s += char((v >> (8 * i)) & 0xFF);
    };
    // One DIB picture of 32 bits a pixel, 0 wide and 16 high (its height counts its mask).
    std::string zero("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14);
    le(zero, 40 + 16 * 4, 4), le(zero, 22, 4);
    le(zero, 40, 4), le(zero, 0, 4), le(zero, 32, 4), le(zero, 1, 2), le(zero, 32, 2);
    zero += std::string(24 + 16 * 4, '\0');
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    png += std::string("\0\0\x65\x90\0\0\x65\x90\x08\x06\0\0\0", 13) + std::string(64, 'x');
    wxImage red(16, 16);
    red.SetRGB(wxRect(0, 0, 16, 16), 255, 0, 0);
    const std::string good = sim / "good.ico";
    ASSERT_TRUE(red.SaveFile(wxString::FromUTF8(good), wxBITMAP_TYPE_ICO));
    const AssociationPaths paths = frmVXFileAssociation::Paths();
    for (const std::string& bad : {sim.Write("zero.ico", zero), sim.Write("huge.png", png), sim.Write("huge.ico", png)})
        EXPECT_FALSE(AssociationIconImage(kOwnIconOption, bad + ",0", paths, 48).IsOk()) << bad;
    const wxImage shown = AssociationIconImage(kOwnIconOption, good + ",0", paths, 48);
    ASSERT_TRUE(shown.IsOk());
    EXPECT_EQ(shown.GetWidth(), 48);
    EXPECT_GT(shown.GetRed(20, 20), 240);
    EXPECT_LT(shown.GetGreen(20, 20), 16);

    frmVXFileAssociation dialog(frame);
    dialog.optIcon[kOwnIconOption]->SetValue(true);
    dialog.optIcon_Click(kOwnIconOption);
    for (const char* name : {"zero.ico", "huge.png", "good.ico"}) dialog.txtIcon->SetValue(wxString::FromUTF8(sim / name));
    EXPECT_EQ(dialog.imgTheIcon->GetBitmap().GetWidth(), 48);
}

// A PNG as the own icon whose data inflates far past its 256 x 256 rows is no
// picture, alone or in an icon file; sound PNGs, interlaced or in an icon
// file, show. The picture shown is decoded once for its path, and is the one
// OK hands to the desktop.
TEST_F(VXDialogs, FileAssociationDecodesAPngIconNoFurtherThanItsRows) {
    const auto write = [this](const std::string& name, const std::vector<uint8_t>& bytes) {
        return sim.Write(name, std::string(bytes.begin(), bytes.end()));
    };
    PngOptions red;  // red through a palette of one colour
    red.Width = red.Height = 48, red.RawSize = 48 * 49;
    PngOptions interlaced = red;
    interlaced.Interlace = 1, interlaced.RawSize = 2394;
    PngOptions bomb = red;
    bomb.Width = bomb.Height = 256, bomb.RawSize = uint64_t{64} << 20;
    const AssociationPaths paths = frmVXFileAssociation::Paths();
    for (const std::string& bad : {write("bomb.png", WritePng(bomb)), write("bomb.ico", IcoOf(WritePng(bomb)))})
        EXPECT_FALSE(AssociationIconImage(kOwnIconOption, bad, paths, 48).IsOk()) << bad;
    AssociationIcons icons;
    for (const std::string& good : {write("red.png", WritePng(red)), write("interlaced.png", WritePng(interlaced)),
                                    write("red.ico", IcoOf(WritePng(red)))}) {
        const wxImage& shown = icons.Image(kOwnIconOption, good, paths);
        ASSERT_TRUE(shown.IsOk()) << good;
        EXPECT_EQ(shown.GetWidth(), 48);
        EXPECT_EQ(shown.GetRed(20, 20), 255) << good;
        EXPECT_EQ(shown.GetGreen(20, 20), 0) << good;
    }
    // The file changed after it was shown: OK writes the picture shown, without reading it again.
    const std::vector<uint8_t> png = icons.Png(kOwnIconOption, sim / "red.ico", paths);
    EXPECT_FALSE(png.empty());
    write("red.ico", WritePng(bomb));
    EXPECT_EQ(icons.Png(kOwnIconOption, sim / "red.ico", paths), png);
    EXPECT_TRUE(icons.Png(kOwnIconOption, sim / "bomb.png", paths).empty());
    EXPECT_TRUE(icons.Png(kOwnIconOption, sim / "red.ico", paths).empty());
}

}  // namespace
