#pragma once
// The Colorizer dialog apart from its window: the state of every control, the
// filling from the open track and its selection, the enabling rules, the Copy
// and Swap buttons, the input check that enables OK, and the six previews
// drawn as pictures. The window holds the controls, passes each click and
// typing to the form and shows the form's state again.
//
// A rule that the toolkit would not fire when code changes a control (checking
// "Use Alternate Color" when the dialog fills or an alternate colour is
// picked, choosing "Primary Color" when the alternate colour is given up) is
// called here explicitly.

#include <array>
#include <cstdint>
#include <string_view>

#include "tools/colorizer.h"
#include "tools/tool_form.h"
#include "trackdoc/color_functions.h"

// The Toggle run-length boxes: digits only, 1 to 50, "1" at opening.
inline constexpr NumericBoxSpec kColorizerRunBox{1.0, 50.0, false, false, "1"};
inline constexpr int32_t kColorizerWhite = 0xFFFFFF;

struct ColorizerPartState {
    int Mode = PaintPrimary;                                     // the chosen option
    std::array<bool, 5> OptionEnabled{true, false, false, true, false};
    bool RunBoxesEnabled = false;                                // both boxes and their labels
};

class ColorizerForm {
public:
    ColorizerForm();

    // The dialog's opening: swatches and scope from the track's selection.
    void Load();

    // What the user does. Each runs its rules and the input check.
    void SetUseAlternate(bool checked);
    void ClickAllTypes(bool checked);
    void ClickType(int type, bool checked);  // type 0 .. 4, box "Normal" .. "Brake"
    void ChooseScope(bool selectedSegments);
    void SetOnlyTunnels(bool checked) { OnlyTunnels = checked; }
    void ChooseMode(int part, int mode);
    // The run-length box's Change; box 0 primary, 1 alternate.
    void SetRunLength(int part, int box, std::string_view text);
    // A colour confirmed in the colour dialog; an alternate one checks "Use Alternate Color".
    void PickPrimary(int part, int32_t color);
    void PickAlternate(int part, int32_t color);
    void CopyAlternate();  // every primary := its alternate
    void Swap();
    void CopyPrimary();    // every alternate := its primary

    // The input check: one of the six type boxes checked and no red run
    // length in a group whose mode is Toggle.
    bool OkEnabled() const;
    // The choices as OK reads them.
    ColorizerOptions Options() const;

    const ToolForm& RunLengths() const { return runLengths_; }
    static int RunBox(int part, int box) { return part * 2 + box; }

    // The controls' state, read by the window.
    std::array<int32_t, kColorizerParts> Primary{kColorizerWhite, kColorizerWhite, kColorizerWhite};
    std::array<int32_t, kColorizerParts> Alternate{kColorizerWhite, kColorizerWhite, kColorizerWhite};
    bool UseAlternate = false;
    bool AlternateControlsEnabled = true;  // Copy/Swap buttons and the alternate row's labels
    bool SelectedOnly = false;
    bool SelectedEnabled = true;
    bool AllTypes = true;
    std::array<bool, 5> Types{};
    bool TypesEnabled = false;
    bool OnlyTunnels = false;
    std::array<ColorizerPartState, kColorizerParts> Parts;

private:
    ToolForm runLengths_;
};

// One gradient strip: from colour a in the leftmost column to colour b in the
// rightmost, one column at a time (a strip one pixel wide shows a).
void DrawGradientPreview(int32_t a, int32_t b, ColorPicture& strip);
// The two previews of a part: the gradient strip (the primary colour alone
// while "Use Alternate Color" is unchecked) and the colour-wheel strip.
void DrawGradientStrip(const ColorizerForm& form, int part, ColorPicture& strip);
void DrawColorWheelStrip(const ColorizerForm& form, int part, ColorPicture& strip);
