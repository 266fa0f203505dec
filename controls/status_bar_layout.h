#pragma once
// Layout of the status bar: a row of fixed-width text fields, the first of
// which stretches, separated by etched lines. Pixels in the bar's client area.

#include <cstdint>
#include <string>
#include <vector>

#include "controls/control_geometry.h"

namespace uc {

struct StatusField {
    int16_t Width = 0;       // requested width
    int Alignment = AlignLeft;
    bool Bold = false;
    std::string Text;
    Rect Label;              // lblField: where the text goes
    LineSeg Sep1;            // dark line right of the field
    LineSeg Sep2;            // light line right of the dark one
};

class StatusBarLayout {
public:
    static constexpr int LabelTop = 4;
    static constexpr int LabelHeight = 13;

    // Appends a field and lays the bar out again; returns the field's index.
    int16_t CreateField(int16_t width, int alignment, bool bold);
    void UpdateField(int index, const std::string& text);
    void BoldField(int index, bool bold);
    void Resize(int width, int height);

    int16_t FieldCount() const { return static_cast<int16_t>(mFields.size()); }
    const StatusField& Field(int index) const { return mFields.at(static_cast<size_t>(index)); }
    const LineSeg& BorderLine() const { return mBorder; }

private:
    bool ValidIndex(int index) const { return index >= 0 && index < static_cast<int>(mFields.size()); }
    void Layout();

    std::vector<StatusField> mFields;
    LineSeg mBorder{0, 0, 0, 0, SysColour::ButtonHighlight, true};
    int mWidth = 0;
    int mHeight = 0;
};

}  // namespace uc
