#include "tools/tool_form.h"

#include "core/input_checks.h"
#include "core/numeric_input.h"

double NumericBoxValue(std::string_view text) {
    double value = 0;
    ParseWholeNumber(text, value);
    return value;
}

ToolForm::ToolForm(std::vector<NumericBoxSpec> boxes) {
    boxes_.reserve(boxes.size());
    for (const NumericBoxSpec& spec : boxes) AddBox(spec);
}

int ToolForm::AddBox(const NumericBoxSpec& spec) {
    boxes_.push_back(Box{spec, spec.Default ? spec.Default : "", false});
    return static_cast<int>(boxes_.size()) - 1;
}

bool ToolForm::SetText(int box, std::string_view text) {
    Box& b = boxes_[box];
    b.Text.assign(text);
    const TextRangeCheck check =
        uc::CheckNumericText(b.Text, uc::NumericBoxRule{b.Spec.Min, b.Spec.Max, b.Spec.AllowMinus, b.Spec.AllowDecimal});
    b.Red = !check.InRange;
    return check.InRange;
}

bool ToolForm::OkEnabled() const {
    for (const Box& b : boxes_)
        if (b.Red) return false;
    return true;
}
