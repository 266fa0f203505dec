#pragma once
// The program's colour chooser on the desktop: a modal dialog with the basic
// colours, the run's 16 custom colours and the red, green and blue of the
// current colour, which can be added to the custom colours. A value typed
// into "Red:", "Green:" or "Blue:" is the colour at once, as it is shown; a
// box that holds no whole number from 0 to 255 is shown in red, and OK and
// "Add to Custom Colors" stay disabled until it is corrected. Installed by the
// program at start-up (SetColorChooser(WxChooseColor)).

#include <array>
#include <cstdint>

#include <wx/dialog.h>

#include "platform/color_chooser.h"

class wxButton;
class wxCommandEvent;
class wxKeyEvent;
class wxSpinButton;
class wxSpinEvent;
class wxTextCtrl;

bool WxChooseColor(ColorChooserRequest& request);

class wxColorChooserDialog : public wxDialog {
public:
    // Shows the custom colour part at once when the request's flags say so, and
    // offers its "Define Custom Colors >>" button unless they prevent it.
    wxColorChooserDialog(wxWindow* owner, const ColorChooserRequest& request);

    int32_t CurrentColor() const { return current_; }
    const CustomColorTable& Customs() const { return customs_; }
    bool CustomPartShown() const { return customPart_ != nullptr && customPart_->IsShown(); }

    // What the controls do, also for tests.
    void SelectColor(int32_t color);            // a basic swatch or typed channels
    void SelectCustom(int slot);                // a custom swatch: its colour, and the slot to fill next
    void AddToCustomColors();                   // the current colour into the slot, then the next slot
    void ShowCustomPart();                      // "Define Custom Colors >>"
    wxButton* DefineButton() const { return btnDefine_; }
    // The red (0), green (1) and blue (2) boxes, and the buttons that take the colour.
    wxTextCtrl* ChannelBox(int channel) const { return channels_.at(static_cast<size_t>(channel)); }
    wxButton* OkButton() const { return btnOk_; }
    wxButton* AddButton() const { return btnAdd_; }
    // True while every channel box holds a value the chooser takes.
    bool ChannelsValid() const;

private:
    void ChannelTyped();
    void ChannelSpun(int channel, int step);
    void OnChannelKey(int channel, wxKeyEvent& event);
    void OnOk(wxCommandEvent& event);
    void ShowCurrent();

    int32_t current_ = 0;
    int nextSlot_ = 0;
    CustomColorTable customs_{};
    std::array<wxWindow*, 16> customSwatches_{};
    std::array<wxTextCtrl*, 3> channels_{};
    std::array<wxSpinButton*, 3> spins_{};
    wxWindow* preview_ = nullptr;
    wxButton* btnOk_ = nullptr;
    wxButton* btnAdd_ = nullptr;
    wxWindow* customPart_ = nullptr;
    wxButton* btnDefine_ = nullptr;
};
