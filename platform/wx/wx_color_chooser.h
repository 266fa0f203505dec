#pragma once
// The program's colour chooser on the desktop: a modal dialog with the basic
// colours, the run's 16 custom colours and the red, green and blue of the
// current colour, which can be added to the custom colours. Installed by the
// program at start-up (SetColorChooser(WxChooseColor)).

#include <array>
#include <cstdint>

#include <wx/dialog.h>

#include "platform/color_chooser.h"

class wxButton;
class wxSpinCtrl;
class wxSpinEvent;

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

private:
    void ChannelChanged(wxSpinEvent& event);
    void ShowCurrent();

    int32_t current_ = 0;
    int nextSlot_ = 0;
    CustomColorTable customs_{};
    std::array<wxWindow*, 16> customSwatches_{};
    std::array<wxSpinCtrl*, 3> channels_{};
    wxWindow* preview_ = nullptr;
    wxWindow* customPart_ = nullptr;
    wxButton* btnDefine_ = nullptr;
};
