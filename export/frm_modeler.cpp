#include "export/frm_modeler.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/color_controls_wx.h"
#include "controls/color_dialog.h"
#include "controls/uc_container.h"
#include "controls/uc_draw.h"
#include "controls/uc_numeric_text_box.h"
#include "controls/uc_tab_head.h"
#include "core/app_state.h"
#include "core/file_dialogs.h"
#include "core/help_launcher.h"
#include "core/number_formats.h"
#include "export/modeler_set_file.h"
#include "model/build_pipeline.h"
#include "model/rebuild_flags.h"
#include "platform/wx/wx_prompts.h"
#include "platform/wx/wx_refit.h"

namespace {

constexpr int kMargin = 6;
constexpr int kBoxWidth = 56;

ucNumericTextBox* Box(wxWindow* parent, const uc::NumericBoxRule& rule) {
    return new ucNumericTextBox(parent, wxID_ANY, rule, wxString(), wxDefaultPosition, wxSize(kBoxWidth, -1));
}

wxStaticText* Label(wxWindow* parent, const char* text) { return new wxStaticText(parent, wxID_ANY, text); }

// Marks the pages as being filled for the lifetime of the object.
class RefreshScope {
public:
    explicit RefreshScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~RefreshScope() { flag_ = previous_; }
    RefreshScope(const RefreshScope&) = delete;
    RefreshScope& operator=(const RefreshScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

void EnableAll(const std::vector<wxWindow*>& windows, bool enabled) {
    for (wxWindow* w : windows) w->Enable(enabled);
}

}  // namespace

void ShowModelerDialog(wxWindow* owner) {
    if (IsModelBuilding()) return;
    frmModeler dialog(owner);
    dialog.ShowModal();
}

frmModeler::frmModeler(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, kModelerTitle, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    SetFont(uc::DialogFont());
    auto* top = new wxBoxSizer(wxVERTICAL);
    ucTabHead1 = new ucTabHead(this, wxID_ANY);
    top->Add(ucTabHead1, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kMargin);
    for (ucTabContainer*& page : ucTab) page = new ucTabContainer(this, wxID_ANY);

    BuildRailPages();
    BuildCrosstiePage();
    BuildSupportPage();
    BuildTerrainExtrasPages();

    // Every page stands at the same place with the same size: the largest.
    for (ucTabContainer* page : ucTab) top->Add(page, 1, wxEXPAND | wxLEFT | wxRIGHT, kMargin);
    BuildStylePanel(top);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    btnForceRemodel = new wxButton(this, wxID_ANY, "Force Remodel All");
    btnOkay = new wxButton(this, wxID_ANY, "OK");
    btnCancel = new wxButton(this, wxID_ANY, "Cancel");
    btnHelp = new wxButton(this, wxID_ANY, "Help");
    buttons->Add(btnForceRemodel, 0);
    buttons->AddStretchSpacer();
    buttons->Add(btnOkay, 0, wxRIGHT, kMargin);
    buttons->Add(btnCancel, 0, wxRIGHT, kMargin);
    buttons->Add(btnHelp, 0);
    top->Add(buttons, 0, wxEXPAND | wxALL, kMargin);
    btnOkay->SetDefault();
    SetEscapeId(btnCancel->GetId());

    BindEdits();
    SetSizer(top);

    // Form_Load.
    for (const char* caption : kModelerTabCaptions) ucTabHead1->AddTab(caption);
    RefreshModelerPages();
    ucTabHead1->ShowTab(0);
    ClearRemodelFlags();

    // Every numeric box keeps OK, Force Remodel All and Save disabled while it is red.
    std::vector<ucNumericTextBox*> boxes = {txtNumRails,   txtRailSize,   txtRailDetail, txtNumSpines,
                                            txtSpineSize,  txtSpineDetail, txtTieSpacing, txtTieToggle[0],
                                            txtTieToggle[1], txtTieBank,  txtTunnelSoftness};
    boxes.insert(boxes.end(), txtRailPos.begin(), txtRailPos.end());
    boxes.insert(boxes.end(), txtSpinePos.begin(), txtSpinePos.end());
    boxes.insert(boxes.end(), txtTubeScaleX.begin(), txtTubeScaleX.end());
    boxes.insert(boxes.end(), txtTubeScaleZ.begin(), txtTubeScaleZ.end());
    for (ucNumericTextBox* box : boxes) {
        box->SetCheckedWhileEnabledOnly(true);
        mBoxes.Add(box);
    }
    for (wxWindow* button : {static_cast<wxWindow*>(btnOkay), static_cast<wxWindow*>(btnForceRemodel),
                             static_cast<wxWindow*>(btnStyle[1])})
        mBoxes.ControlButton(button);

    FitPages();
    CentreOnParent();
    // A page's controls take their theme's sizes only once the page is shown
    // and drawn; its first drawing measures the page again, and a page that
    // needs more room enlarges every page and the dialog.
    for (size_t i = 0; i < ucTab.size(); ++i)
        ucTab[i]->Bind(wxEVT_PAINT, [this, i](wxPaintEvent& event) {
            event.Skip();
            if (mPageMeasured[i]) return;
            mPageMeasured[i] = true;
            CallAfter([this] { FitPages(); });
        });
}

namespace {

void FindTextBoxes(wxWindow* window, std::vector<wxTextCtrl*>& boxes) {
    for (wxWindow* child : window->GetChildren()) {
        if (auto* box = dynamic_cast<wxTextCtrl*>(child)) boxes.push_back(box);
        FindTextBoxes(child, boxes);
    }
}

}  // namespace

void frmModeler::FitPages() {
    // Before a page is drawn, its text boxes measure without the theme's
    // padding; they take the height that the boxes of a drawn page have, so
    // that no page is first shown too small for its controls.
    // Measured once, from the first drawn page: a box's height given as its
    // least height would otherwise come back larger from every measuring.
    if (mDrawnBoxHeight == 0) {
        for (size_t i = 0; i < ucTab.size(); ++i) {
            if (!mPageMeasured[i]) continue;
            std::vector<wxTextCtrl*> boxes;
            FindTextBoxes(ucTab[i], boxes);
            for (wxTextCtrl* box : boxes) {
                box->InvalidateBestSize();
                mDrawnBoxHeight = std::max(mDrawnBoxHeight, box->GetBestSize().y);
            }
        }
        if (mDrawnBoxHeight > 0) {
            std::vector<wxTextCtrl*> boxes;
            FindTextBoxes(this, boxes);
            for (wxTextCtrl* box : boxes) box->SetMinSize(wxSize(box->GetMinSize().x, mDrawnBoxHeight));
        }
    }
    wxSize pageSize;
    for (ucTabContainer* page : ucTab) {
        InvalidateBestSizes(page);
        page->SetMinSize(wxDefaultSize);
        pageSize.IncTo(page->GetBestSize());
    }
    for (ucTabContainer* page : ucTab) page->SetMinSize(pageSize);
    // The smallest size that shows every control; a dialog the user made
    // larger stays so.
    GrowToFit(this);
}

void frmModeler::BuildRailPages() {
    struct Spec {
        TubeList list;
        const char* numCaption;
        ucNumericTextBox** num;
        wxChoice** choice;
        ucNumericTextBox** pos;
        ucNumericTextBox** size;
        wxRadioButton** shapes;
        int shapeCount;
        ucNumericTextBox** detail;
        std::vector<wxWindow*>* labels;
    };
    const Spec specs[2] = {
        {TubeList::Rails, "Number of Rails:", &txtNumRails, &cmbRails, txtRailPos.data(), &txtRailSize,
         optRailShape.data(), 3, &txtRailDetail, &mRailLabels},
        {TubeList::Spines, "Number of Spines:", &txtNumSpines, &cmbSpines, txtSpinePos.data(), &txtSpineSize,
         optSpineShape.data(), 2, &txtSpineDetail, &mSpineLabels},
    };
    const char* shapeCaptions[3] = {"Round", "Square", "Wood"};
    const char* axisCaptions[3] = {"X", "Y", "Z"};
    for (int p = 0; p < 2; ++p) {
        const Spec& s = specs[p];
        wxWindow* page = ucTab[static_cast<size_t>(p)];
        auto* grid = new wxFlexGridSizer(2, kMargin, kMargin);
        *s.num = Box(page, kCountRule);
        grid->Add(Label(page, s.numCaption), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(*s.num, 0);
        grid->AddSpacer(0);
        *s.choice = new wxChoice(page, wxID_ANY, wxDefaultPosition, wxSize(160, -1));
        grid->Add(*s.choice, 0);

        wxStaticText* posLabel = Label(page, "Position:");
        auto* posRow = new wxBoxSizer(wxHORIZONTAL);
        s.labels->push_back(posLabel);
        for (int a = 0; a < 3; ++a) {
            wxStaticText* axis = Label(page, axisCaptions[a]);
            s.labels->push_back(axis);
            s.pos[a] = Box(page, kPositionRule);
            posRow->Add(axis, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 2);
            posRow->Add(s.pos[a], 0, wxRIGHT, kMargin);
        }
        grid->Add(posLabel, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(posRow, 0);

        wxStaticText* sizeLabel = Label(page, "Size:");
        s.labels->push_back(sizeLabel);
        *s.size = Box(page, kSizeRule);
        grid->Add(sizeLabel, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(*s.size, 0);

        wxStaticText* shapeLabel = Label(page, "Shape:");
        s.labels->push_back(shapeLabel);
        auto* shapeRow = new wxBoxSizer(wxHORIZONTAL);
        for (int i = 0; i < s.shapeCount; ++i) {
            s.shapes[i] = new wxRadioButton(page, wxID_ANY, shapeCaptions[i], wxDefaultPosition, wxDefaultSize,
                                            i == 0 ? wxRB_GROUP : 0);
            shapeRow->Add(s.shapes[i], 0, wxRIGHT, kMargin);
        }
        grid->Add(shapeLabel, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(shapeRow, 0);

        *s.detail = Box(page, kDetailRule);
        auto* detailRow = new wxBoxSizer(wxHORIZONTAL);
        detailRow->Add(*s.detail, 0, wxRIGHT, 4);
        detailRow->Add(Label(page, "meters"), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(Label(page, "Curvature Spacing:"), 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(detailRow, 0);

        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(grid, 0, wxALL, 2 * kMargin);
        page->SetSizer(sizer);
    }
}

void frmModeler::BuildCrosstiePage() {
    wxWindow* page = ucTab[2];
    auto* sizer = new wxBoxSizer(wxVERTICAL);

    auto* models = new ucContainer(page, wxID_ANY, wxDefaultPosition, wxDefaultSize, " Crosstie Models");
    wxBoxSizer* modelRows = models->SetContentsSizer(wxVERTICAL, kMargin + 2);
    const char* useCaptions[2] = {"Use Primary Crosstie", "Use Alternate Crosstie"};
    for (int i = 0; i < 2; ++i) {
        chkUseTie[i] = new wxCheckBox(models, wxID_ANY, useCaptions[i]);
        modelRows->Add(chkUseTie[i], 0, wxBOTTOM, 2);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        wxStaticText* label = Label(models, "Model File:");
        mTieModelLabels[i].push_back(label);
        txtTieModel[i] = new wxTextCtrl(models, wxID_ANY, wxString(), wxDefaultPosition, wxSize(260, -1));
        btnTieBrowse[i] = new wxButton(models, wxID_ANY, "...", wxDefaultPosition, wxSize(28, -1), wxBU_EXACTFIT);
        row->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, kMargin);
        row->Add(txtTieModel[i], 1, wxALIGN_CENTER_VERTICAL);
        row->Add(btnTieBrowse[i], 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
        modelRows->Add(row, 0, wxEXPAND | wxBOTTOM, kMargin);
    }
    auto* spacingRow = new wxBoxSizer(wxHORIZONTAL);
    lblTieSpacing = Label(models, "Spacing:");
    txtTieSpacing = Box(models, kTieSpacingRule);
    wxStaticText* meters = Label(models, "meters");
    mTieModelLabels[0].push_back(meters);
    spacingRow->Add(lblTieSpacing, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
    spacingRow->Add(txtTieSpacing, 0, wxRIGHT, 4);
    spacingRow->Add(meters, 0, wxALIGN_CENTER_VERTICAL);
    modelRows->Add(spacingRow, 0);
    sizer->Add(models, 0, wxEXPAND | wxALL, kMargin);

    auto* extras = new ucContainer(page, wxID_ANY, wxDefaultPosition, wxDefaultSize, " Crosstie Extras");
    wxBoxSizer* extraRows = extras->SetContentsSizer(wxVERTICAL, kMargin + 2);
    chkTieOpt[0] = new wxCheckBox(extras, wxID_ANY, "Toggle:");
    auto* toggleRow = new wxBoxSizer(wxHORIZONTAL);
    toggleRow->Add(chkTieOpt[0], 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
    const char* toggleLabels[2] = {"Primary:", "times, Alternate:"};
    for (int i = 0; i < 2; ++i) {
        wxStaticText* label = Label(extras, toggleLabels[i]);
        mTieToggleLabels.push_back(label);
        txtTieToggle[i] = Box(extras, kTieToggleRule);
        toggleRow->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
        toggleRow->Add(txtTieToggle[i], 0, wxRIGHT, 4);
    }
    wxStaticText* times = Label(extras, "times");
    mTieToggleLabels.push_back(times);
    toggleRow->Add(times, 0, wxALIGN_CENTER_VERTICAL);
    extraRows->Add(toggleRow, 0, wxBOTTOM, kMargin);

    chkTieOpt[1] = new wxCheckBox(extras, wxID_ANY, "Use Alternate when Banking is Over:");
    txtTieBank = Box(extras, kTieBankRule);
    wxStaticText* degrees = Label(extras, "degrees");
    mTieBankLabels.push_back(degrees);
    auto* bankRow = new wxBoxSizer(wxHORIZONTAL);
    bankRow->Add(chkTieOpt[1], 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
    bankRow->Add(txtTieBank, 0, wxRIGHT, 4);
    bankRow->Add(degrees, 0, wxALIGN_CENTER_VERTICAL);
    extraRows->Add(bankRow, 0, wxBOTTOM, kMargin);

    chkTieOpt[2] = new wxCheckBox(extras, wxID_ANY, "Use Alternate at the Start of Every Segment");
    extraRows->Add(chkTieOpt[2], 0);
    sizer->Add(extras, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    page->SetSizer(sizer);
}

void frmModeler::BuildSupportPage() {
    wxWindow* page = ucTab[3];
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    auto* scales = new ucContainer(page, wxID_ANY, wxDefaultPosition, wxDefaultSize, " Tube Scales");
    // Two columns of five rows: the tubes, then the beams.
    auto* grid = new wxFlexGridSizer(9, 3, 4);
    scales->SetContentsSizer(wxVERTICAL, kMargin + 2)->Add(grid, 0);
    for (int i = 0; i < kShownTubeScales; ++i) {
        txtTubeScaleX[i] = Box(scales, kTubeScaleRule);
        txtTubeScaleZ[i] = Box(scales, kTubeScaleRule);
    }
    for (int row = 0; row < kShownTubeScales / 2; ++row) {
        for (int i : {row, row + kShownTubeScales / 2}) {
            grid->Add(Label(scales, kTubeScaleCaptions[static_cast<size_t>(i)]), 0, wxALIGN_CENTER_VERTICAL);
            grid->Add(txtTubeScaleX[i], 0);
            grid->Add(Label(scales, "x"), 0, wxALIGN_CENTER_VERTICAL);
            grid->Add(txtTubeScaleZ[i], 0);
            if (i == row) grid->AddSpacer(2 * kMargin);
        }
    }
    sizer->Add(scales, 0, wxALL, kMargin);

    auto* extra = new ucContainer(page, wxID_ANY, wxDefaultPosition, wxDefaultSize, " Extra");
    wxBoxSizer* rows = extra->SetContentsSizer(wxVERTICAL, kMargin + 2);
    chkRoundFooters = new wxCheckBox(extra, wxID_ANY, "Round Footers");
    rows->Add(chkRoundFooters, 0, wxBOTTOM, kMargin);
    auto* colorRow = new wxBoxSizer(wxHORIZONTAL);
    lblSuppColor = new ucColorSwatch(extra, 0, wxSize(48, 18));
    lblSuppColor->SetCursor(wxCursor(wxCURSOR_HAND));
    colorRow->Add(Label(extra, "Support Color:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
    colorRow->Add(lblSuppColor, 0, wxALIGN_CENTER_VERTICAL);
    rows->Add(colorRow, 0);
    sizer->Add(extra, 1, wxTOP | wxRIGHT | wxBOTTOM | wxALIGN_TOP, kMargin);
    page->SetSizer(sizer);
}

void frmModeler::BuildTerrainExtrasPages() {
    {
        wxWindow* page = ucTab[4];
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        auto* terrain = new ucContainer(page, wxID_ANY, wxDefaultPosition, wxDefaultSize, " Terrain Modeling");
        wxBoxSizer* rows = terrain->SetContentsSizer(wxVERTICAL, kMargin + 2);
        chkTera[0] = new wxCheckBox(terrain, wxID_ANY, "Create Terrain Model");
        chkTera[1] = new wxCheckBox(terrain, wxID_ANY, "Low Detail Model");
        rows->Add(chkTera[0], 0, wxBOTTOM, kMargin);
        rows->Add(chkTera[1], 0);
        sizer->Add(terrain, 0, wxEXPAND | wxALL, kMargin);
        page->SetSizer(sizer);
    }
    wxWindow* page = ucTab[5];
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* tunnels = new ucContainer(page, wxID_ANY, wxDefaultPosition, wxDefaultSize, " Tunnel Modeling");
    wxBoxSizer* rows = tunnels->SetContentsSizer(wxVERTICAL, kMargin + 2);
    auto* colorRow = new wxBoxSizer(wxHORIZONTAL);
    lblTunnelColor = new ucColorSwatch(tunnels, 0, wxSize(48, 18));
    lblTunnelColor->SetCursor(wxCursor(wxCURSOR_HAND));
    colorRow->Add(Label(tunnels, "Tunnel Color:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
    colorRow->Add(lblTunnelColor, 0, wxALIGN_CENTER_VERTICAL);
    rows->Add(colorRow, 0, wxBOTTOM, kMargin);
    chkTunnelSquare = new wxCheckBox(tunnels, wxID_ANY, "Use Square Tunnels");
    rows->Add(chkTunnelSquare, 0, wxBOTTOM, kMargin);
    auto* softRow = new wxBoxSizer(wxHORIZONTAL);
    lblTunnelSoftness = Label(tunnels, "Round Tunnel Softness:");
    txtTunnelSoftness = Box(tunnels, kSoftnessRule);
    softRow->Add(lblTunnelSoftness, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
    softRow->Add(txtTunnelSoftness, 0);
    rows->Add(softRow, 0);
    sizer->Add(tunnels, 0, wxEXPAND | wxALL, kMargin);
    page->SetSizer(sizer);
}

void frmModeler::BuildStylePanel(wxSizer* top) {
    auto* panel = new ucContainer(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, " Track Style");
    wxBoxSizer* row = panel->SetContentsSizer(wxHORIZONTAL, kMargin + 2);
    auto* grid = new wxGridSizer(2, 5, 4, 4);
    for (size_t i = 0; i < btnTrackStyle.size(); ++i) {
        btnTrackStyle[i] = new wxButton(panel, wxID_ANY, kTrackStyleCaptions[i]);
        grid->Add(btnTrackStyle[i], 0, wxEXPAND);
    }
    row->Add(grid, 1);
    auto* files = new wxBoxSizer(wxVERTICAL);
    btnStyle[0] = new wxButton(panel, wxID_ANY, "Open");
    btnStyle[1] = new wxButton(panel, wxID_ANY, "Save");
    files->Add(btnStyle[0], 0, wxBOTTOM, 4);
    files->Add(btnStyle[1], 0);
    row->Add(files, 0, wxLEFT, 3 * kMargin);
    top->Add(panel, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kMargin);
}

void frmModeler::BindEdits() {
    ucTabHead1->TabClick = [this](int32_t index) { ucTabHead_TabClick(index); };
    auto guarded = [this](std::function<void()> edit) {
        return [this, edit = std::move(edit)] {
            if (!mRefreshing) edit();
        };
    };
    for (TubeList list : {TubeList::Rails, TubeList::Spines}) {
        const TubeControls c = Tube(list);
        c.Num->Changed = guarded([this, list] { NumChanged(list); });
        c.List->Bind(wxEVT_CHOICE, [this, list](wxCommandEvent&) { ShowSelectedRecord(list); });
        for (int a = 0; a < 3; ++a)
            c.Pos[a]->Changed = guarded([this, list, a] {
                mForm.EditPosition(list, Tube(list).List->GetSelection(), a, Tube(list).Pos[a]->Text());
            });
        c.Size->Changed = guarded([this, list] {
            mForm.EditSize(list, Tube(list).List->GetSelection(), Tube(list).Size->Text());
        });
        for (size_t i = 0; i < c.Shape.size(); ++i)
            c.Shape[i]->Bind(wxEVT_RADIOBUTTON, [this, list, i](wxCommandEvent&) {
                if (!mRefreshing) mForm.SetShape(list, Tube(list).List->GetSelection(), static_cast<int16_t>(i));
            });
        c.Detail->Changed = guarded([this, list] { mForm.EditDetail(list, Tube(list).Detail->Text()); });
    }

    for (int i = 0; i < 2; ++i) {
        chkUseTie[i]->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { ChkUseTieClick(); });
        txtTieModel[i]->Bind(wxEVT_TEXT, [this, i](wxCommandEvent&) {
            if (!mRefreshing) mForm.EditTieModel(i, FromWxPath(txtTieModel[i]->GetValue()));
        });
        btnTieBrowse[i]->Bind(wxEVT_BUTTON, [this, i](wxCommandEvent&) { btnTieBrowse_Click(i); });
        txtTieToggle[i]->Changed = guarded([this, i] { mForm.EditTieToggle(i, txtTieToggle[i]->Text()); });
    }
    for (wxCheckBox* box : chkTieOpt) box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { ChkTieOptClick(); });
    txtTieSpacing->Changed = guarded([this] { mForm.EditTieSpacing(txtTieSpacing->Text()); });
    txtTieBank->Changed = guarded([this] { mForm.EditTieBank(txtTieBank->Text()); });

    for (int i = 0; i < kShownTubeScales; ++i) {
        txtTubeScaleX[i]->Changed = guarded([this, i] { mForm.EditTubeScale(i, 0, txtTubeScaleX[i]->Text()); });
        txtTubeScaleZ[i]->Changed = guarded([this, i] { mForm.EditTubeScale(i, 2, txtTubeScaleZ[i]->Text()); });
    }
    chkRoundFooters->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        if (!mRefreshing) mForm.SetRoundFooters(chkRoundFooters->GetValue());
    });
    lblSuppColor->Clicked = [this] { lblSuppColor_Click(); };
    for (wxCheckBox* box : chkTera)
        box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
            if (!mRefreshing) mForm.SetTerrain(chkTera[0]->GetValue(), chkTera[1]->GetValue());
        });
    lblTunnelColor->Clicked = [this] { lblTunnelColor_Click(); };
    chkTunnelSquare->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        ApplyTunnelEnabling();
        if (!mRefreshing) mForm.SetSquareTunnels(chkTunnelSquare->GetValue());
    });
    txtTunnelSoftness->Changed = guarded([this] { mForm.EditTunnelSoftness(txtTunnelSoftness->Text()); });

    for (size_t i = 0; i < btnTrackStyle.size(); ++i)
        btnTrackStyle[i]->Bind(wxEVT_BUTTON, [this, i](wxCommandEvent&) { btnTrackStyle_Click(static_cast<int>(i)); });
    for (size_t i = 0; i < btnStyle.size(); ++i)
        btnStyle[i]->Bind(wxEVT_BUTTON, [this, i](wxCommandEvent&) { btnStyle_Click(static_cast<int>(i)); });
    btnForceRemodel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnForceRemodel_Click(); });
    btnOkay->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnOkay_Click(); });
    btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnCancel_Click(); });
    btnHelp->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { btnHelp_Click(); });
    Bind(wxEVT_CLOSE_WINDOW, &frmModeler::OnClose, this);
}

frmModeler::TubeControls frmModeler::Tube(TubeList list) const {
    TubeControls c;
    if (list == TubeList::Rails) {
        c.Num = txtNumRails;
        c.List = cmbRails;
        c.Pos = txtRailPos;
        c.Size = txtRailSize;
        c.Shape.assign(optRailShape.begin(), optRailShape.end());
        c.Detail = txtRailDetail;
        c.RecordLabels = mRailLabels;
    } else {
        c.Num = txtNumSpines;
        c.List = cmbSpines;
        c.Pos = txtSpinePos;
        c.Size = txtSpineSize;
        c.Shape.assign(optSpineShape.begin(), optSpineShape.end());
        c.Detail = txtSpineDetail;
        c.RecordLabels = mSpineLabels;
    }
    return c;
}

void frmModeler::ucTabHead_TabClick(int32_t Index) {
    for (ucTabContainer* page : ucTab) page->Hide();
    if (Index >= 0 && Index < static_cast<int32_t>(ucTab.size())) ucTab[static_cast<size_t>(Index)]->Show();
    Layout();
}

void frmModeler::RefreshModelerPages() {
    RefreshScope scope(mRefreshing);
    txtNumRails->SetValue(FormatInteger(mForm.Count(TubeList::Rails)));
    txtNumSpines->SetValue(FormatInteger(mForm.Count(TubeList::Spines)));
    RefreshTubePage(TubeList::Rails);
    RefreshTubePage(TubeList::Spines);
    RefreshCrosstiePage();
    RefreshSupportPage();
    RefreshTerrainPage();
    RefreshExtrasPage();
}

void frmModeler::RefreshTubePage(TubeList list) {
    RefreshScope scope(mRefreshing);
    const TubeControls c = Tube(list);
    const int count = mForm.Count(list);
    c.List->Clear();
    for (int i = 1; i <= count; ++i) c.List->Append(TubeEntryText(list, i));
    const bool any = count > 0;
    for (ucNumericTextBox* box : c.Pos) box->Enable(any);
    c.Size->Enable(any);
    for (wxRadioButton* option : c.Shape) option->Enable(any);
    EnableAll(c.RecordLabels, any);
    if (!any) {
        for (ucNumericTextBox* box : c.Pos) box->SetValue("0");
        c.Size->SetValue("0");
        return;
    }
    c.List->SetSelection(0);
    ShowSelectedRecord(list);
}

void frmModeler::ShowSelectedRecord(TubeList list) {
    // Showing a record stores nothing: the boxes round to two decimals.
    RefreshScope scope(mRefreshing);
    const TubeControls c = Tube(list);
    const RailSpec* r = mForm.Record(list, c.List->GetSelection());
    if (!r) return;
    c.Pos[0]->SetValue(FormatInvariant2(r->PosX));
    c.Pos[1]->SetValue(FormatInvariant2(r->PosY));
    c.Pos[2]->SetValue(FormatInvariant2(r->PosZ));
    c.Size->SetValue(FormatInvariant2(r->Size));
    if (r->Shape >= 0 && static_cast<size_t>(r->Shape) < c.Shape.size()) c.Shape[static_cast<size_t>(r->Shape)]->SetValue(true);
}

void frmModeler::RefreshCrosstiePage() {
    RefreshScope scope(mRefreshing);
    const ModelerSettings& m = mForm.Copy();
    for (int i = 0; i < 2; ++i) {
        chkUseTie[i]->SetValue(m.gTieModels[static_cast<size_t>(i)].Use);
        txtTieModel[i]->SetValue(ToWxPath(m.gTieModels[static_cast<size_t>(i)].File));
    }
    txtTieSpacing->SetValue(FormatInvariant2(m.TieSpacing));
    txtTieToggle[0]->SetValue(FormatLong(m.ToggleCount1));
    txtTieToggle[1]->SetValue(FormatLong(m.ToggleCount2));
    txtTieBank->SetValue(FormatInvariant2(m.AltBank));
    chkTieOpt[0]->SetValue(m.ToggleTies);
    chkTieOpt[1]->SetValue(m.AltOnBank);
    chkTieOpt[2]->SetValue(m.AltOnStart);
    ApplyCrosstieEnabling();
}

void frmModeler::RefreshSupportPage() {
    RefreshScope scope(mRefreshing);
    const ModelerSettings& m = mForm.Copy();
    for (int i = 0; i < kShownTubeScales; ++i) {
        txtTubeScaleX[i]->SetValue(FormatInvariant2(m.TubeScales[static_cast<size_t>(i)].X));
        txtTubeScaleZ[i]->SetValue(FormatInvariant2(m.TubeScales[static_cast<size_t>(i)].Z));
    }
    chkRoundFooters->SetValue(m.RoundFooters);
    lblSuppColor->SetColor(m.SupportColor);
}

void frmModeler::RefreshTerrainPage() {
    RefreshScope scope(mRefreshing);
    chkTera[0]->SetValue(mForm.Copy().UseTerrain);
    chkTera[1]->SetValue(mForm.Copy().LowDetailTerrain);
}

void frmModeler::RefreshExtrasPage() {
    RefreshScope scope(mRefreshing);
    const ModelerSettings& m = mForm.Copy();
    txtTunnelSoftness->SetValue(FormatLong(m.TunnelSoftness));
    lblTunnelColor->SetColor(m.TunnelColor);
    chkTunnelSquare->SetValue(m.SquareTunnels);
    ApplyTunnelEnabling();
    txtRailDetail->SetValue(FormatInvariant2(m.RailDetail));
    txtSpineDetail->SetValue(FormatInvariant2(m.SpineDetail));
}

void frmModeler::ApplyCrosstieEnabling() {
    const CrosstieEnabling e = CrosstiePageEnabling(chkUseTie[0]->GetValue(), chkUseTie[1]->GetValue(),
                                                    chkTieOpt[0]->GetValue(), chkTieOpt[1]->GetValue());
    if (e.UntickAlternate) chkUseTie[1]->SetValue(false);
    const ModelerSettings& m = mForm.Copy();
    txtTieModel[0]->Enable(e.PrimaryModel);
    btnTieBrowse[0]->Enable(e.PrimaryModel);
    EnableAll(mTieModelLabels[0], e.PrimaryModel);
    lblTieSpacing->Enable(e.PrimaryModel);
    EnableBox(txtTieSpacing, e.PrimaryModel, FormatInvariant2(m.TieSpacing));
    chkUseTie[1]->Enable(e.AlternateUse);
    txtTieModel[1]->Enable(e.AlternateModel);
    btnTieBrowse[1]->Enable(e.AlternateModel);
    EnableAll(mTieModelLabels[1], e.AlternateModel);
    for (wxCheckBox* box : chkTieOpt) box->Enable(e.Extras);
    EnableAll(mTieToggleLabels, e.Toggle);
    EnableBox(txtTieToggle[0], e.Toggle, FormatLong(m.ToggleCount1));
    EnableBox(txtTieToggle[1], e.Toggle, FormatLong(m.ToggleCount2));
    EnableAll(mTieBankLabels, e.Bank);
    EnableBox(txtTieBank, e.Bank, FormatInvariant2(m.AltBank));
}

void frmModeler::ApplyTunnelEnabling() {
    const bool round = !chkTunnelSquare->GetValue();
    EnableBox(txtTunnelSoftness, round, FormatLong(mForm.Copy().TunnelSoftness));
    lblTunnelSoftness->Enable(round);
}

void frmModeler::EnableBox(ucNumericTextBox* box, bool enabled, const std::string& copyText) {
    if (!enabled && box->IsThisEnabled()) {
        // A text typed and refused does not stay behind a disabled box.
        RefreshScope scope(mRefreshing);
        box->SetValue(wxString::FromUTF8(copyText));
    }
    box->Enable(enabled);
}

void frmModeler::NumChanged(TubeList list) {
    const int before = mForm.Count(list);
    mForm.EditCount(list, Tube(list).Num->Text());
    if (mForm.Count(list) != before) RefreshTubePage(list);
}

void frmModeler::ChkUseTieClick() {
    if (mRefreshing) return;
    ApplyCrosstieEnabling();
    mForm.SetTieUse(chkUseTie[0]->GetValue(), chkUseTie[1]->GetValue());
}

void frmModeler::ChkTieOptClick() {
    if (mRefreshing) return;
    ApplyCrosstieEnabling();
    mForm.SetTieOptions(chkTieOpt[0]->GetValue(), chkTieOpt[1]->GetValue(), chkTieOpt[2]->GetValue());
}

void frmModeler::btnTieBrowse_Click(int index) {
    std::string fileName = FromWxPath(txtTieModel[index]->GetValue());
    std::string fileTitle;
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 0;
    if (ShowOpenFileDialog(fileName, fileTitle, true, readOnly, true, kTieBrowseFilter, filterIndex, gOpenDir,
                           kTieBrowseTitle, kTieBrowseExt, static_cast<wxWindow*>(this), flags))
        txtTieModel[index]->SetValue(ToWxPath(fileName));  // stores it
}

void frmModeler::lblSuppColor_Click() {
    int32_t color = mForm.Copy().SupportColor;
    if (!ShowColorDialog(color, true, true, false, this)) return;
    mForm.SetSupportColor(color);
    lblSuppColor->SetColor(color);
}

void frmModeler::lblTunnelColor_Click() {
    int32_t color = mForm.Copy().TunnelColor;
    if (!ShowColorDialog(color, true, true, false, this)) return;
    mForm.SetTunnelColor(color);
    lblTunnelColor->SetColor(color);
}

void frmModeler::btnTrackStyle_Click(int index) {
    mForm.LoadTrackStylePreset(index);
    RefreshModelerPages();
}

void frmModeler::btnStyle_Click(int index) {
    if (index == 0) {
        if (OpenModelerSet(mForm.Copy(), static_cast<wxWindow*>(this))) {
            mForm.SetLoaded();
            RefreshModelerPages();
        }
    } else {
        SaveModelerSet(mForm.Copy(), static_cast<wxWindow*>(this));
    }
}

void frmModeler::btnForceRemodel_Click() {
    mForm.ForceRemodelAll();
    Unload(wxID_OK);
}

void frmModeler::btnOkay_Click() {
    mForm.ApplyFormSettings();
    Unload(wxID_OK);
}

void frmModeler::btnCancel_Click() {
    CancelModelerForm();
    Unload(wxID_CANCEL);
}

void frmModeler::btnHelp_Click() { ShowHelpTopic(kModelerHelpTopic); }

void frmModeler::OnClose(wxCloseEvent&) { btnCancel_Click(); }

void frmModeler::Unload(int returnCode) {
    if (IsModal()) {
        EndModal(returnCode);
    } else {
        SetReturnCode(returnCode);
        Hide();
    }
}
