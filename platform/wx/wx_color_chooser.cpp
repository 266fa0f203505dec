#include "platform/wx/wx_color_chooser.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/settings.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/wx/wx_refit.h"

namespace {

constexpr int kMargin = 8;
const wxSize kSwatchSize(22, 18);

// The basic colours, row by row, as 0xRRGGBB.
constexpr std::array<uint32_t, 48> kBasicColors = {
    0xFF8080, 0xFFFF80, 0x80FF80, 0x00FF80, 0x80FFFF, 0x0080FF, 0xFF80C0, 0xFF80FF,
    0xFF0000, 0xFFFF00, 0x80FF00, 0x00FF40, 0x00FFFF, 0x0080C0, 0x8080C0, 0xFF00FF,
    0x804040, 0xFF8040, 0x00FF00, 0x008080, 0x004080, 0x8080FF, 0x800040, 0xFF0080,
    0x800000, 0xFF8000, 0x008000, 0x008040, 0x0000FF, 0x0000A0, 0x800080, 0x8000FF,
    0x400000, 0x804000, 0x004000, 0x004040, 0x000080, 0x000040, 0x400040, 0x400080,
    0x000000, 0x808000, 0x808040, 0x808080, 0x408080, 0xC0C0C0, 0x400040, 0xFFFFFF,
};

int32_t FromRrggbb(uint32_t rgb) {
    return static_cast<int32_t>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

wxColour ToWx(int32_t color) { return wxColour(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

wxWindow* Swatch(wxWindow* parent, int32_t color) {
    auto* swatch = new wxPanel(parent, wxID_ANY, wxDefaultPosition, kSwatchSize, wxBORDER_SUNKEN);
    swatch->SetBackgroundColour(ToWx(color));
    return swatch;
}

}  // namespace

wxColorChooserDialog::wxColorChooserDialog(wxWindow* owner, const ColorChooserRequest& request)
    : wxDialog(owner, wxID_ANY, "Color", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | (owner ? 0 : wxDIALOG_NO_PARENT)) {
    if (request.CustomColors) customs_ = *request.CustomColors;
    current_ = (request.Flags & kChooseColorRgbInit) ? (request.Color & 0xFFFFFF) : 0;

    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* parts = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(new wxStaticText(this, wxID_ANY, "Basic colors:"), 0, wxBOTTOM, 4);
    auto* basic = new wxGridSizer(6, 8, 3, 3);
    for (uint32_t rgb : kBasicColors) {
        const int32_t color = FromRrggbb(rgb);
        wxWindow* swatch = Swatch(this, color);
        swatch->Bind(wxEVT_LEFT_DOWN, [this, color](wxMouseEvent&) { SelectColor(color); });
        basic->Add(swatch);
    }
    left->Add(basic, 0, wxBOTTOM, kMargin);
    left->Add(new wxStaticText(this, wxID_ANY, "Custom colors:"), 0, wxBOTTOM, 4);
    auto* custom = new wxGridSizer(2, 8, 3, 3);
    for (int slot = 0; slot < 16; ++slot) {
        wxWindow* swatch = Swatch(this, customs_[static_cast<size_t>(slot)]);
        swatch->Bind(wxEVT_LEFT_DOWN, [this, slot](wxMouseEvent&) { SelectCustom(slot); });
        customSwatches_[static_cast<size_t>(slot)] = swatch;
        custom->Add(swatch);
    }
    left->Add(custom, 0, wxBOTTOM, kMargin);
    // The current colour stays in view whether or not the custom part is open.
    auto* chosen = new wxBoxSizer(wxHORIZONTAL);
    chosen->Add(new wxStaticText(this, wxID_ANY, "Color:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kMargin);
    preview_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(90, 24), wxBORDER_SUNKEN);
    chosen->Add(preview_);
    left->Add(chosen, 0, wxBOTTOM, kMargin);
    btnDefine_ = new wxButton(this, wxID_ANY, "Define Custom Colors >>");
    btnDefine_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowCustomPart(); });
    btnDefine_->Enable((request.Flags & kChooseColorPreventFullOpen) == 0);
    left->Add(btnDefine_, 0, wxEXPAND);
    parts->Add(left, 0, wxALL, kMargin);

    auto* panel = new wxPanel(this);
    customPart_ = panel;
    auto* right = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(3, 4, 4);
    const char* names[3] = {"Red:", "Green:", "Blue:"};
    for (int c = 0; c < 3; ++c) {
        const auto i = static_cast<size_t>(c);
        grid->Add(new wxStaticText(panel, wxID_ANY, names[c]), 0, wxALIGN_CENTER_VERTICAL);
        channels_[i] = new wxTextCtrl(panel, wxID_ANY, "0", wxDefaultPosition, wxSize(56, -1));
        channels_[i]->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { ChannelTyped(); });
        channels_[i]->Bind(wxEVT_KEY_DOWN, [this, c](wxKeyEvent& event) { OnChannelKey(c, event); });
        grid->Add(channels_[i], 0, wxALIGN_CENTER_VERTICAL);
        spins_[i] = new wxSpinButton(panel, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL);
        spins_[i]->SetRange(0, 255);
        spins_[i]->Bind(wxEVT_SPIN_UP, [this, c](wxSpinEvent&) { ChannelSpun(c, 1); });
        spins_[i]->Bind(wxEVT_SPIN_DOWN, [this, c](wxSpinEvent&) { ChannelSpun(c, -1); });
        grid->Add(spins_[i], 0, wxALIGN_CENTER_VERTICAL);
    }
    right->Add(grid, 0, wxBOTTOM, kMargin);
    btnAdd_ = new wxButton(panel, wxID_ANY, "Add to Custom Colors");
    btnAdd_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { AddToCustomColors(); });
    right->Add(btnAdd_, 0, wxEXPAND);
    panel->SetSizer(right);
    parts->Add(panel, 0, wxALL, kMargin);
    top->Add(parts);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    btnOk_ = new wxButton(this, wxID_OK, "OK");
    btnOk_->SetDefault();
    buttons->Add(btnOk_, 0, wxRIGHT, kMargin);
    Bind(wxEVT_BUTTON, &wxColorChooserDialog::OnOk, this, wxID_OK);
    buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
    top->Add(buttons, 0, wxEXPAND | wxALL, kMargin);
    SetSizer(top);

    panel->Show((request.Flags & kChooseColorFullOpen) != 0);
    btnDefine_->Show(!panel->IsShown());
    ShowCurrent();
    FitWhenDrawn(this, preview_);
    CentreOnParent();
}

void wxColorChooserDialog::SelectColor(int32_t color) {
    current_ = color & 0xFFFFFF;
    ShowCurrent();
}

void wxColorChooserDialog::SelectCustom(int slot) {
    if (slot < 0 || slot >= 16) return;
    nextSlot_ = slot;
    SelectColor(customs_[static_cast<size_t>(slot)]);
}

void wxColorChooserDialog::AddToCustomColors() {
    if (!ChannelsValid()) return;
    customs_[static_cast<size_t>(nextSlot_)] = current_;
    customSwatches_[static_cast<size_t>(nextSlot_)]->SetBackgroundColour(ToWx(current_));
    customSwatches_[static_cast<size_t>(nextSlot_)]->Refresh();
    nextSlot_ = (nextSlot_ + 1) % 16;
}

void wxColorChooserDialog::ShowCustomPart() {
    if (!btnDefine_->IsEnabled()) return;
    customPart_->Show();
    btnDefine_->Hide();
    GrowToFit(this);
}

bool wxColorChooserDialog::ChannelsValid() const {
    int32_t value = 0;
    for (wxTextCtrl* box : channels_)
        if (!ParseColorChannel(box->GetValue().utf8_string(), value)) return false;
    return true;
}

// Every change of a box's text, typed, pasted or stepped: a valid set of
// three is the current colour at once; a box that is not valid turns red.
void wxColorChooserDialog::ChannelTyped() {
    int32_t color = 0;
    bool valid = true;
    for (size_t c = 0; c < channels_.size(); ++c) {
        int32_t value = 0;
        const bool ok = ParseColorChannel(channels_[c]->GetValue().utf8_string(), value);
        const wxColour text = ok ? wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT) : wxColour(255, 0, 0);
        if (channels_[c]->GetForegroundColour() != text) {
            channels_[c]->SetForegroundColour(text);
            channels_[c]->Refresh();
        }
        if (ok) {
            spins_[c]->SetValue(value);
            color |= value << (8 * c);
        }
        valid = valid && ok;
    }
    btnOk_->Enable(valid);
    btnAdd_->Enable(valid);
    if (!valid) return;
    current_ = color;
    preview_->SetBackgroundColour(ToWx(current_));
    preview_->Refresh();
}

// An arrow (of the spin button or the keyboard) steps a valid value by one,
// held to 0 and 255; it leaves a refused text for the user to correct.
void wxColorChooserDialog::ChannelSpun(int channel, int step) {
    wxTextCtrl* box = channels_[static_cast<size_t>(channel)];
    int32_t value = 0;
    if (ParseColorChannel(box->GetValue().utf8_string(), value)) {
        value = std::clamp(value + step, 0, 255);
        box->SetValue(wxString::Format("%d", value));
    }
    spins_[static_cast<size_t>(channel)]->SetValue(value);
}

void wxColorChooserDialog::OnChannelKey(int channel, wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_UP || key == WXK_NUMPAD_UP)
        ChannelSpun(channel, 1);
    else if (key == WXK_DOWN || key == WXK_NUMPAD_DOWN)
        ChannelSpun(channel, -1);
    else
        event.Skip();
}

void wxColorChooserDialog::OnOk(wxCommandEvent&) {
    // Enter in a box reaches the default button too: a refused value is never taken.
    if (!ChannelsValid()) return;
    EndModal(wxID_OK);
}

void wxColorChooserDialog::ShowCurrent() {
    for (size_t c = 0; c < channels_.size(); ++c)
        channels_[c]->ChangeValue(wxString::Format("%d", (current_ >> (8 * c)) & 0xFF));
    ChannelTyped();
}

bool WxChooseColor(ColorChooserRequest& request) {
    wxColorChooserDialog dialog(static_cast<wxWindow*>(request.Owner), request);
    const bool ok = dialog.ShowModal() == wxID_OK;
    // Custom colours the user defined are kept also when the dialog was cancelled.
    if (request.CustomColors) *request.CustomColors = dialog.Customs();
    if (ok) request.Color = dialog.CurrentColor();
    return ok;
}
