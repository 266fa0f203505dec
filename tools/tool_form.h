#pragma once
// What every tool dialog's numeric boxes share, apart from any window: each
// box's range and key switches with its default text, the red state a change
// leaves it in, its value as OK reads it, and the enabling of OK.
//
// A dialog holds one ToolForm for its boxes. Every change of a box's text goes
// through SetText: that box alone is checked again (red unless its text is one
// number lying in its range, a whole number where the box takes no decimal
// point), then OK is enabled exactly when no box shows red. A box
// whose text was never changed keeps its default and is not red.

#include <string>
#include <string_view>
#include <vector>

struct NumericBoxSpec {
    double Min = 0.0;
    double Max = 0.0;
    bool AllowMinus = false;
    bool AllowDecimal = false;
    const char* Default = "";
};

// The number a box's whole text holds, with "." as the decimal point whatever
// the locale; 0 for a text that is not one number ("", "-", "2.5.5", "90-45").
// OK is enabled only while every box holds one number in its range.
double NumericBoxValue(std::string_view text);

class ToolForm {
public:
    ToolForm() = default;
    explicit ToolForm(std::vector<NumericBoxSpec> boxes);

    // Adds a box holding its default text; returns its index.
    int AddBox(const NumericBoxSpec& spec);

    int BoxCount() const { return static_cast<int>(boxes_.size()); }
    const NumericBoxSpec& Spec(int box) const { return boxes_[box].Spec; }
    const std::string& Text(int box) const { return boxes_[box].Text; }
    bool IsRed(int box) const { return boxes_[box].Red; }
    double Value(int box) const { return NumericBoxValue(boxes_[box].Text); }

    // The box's Change: its new text, its range check, then OK's enabling.
    // Returns whether the box is in range.
    bool SetText(int box, std::string_view text);
    // True while no box shows red.
    bool OkEnabled() const;

private:
    struct Box {
        NumericBoxSpec Spec;
        std::string Text;
        bool Red = false;
    };
    std::vector<Box> boxes_;
};
