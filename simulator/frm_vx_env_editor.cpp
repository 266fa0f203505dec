#include "simulator/frm_vx_env_editor.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/color_controls_wx.h"
#include "controls/color_dialog.h"
#include "controls/dialog_end.h"
#include "controls/uc_container.h"
#include "controls/uc_draw.h"
#include "controls/uc_tab_head.h"
#include "controls/uc_tool_bar.h"
#include "platform/prompts.h"
#include "simulator/frm_view_texture.h"
#include "simulator/frm_vx_env_place_sun.h"

namespace {

constexpr int kMargin = 8;

// The tool bar's pictures, 16 x 16, drawn here: New, Open, Save, Save As, Exit.
class Picture {
public:
    Picture() : image_(16, 16) {
        image_.InitAlpha();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) image_.SetAlpha(x, y, 0);
    }
    void Set(int x, int y, const wxColour& c) {
        if (x < 0 || y < 0 || x > 15 || y > 15) return;
        image_.SetRGB(x, y, c.Red(), c.Green(), c.Blue());
        image_.SetAlpha(x, y, 255);
    }
    void Clear(int x, int y) { image_.SetAlpha(x, y, 0); }
    void Fill(int x0, int y0, int x1, int y1, const wxColour& c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Set(x, y, c);
    }
    void Box(int x0, int y0, int x1, int y1, const wxColour& fill, const wxColour& ink) {
        Fill(x0, y0, x1, y1, ink);
        Fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill);
    }
    // A line at 45 degrees or straight, two pixels thick when thick.
    void Line(int x0, int y0, int x1, int y1, const wxColour& c, bool thick = false) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i) {
            const int x = x0 + (steps ? (x1 - x0) * i / steps : 0), y = y0 + (steps ? (y1 - y0) * i / steps : 0);
            Set(x, y, c);
            if (thick) Set(x + 1, y, c);
        }
    }
    wxBitmap Bitmap() const { return wxBitmap(image_); }
    wxBitmap Disabled() const { return wxBitmap(image_.ConvertToDisabled()); }

private:
    wxImage image_;
};

Picture DrawBarPicture(int index) {
    const wxColour ink(32, 32, 32), white(255, 255, 255), yellow(242, 201, 76), blue(47, 99, 196),
        grey(180, 180, 184), red(212, 58, 47);
    Picture p;
    switch (index) {
        case 0:  // New: a blank page with its corner folded
            p.Box(3, 1, 12, 14, white, ink);
            for (int y = 1; y <= 3; ++y)
                for (int x = 10; x <= 12; ++x) p.Clear(x, y);
            p.Line(9, 1, 12, 4, ink);
            p.Line(9, 1, 9, 4, ink);
            p.Line(9, 4, 12, 4, ink);
            break;
        case 1:  // Open: a folder
            p.Box(1, 3, 6, 6, yellow, ink);
            p.Box(1, 5, 14, 13, yellow, ink);
            break;
        case 2:  // Save: a disk
        case 3:  // Save As: a disk and a pen
            p.Box(1, 1, 14, 14, blue, ink);
            p.Fill(4, 2, 11, 6, white);
            p.Fill(5, 10, 10, 14, grey);
            if (index == 3) p.Line(15, 6, 8, 13, red, true);
            break;
        default:  // Exit: a cross
            p.Line(2, 2, 12, 12, red, true);
            p.Line(12, 2, 2, 12, red, true);
            break;
    }
    return p;
}

// One line of the dialog's font tall (the theme's own entries would stand three lines of it tall).
void OneLineTall(wxTextCtrl* box) { box->SetMinSize(wxSize(box->GetSize().x, box->GetCharHeight() + 10)); }

// A titled panel whose contents stand below its title bar, inside its frame.
wxBoxSizer* PanelSizer(ucContainer* panel) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->AddSpacer(uc::TwipsToPixels(210, uc::TwipsPerPixelY(panel)) + 6);
    panel->SetSizer(sizer);
    return sizer;
}

}  // namespace

void ShowVXEnvEditor(wxWindow* owner) {
    frmVXEnvEditor dialog(owner);
    dialog.ShowModal();
}

frmVXEnvEditor::frmVXEnvEditor(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, "Vortaxis: Environment Editor", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
    SetFont(uc::DialogFont());
    editor_.Owner = this;
    editor_.ShowTextureViewer = [this] { ShowViewTexture(this); };

    auto* top = new wxBoxSizer(wxVERTICAL);
    ucEnvBar = new ucToolBar(this, wxID_ANY, wxDefaultPosition, wxSize(-1, ucToolBar::DefaultHeight));
    top->Add(ucEnvBar, 0, wxEXPAND);
    ucHead = new ucTabHead(this, wxID_ANY);
    top->Add(ucHead, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kMargin);

    const std::vector<EnvPage>& pages = EnvironmentEditorPages();
    wxSize pageSize;
    for (size_t i = 0; i < ucTab.size(); ++i) {
        ucTab[i] = new ucTabContainer(this, wxID_ANY);
        BuildPage(ucTab[i], pages[i]);
        const wxSize best = ucTab[i]->GetBestSize();
        pageSize.x = std::max(pageSize.x, best.x);
        pageSize.y = std::max(pageSize.y, best.y);
    }
    // Every page stands at the same place with the size of the largest.
    for (ucTabContainer* page : ucTab) {
        page->SetMinSize(pageSize);
        top->Add(page, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
    }

    ucHead->TabClick = [this](int32_t index) { ucHead_TabClick(index); };
    ucEnvBar->ButtonClick = [this](int16_t index) { ucEnvBar_ButtonClick(index); };
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        if (!Form_Unload() && event.CanVeto()) {
            event.Veto();
            return;
        }
        FinishDialog(*this, wxID_CANCEL);
    });
    CloseOnEscape(*this);  // as Exit: asks about unsaved changes

    // Load of the window.
    for (const EnvPage& page : pages) ucHead->AddTab(wxString::FromUTF8(page.Caption));
    const char* tips[5] = {"New Environment", "Open Environment...", "Save Environment", "Save Environment As...",
                           "Exit Environment Editor"};
    for (int i = 0; i < 5; ++i) {
        const Picture picture = DrawBarPicture(i);
        // Only Save and Save As have disabled pictures of their own.
        ucEnvBar->CreateButton(picture.Bitmap(), (i == 2 || i == 3) ? picture.Disabled() : picture.Bitmap(),
                               tips[i]);
        if (i == 1 || i == 3) ucEnvBar->CreateSeparator();
    }
    editor_.Start();
    RefreshControls();
    SetSizer(top);
    ucHead->ShowTab(0);
    top->SetSizeHints(this);
    CentreOnParent();
    txtEnvName->SetFocus();  // the title first, not the tool bar before it
    // Saves are refused in this run (another user's tree): said once, here.
    if (!editor_.Refusal().empty()) MsgBox(editor_.Refusal(), "Warning!", MsgButtons::OK, MsgIcon::Exclamation);
}

void frmVXEnvEditor::Register(const std::string& name, wxWindow* control) {
    control->SetName(wxString::FromUTF8(name));
    controls_[name] = control;
}

wxWindow* frmVXEnvEditor::Control(const std::string& name) const {
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

void frmVXEnvEditor::BuildPage(ucTabContainer* page, const EnvPage& layout) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    for (const EnvPanel& panel : layout.Panels) {
        wxWindow* parent = page;
        wxSizer* sizer = column;
        if (!panel.Title.empty()) {
            auto* container =
                new ucContainer(page, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxString::FromUTF8(panel.Title));
            parent = container;
            sizer = PanelSizer(container);
        }
        auto* grid = new wxFlexGridSizer(2, kMargin / 2, kMargin);
        grid->AddGrowableCol(1);
        for (const EnvRow& row : panel.Rows) AddRow(parent, grid, row);
        sizer->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kMargin);
        if (parent != page) column->Add(parent, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kMargin);
        else column->AddSpacer(kMargin);
    }
    column->AddSpacer(kMargin);
    page->SetSizer(column);
}

void frmVXEnvEditor::AddRow(wxWindow* parent, wxSizer* grid, const EnvRow& row) {
    const wxString caption = wxString::FromUTF8(row.Caption);
    BoundRow bound;
    bound.Row = &row;
    switch (row.Kind) {
        case EnvRowKind::Name: {
            grid->Add(new wxStaticText(parent, wxID_ANY, caption), 0, wxALIGN_CENTER_VERTICAL);
            txtEnvName = new wxTextCtrl(parent, wxID_ANY, wxString(), wxDefaultPosition, wxSize(300, -1));
            OneLineTall(txtEnvName);
            txtEnvName->Bind(wxEVT_CHAR, [](wxKeyEvent& event) {
                const int key = event.GetUnicodeKey();
                if (key > 0 && key < 128 && FilterEnvNameKey(key) == 0) return;  // dropped
                event.Skip();
            });
            txtEnvName->Bind(wxEVT_TEXT,
                             [this](wxCommandEvent&) { editor_.EnvName = txtEnvName->GetValue().utf8_string(); });
            grid->Add(txtEnvName, 1, wxEXPAND);
            bound.Control = txtEnvName;
            break;
        }
        case EnvRowKind::Check: {
            grid->AddSpacer(0);
            auto* box = new wxCheckBox(parent, wxID_ANY, caption);
            box->Bind(wxEVT_CHECKBOX, [this, &row, box](wxCommandEvent&) {
                row.CheckValue(editor_.Values()) = box->GetValue();
                editor_.MarkChanged();
            });
            grid->Add(box, 0);
            bound.Control = box;
            break;
        }
        case EnvRowKind::Texture: {
            grid->Add(new wxStaticText(parent, wxID_ANY, caption), 0, wxALIGN_CENTER_VERTICAL);
            auto* line = new wxBoxSizer(wxHORIZONTAL);
            auto* box = new wxTextCtrl(parent, wxID_ANY, wxString(), wxDefaultPosition, wxSize(280, -1));
            OneLineTall(box);
            // A typed path is an edit like a chosen one.
            box->Bind(wxEVT_TEXT, [this, &row, box](wxCommandEvent&) {
                row.TextValue(editor_.Values()) = box->GetValue().utf8_string();
                editor_.MarkChanged();
            });
            line->Add(box, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 2);
            const char* captions[3] = {"...", "!!", "X"};
            for (int i = 0; i < 3; ++i) {
                auto* button = new wxButton(parent, wxID_ANY, captions[i], wxDefaultPosition, wxDefaultSize,
                                            wxBU_EXACTFIT);
                button->SetMinSize(wxSize(24, -1));
                button->Bind(wxEVT_BUTTON, [this, &row, i](wxCommandEvent&) { RowButton(row, i); });
                Register(row.Buttons[i], button);
                line->Add(button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 1);
            }
            grid->Add(line, 1, wxEXPAND);
            bound.Control = box;
            break;
        }
        case EnvRowKind::Color: {
            grid->Add(new wxStaticText(parent, wxID_ANY, caption), 0, wxALIGN_CENTER_VERTICAL);
            auto* swatch = new ucColorSwatch(parent, 0, wxSize(60, 18));
            swatch->SetCursor(wxCursor(wxCURSOR_HAND));
            const size_t index = rows_.size();
            swatch->Clicked = [this, index] { PickLabelColor(rows_[index]); };
            grid->Add(swatch, 0, wxALIGN_CENTER_VERTICAL);
            bound.Control = swatch;
            break;
        }
        case EnvRowKind::Slider: {
            grid->Add(new wxStaticText(parent, wxID_ANY, caption), 0, wxALIGN_CENTER_VERTICAL);
            auto* line = new wxBoxSizer(wxHORIZONTAL);
            auto* slider = new wxSlider(parent, wxID_ANY, 0, 0, row.Max, wxDefaultPosition, wxSize(240, -1));
            auto* label = new wxStaticText(parent, wxID_ANY, wxString(), wxDefaultPosition, wxSize(70, -1));
            // Change and Scroll alike: the label follows the thumb while it is dragged.
            slider->Bind(wxEVT_SLIDER, [this, &row, slider, label](wxCommandEvent&) {
                row.NumberValue(editor_.Values()) = slider->GetValue();
                label->SetLabel(EnvSliderText(row.Label, slider->GetValue()));
                editor_.MarkChanged();
            });
            line->Add(slider, 1, wxALIGN_CENTER_VERTICAL);
            line->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kMargin / 2);
            Register(row.ValueLabel, label);
            grid->Add(line, 1, wxEXPAND);
            bound.Control = slider;
            bound.ValueLabel = label;
            break;
        }
        case EnvRowKind::Button: {
            grid->AddSpacer(0);
            auto* button = new wxButton(parent, wxID_ANY, caption);
            button->Bind(wxEVT_BUTTON, [this, &row](wxCommandEvent&) {
                if (row.Button == EnvButton::GetFromSun) {
                    editor_.GetLightingFromSun();
                } else if (ShowPlaceSun(this, editor_.Values())) {
                    editor_.MarkChanged();
                }
                RefreshControls();
            });
            grid->Add(button, 0);
            bound.Control = button;
            break;
        }
    }
    Register(row.Control, bound.Control);
    rows_.push_back(bound);
}

void frmVXEnvEditor::ShowRow(const BoundRow& bound) {
    EnvironmentValues& values = editor_.Values();
    const EnvRow& row = *bound.Row;
    switch (row.Kind) {
        case EnvRowKind::Name:
            static_cast<wxTextCtrl*>(bound.Control)->ChangeValue(wxString::FromUTF8(editor_.EnvName));
            break;
        case EnvRowKind::Check:
            static_cast<wxCheckBox*>(bound.Control)->SetValue(row.CheckValue(values));
            break;
        case EnvRowKind::Texture:
            static_cast<wxTextCtrl*>(bound.Control)->ChangeValue(wxString::FromUTF8(row.TextValue(values)));
            break;
        case EnvRowKind::Color:
            static_cast<ucColorSwatch*>(bound.Control)->SetColor(row.NumberValue(values));
            break;
        case EnvRowKind::Slider:
            static_cast<wxSlider*>(bound.Control)->SetValue(row.NumberValue(values));
            bound.ValueLabel->SetLabel(EnvSliderText(row.Label, row.NumberValue(values)));
            break;
        case EnvRowKind::Button:
            break;
    }
}

void frmVXEnvEditor::RefreshControls() {
    for (const BoundRow& bound : rows_) ShowRow(bound);
}

void frmVXEnvEditor::PickLabelColor(const BoundRow& bound) {
    int32_t colour = bound.Row->NumberValue(editor_.Values());
    if (!ShowColorDialog(colour, true, true, false, this)) return;
    bound.Row->NumberValue(editor_.Values()) = colour;
    editor_.MarkChanged();
    ShowRow(bound);
}

void frmVXEnvEditor::RowButton(const EnvRow& row, int button) {
    std::string& box = row.TextValue(editor_.Values());
    switch (button) {
        case 0:
            editor_.ChooseTexture(box);
            break;
        case 1:
            editor_.ViewTexture(box);
            return;
        default:
            editor_.ClearTexture(box);
            break;
    }
    const auto found = std::find_if(rows_.begin(), rows_.end(), [&](const BoundRow& b) { return b.Row == &row; });
    if (found != rows_.end()) ShowRow(*found);
}

void frmVXEnvEditor::ucHead_TabClick(int Index) {
    if (Index < 0 || Index >= static_cast<int>(ucTab.size())) return;
    for (ucTabContainer* page : ucTab) page->Hide();
    ucTab[static_cast<size_t>(Index)]->Show();
    shownTab_ = Index;
    Layout();
}

void frmVXEnvEditor::ucEnvBar_ButtonClick(int Index) {
    ucEnvBar->HideToolTip();
    switch (Index) {
        case 0:
            editor_.New();
            break;
        case 1:
            editor_.Open();
            break;
        case 2:
            editor_.SaveEnvironment();
            break;
        case 3:
            editor_.SaveEnvironmentAs();
            break;
        case 4:
            Close();
            return;
        default:
            return;
    }
    RefreshControls();
}

bool frmVXEnvEditor::Form_Unload() {
    const bool closing = editor_.QueryClose();
    RefreshControls();  // a Save As on the way may have named the environment
    return closing;
}
