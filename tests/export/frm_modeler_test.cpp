// The modeler dialog as a real window under the test display: opening and OK
// change nothing, the count box, the wooden preset, the crosstie boxes, the
// tabs, and the close box as Cancel.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>

#include "controls/color_controls_wx.h"
#include "controls/uc_numeric_text_box.h"
#include "controls/uc_tab_head.h"
#include "core/app_state.h"
#include "export/frm_modeler.h"
#include "export/modeler_set_file.h"
#include "model/rebuild_flags.h"
#include "platform/color_chooser.h"
#include "platform/scripted_prompts.h"
#include "platform/wx/event_pump.h"
#include "tests/export/window_clicks.h"

namespace {

bool NoFlag() {
    const RemodelFlags& f = gRemodelFlags;
    return !f.RebuildPath && !f.RebuildTrack && !f.RebuildTubes && !f.RebuildFooters && !f.RebuildGround &&
           !f.Recolor && !f.RebuildTunnels && !f.RebuildPrefabs;
}

// Everything the settings hold, exactly (the set's numbers read back bit for bit).
std::string Fingerprint(const ModelerSettings& m) {
    std::string text = BuildModelerSetText(m);
    text += "|" + std::to_string(m.gRails.size()) + "|" + std::to_string(m.gSpines.size());
    for (const TieModel& t : m.gTieModels)
        text += "|" + std::to_string(t.TriangleCount) + "|" + std::to_string(t.Triangles.size());
    text += "|" + std::to_string(m.SupportColor) + "|" + std::to_string(m.TunnelColor);
    return text;
}

// A window's rectangle in the client coordinates of `top`, one of its parents.
wxRect RectIn(wxWindow* w, wxWindow* top) {
    wxRect r(wxPoint(0, 0), w->GetSize());
    for (wxWindow* at = w; at && at != top; at = at->GetParent()) r.Offset(at->GetPosition());
    return r;
}

// Lays out a window and every shown window in it, as their size events would.
void LayoutAll(wxWindow* w) {
    w->Layout();
    for (wxWindow* child : w->GetChildren())
        if (child->IsShown()) LayoutAll(child);
}

// Every shown control under `parent` lies inside its own parent, the page and the dialog.
void ExpectInside(wxWindow* parent, const wxRect& page, const wxRect& client, wxWindow* top) {
    const wxRect own = RectIn(parent, top);
    for (wxWindow* child : parent->GetChildren()) {
        if (!child->IsShown()) continue;
        const wxRect r = RectIn(child, top);
        EXPECT_TRUE(own.Contains(r) && page.Contains(r) && client.Contains(r))
            << child->GetClassInfo()->GetClassName() << " \"" << child->GetLabel() << "\" at " << r.x << "," << r.y
            << " " << r.width << "x" << r.height << " outside " << page.width << "x" << page.height;
        ExpectInside(child, page, client, top);
    }
}

class ModelerDialog : public ::testing::Test {
protected:
    void SetUp() override {
        gAppPath = "/opt/gw/";
        gDocumentType = DocumentNone;
        gModelSettings = ModelerSettings{};
        ApplyTrackStylePresets(3, false);
        gModelSettings.gRails[0].PosX = -0.6049f;
        gModelSettings.TubeScales[0].X = 0.125f;
        gModelSettings.RailDetail = 0.333f;
        gModelSettings.SupportColor = 0x3366CC;
        gModelSettings.gTieModels[0].Triangles.assign(3, TieTriangle{});
        gModelSettings.gTieModels[0].TriangleCount = 2;
        ClearRemodelFlags();
    }
    void TearDown() override {
        if (dialog) dialog->Destroy();
        wxTheApp->ProcessIdle();
        gModelSettings = ModelerSettings{};
        ClearRemodelFlags();
    }
    frmModeler& Open() {
        dialog = new frmModeler(nullptr);
        dialog->Show();
        return *dialog;
    }

    ScriptedPrompts prompts;
    ScopedPrompts scope{prompts};
    frmModeler* dialog = nullptr;
};

}  // namespace

TEST_F(ModelerDialog, OpenThenOkChangesNothing) {
    // Nothing but the loaded crosstie triangles, which OK drops for the next build to read afresh.
    ModelerSettings expected = gModelSettings;
    for (TieModel& tie : expected.gTieModels) {
        tie.Triangles.assign(1, TieTriangle{});
        tie.TriangleCount = 0;
    }
    const std::string before = Fingerprint(expected);
    frmModeler& d = Open();
    EXPECT_EQ(d.GetTitle(), "Modeler");
    // The boxes show two decimals; the settings keep their exact values.
    EXPECT_EQ(d.txtNumRails->GetValue(), "2");
    ASSERT_EQ(d.cmbRails->GetCount(), 2u);
    EXPECT_EQ(d.cmbRails->GetString(1), "Rail Model 02");
    EXPECT_EQ(d.cmbRails->GetSelection(), 0);
    EXPECT_EQ(d.txtRailPos[0]->GetValue(), "-0.60");
    EXPECT_TRUE(d.optSpineShape[1]->GetValue());
    EXPECT_EQ(d.txtTubeScaleX[0]->GetValue(), "0.13");
    EXPECT_EQ(d.txtRailDetail->GetValue(), "0.33");
    EXPECT_EQ(d.txtTieToggle[0]->GetValue(), "6");
    EXPECT_TRUE(d.chkUseTie[1]->GetValue());
    EXPECT_EQ(d.lblSuppColor->GetBackgroundColour(), wxColour(0xCC, 0x66, 0x33));
    // Picking the other rail shows it and stores nothing either.
    d.cmbRails->SetSelection(1);
    wxCommandEvent pick(wxEVT_CHOICE, d.cmbRails->GetId());
    d.cmbRails->GetEventHandler()->ProcessEvent(pick);
    EXPECT_EQ(d.txtRailPos[0]->GetValue(), "0.60");
    Press(d.btnOkay);
    EXPECT_EQ(d.GetReturnCode(), wxID_OK);
    EXPECT_TRUE(NoFlag());
    EXPECT_EQ(Fingerprint(gModelSettings), before);
}

TEST_F(ModelerDialog, CountBoxAndWoodenPreset) {
    frmModeler& d = Open();
    d.txtNumRails->SetValue("3");  // typed: a third rail, the first one selected
    ASSERT_EQ(d.cmbRails->GetCount(), 3u);
    EXPECT_EQ(d.cmbRails->GetSelection(), 0);
    d.txtRailSize->SetValue("0.005");  // red: not stored
    EXPECT_EQ(d.Form().Record(TubeList::Rails, 0)->Size, 0.07f);

    ClearRemodelFlags();
    Press(d.btnTrackStyle[9]);
    EXPECT_EQ(d.txtNumSpines->GetValue(), "0");
    EXPECT_EQ(d.cmbSpines->GetCount(), 0u);
    EXPECT_FALSE(d.txtSpinePos[1]->IsEnabled());
    EXPECT_FALSE(d.optSpineShape[0]->IsEnabled());
    EXPECT_EQ(d.txtSpineSize->GetValue(), "0");
    // Disabled boxes leave their text to the theme's disabled colours (a
    // colour of their own would show them black on white, as editable).
    EXPECT_FALSE(d.txtSpineSize->IsEnabled());
    EXPECT_FALSE(d.txtSpineSize->UseForegroundColour());
    EXPECT_FALSE(d.txtSpinePos[1]->UseForegroundColour());
    EXPECT_TRUE(d.chkRoundFooters->GetValue());
    EXPECT_TRUE(d.chkTunnelSquare->GetValue());
    EXPECT_FALSE(d.txtTunnelSoftness->IsEnabled());
    Press(d.btnOkay);
    EXPECT_EQ(gModelSettings.gSpineCount, 0);
    EXPECT_EQ(gModelSettings.gRailCount, 2);
    EXPECT_EQ(gModelSettings.gRails[0].Shape, RailWood);
    EXPECT_TRUE(gRemodelFlags.RebuildTrack && gRemodelFlags.RebuildFooters && gRemodelFlags.RebuildTunnels);
    EXPECT_FALSE(gRemodelFlags.RebuildGround || gRemodelFlags.RebuildPath);
}

TEST_F(ModelerDialog, CrosstieBoxesAndTabs) {
    frmModeler& d = Open();
    EXPECT_TRUE(d.ucTab[0]->IsShown());
    d.ucTabHead1->ShowTab(2);
    EXPECT_TRUE(d.ucTab[2]->IsShown());
    EXPECT_FALSE(d.ucTab[0]->IsShown());

    EXPECT_TRUE(d.chkTieOpt[1]->IsEnabled());
    Click(d.chkUseTie[0]);  // unticking the primary unticks and disables the alternate
    EXPECT_FALSE(d.chkUseTie[1]->GetValue());
    EXPECT_FALSE(d.chkUseTie[1]->IsEnabled());
    EXPECT_FALSE(d.txtTieModel[0]->IsEnabled());
    EXPECT_FALSE(d.chkTieOpt[1]->IsEnabled());
    EXPECT_TRUE(gRemodelFlags.RebuildTrack);
    EXPECT_FALSE(d.Form().Copy().gTieModels[1].Use);

    // Browse for the primary model: the chosen path is stored; Help opens the page.
    Click(d.chkUseTie[0]);
    prompts.FileDialogAnswers.push_back({true, "/home/me/ties/my,tie.fcobject"});
    Press(d.btnTieBrowse[0]);
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    EXPECT_EQ(prompts.FileDialogs[0].Title, "Select Crosstie Model...");
    EXPECT_EQ(prompts.FileDialogs[0].Filter, "Formcaster Files (*.fcobject)|*.fcobject");
    EXPECT_EQ(prompts.FileDialogs[0].FileName, "/opt/gw/vxtmTie03.fcobject");
    EXPECT_EQ(d.Form().Copy().gTieModels[0].File, "/home/me/ties/my,tie.fcobject");
    gAppPath = GW_TEST_DATA_DIR;
    Press(d.btnHelp);
    ASSERT_EQ(prompts.ShellOpened.size(), 1u);
    EXPECT_EQ(prompts.ShellOpened[0], std::string(GW_TEST_DATA_DIR) + "gtwrhelp/m_modeler.htm");
}

TEST_F(ModelerDialog, SwatchesTakeTheChosenColourOnly) {
    int32_t shownWith = -1;
    bool confirm = false;
    ScopedColorChooser chooser([&](ColorChooserRequest& r) {
        shownWith = r.Color;
        r.Color = 0x00FF80;
        return confirm;
    });
    frmModeler& d = Open();
    d.lblTunnelColor_Click();  // cancelled: nothing changes
    EXPECT_EQ(shownWith, gModelSettings.TunnelColor);
    EXPECT_TRUE(NoFlag());
    confirm = true;
    d.lblTunnelColor_Click();
    EXPECT_EQ(d.lblTunnelColor->GetBackgroundColour(), wxColour(0x80, 0xFF, 0x00));
    EXPECT_TRUE(gRemodelFlags.RebuildTunnels && gRemodelFlags.Recolor);
    EXPECT_FALSE(gRemodelFlags.RebuildTubes);
    d.lblSuppColor_Click();
    EXPECT_EQ(shownWith, 0x3366CC);
    Press(d.btnOkay);
    EXPECT_EQ(gModelSettings.TunnelColor, 0x00FF80);
    EXPECT_EQ(gModelSettings.SupportColor, 0x00FF80);
    EXPECT_TRUE(gRemodelFlags.RebuildTubes && gRemodelFlags.RebuildFooters);
}

TEST_F(ModelerDialog, CloseBoxActsAsCancel) {
    const std::string before = Fingerprint(gModelSettings);
    frmModeler& d = Open();
    d.txtTieSpacing->SetValue("2");
    Click(d.chkTera[1]);
    EXPECT_TRUE(gRemodelFlags.RebuildTrack && gRemodelFlags.RebuildGround);
    d.Close();
    EXPECT_EQ(d.GetReturnCode(), wxID_CANCEL);
    EXPECT_FALSE(d.IsShown());
    EXPECT_TRUE(NoFlag());
    EXPECT_EQ(Fingerprint(gModelSettings), before);
}

TEST_F(ModelerDialog, EveryPageShowsAllItsControlsOnASmallScreen) {
    frmModeler& d = Open();
    EXPECT_TRUE(d.HasFlag(wxRESIZE_BORDER));
    for (int page = 0; page < 6; ++page) {
        SCOPED_TRACE(page);
        d.ucTabHead_TabClick(page);
        // The page is measured once it has been drawn with its theme's sizes.
        RunEventsUntil([&] { return d.PageMeasured(page); }, 20000);
        ASSERT_TRUE(d.PageMeasured(page));
        DeliverReadyEvents();
        LayoutAll(&d);
        EXPECT_LE(d.GetSize().x, 1024);
        EXPECT_LE(d.GetSize().y, 768);
        const wxRect client(wxPoint(0, 0), d.GetClientSize());
        ExpectInside(d.ucTab[page], RectIn(d.ucTab[page], &d), client, &d);
    }
}

TEST_F(ModelerDialog, RedBoxKeepsOkForceAndSaveDisabled) {
    frmModeler& d = Open();
    auto red = [](ucNumericTextBox* box) { return box->GetForegroundColour() == wxColour(255, 0, 0); };
    auto takers = [&d] {
        return d.btnOkay->IsEnabled() + d.btnForceRemodel->IsEnabled() + d.btnStyle[1]->IsEnabled();
    };
    // The preset's toggle counts and bank angle stand disabled and are never red.
    ClearRemodelFlags();
    Press(d.btnTrackStyle[0]);
    for (ucNumericTextBox* box : {d.txtTieToggle[0], d.txtTieToggle[1], d.txtTieBank}) {
        EXPECT_FALSE(box->IsEnabled());
        EXPECT_FALSE(red(box));
        EXPECT_FALSE(box->UseForegroundColour()) << "drawn as disabled";
    }
    EXPECT_EQ(d.txtTieBank->GetValue(), "0.00");
    EXPECT_EQ(takers(), 3);

    // 11 in "Large Tube" X (up to 10): red; the copy keeps the last value in range.
    d.txtTubeScaleX[2]->SetValue("1");
    d.txtTubeScaleX[2]->SetValue("11");
    EXPECT_TRUE(red(d.txtTubeScaleX[2]));
    EXPECT_EQ(takers(), 0);
    d.txtTubeScaleX[2]->SetValue("7.5");
    EXPECT_EQ(takers(), 3);
    EXPECT_EQ(d.Form().Copy().TubeScales[2].X, 7.5f);
    // Not one number as a whole: red, and nothing stored.
    for (const char* text : {"0.1.3", "", "."}) {
        d.txtTubeScaleX[2]->SetValue(text);
        EXPECT_TRUE(red(d.txtTubeScaleX[2])) << text;
        EXPECT_EQ(takers(), 0) << text;
    }
    EXPECT_EQ(d.Form().Copy().TubeScales[2].X, 7.5f);
    d.txtTubeScaleX[2]->SetValue("7.5");

    // The bank angle is in use once its option is ticked: its 0 is then refused.
    Press(d.btnTrackStyle[3]);
    Click(d.chkTieOpt[1]);
    EXPECT_TRUE(d.txtTieBank->IsEnabled());
    EXPECT_TRUE(red(d.txtTieBank));
    EXPECT_EQ(takers(), 0);
    d.txtTieBank->SetValue("200");  // typed and refused, then the option unticked:
    Click(d.chkTieOpt[1]);          // the box shows the copy's value again
    EXPECT_EQ(d.txtTieBank->GetValue(), "0.00");
    EXPECT_EQ(takers(), 3);
    Click(d.chkTieOpt[1]);
    d.txtTieBank->SetValue("30");
    Press(d.btnOkay);
    EXPECT_TRUE(gModelSettings.AltOnBank);
    EXPECT_EQ(gModelSettings.AltBank, 30.0f);
    EXPECT_EQ(gModelSettings.TubeScales[2].X, 7.5f);
}

TEST_F(ModelerDialog, AlternateWithoutPrimaryIsShownAndAppliedUnused) {
    gModelSettings.gTieModels[0].Use = false;  // a set of 0UseTie=False, 1UseTie=True
    frmModeler& d = Open();
    EXPECT_FALSE(d.chkUseTie[1]->GetValue());
    EXPECT_FALSE(d.Form().Copy().gTieModels[1].Use);
    Press(d.btnOkay);
    EXPECT_FALSE(gModelSettings.gTieModels[1].Use);
    EXPECT_TRUE(gRemodelFlags.RebuildTrack);  // the alternates go at once
}
