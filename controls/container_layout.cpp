#include "controls/container_layout.h"

#include <charconv>

namespace uc {

ContainerPlaces ContainerLayout(int width, int height, int px, int py, int titleHeight) {
    ContainerPlaces p;
    p.Title = {0, 0, width, titleHeight};
    p.Lines[0] = {0, titleHeight, width, titleHeight, SysColour::ButtonHighlight, true};
    p.Lines[1] = {0, 0, 0, height, SysColour::ButtonHighlight, true};
    p.Lines[2] = {0, height - py, width, height - py, SysColour::DarkShadow3D, true};
    p.Lines[3] = {width - px, 0, width - px, height, SysColour::DarkShadow3D, true};
    return p;
}

TitleColours ContainerTitleColours(bool inBackground) {
    if (inBackground) return {SysColour::ActiveCaption, SysColour::CaptionText};
    return {SysColour::Highlight, SysColour::HighlightText};
}

void PropertyBag::WriteProperty(const std::string& name, const std::string& value, const std::string& defaultValue) {
    if (value == defaultValue)
        mValues.erase(name);
    else
        mValues[name] = value;
}

void PropertyBag::WriteProperty(const std::string& name, int value, int defaultValue) {
    if (value == defaultValue)
        mValues.erase(name);
    else
        mValues[name] = std::to_string(value);
}

std::string PropertyBag::ReadProperty(const std::string& name, const std::string& defaultValue) const {
    auto it = mValues.find(name);
    return it == mValues.end() ? defaultValue : it->second;
}

int PropertyBag::ReadProperty(const std::string& name, int defaultValue) const {
    auto it = mValues.find(name);
    if (it == mValues.end()) return defaultValue;
    int value = 0;
    const char* first = it->second.data();
    const char* last = first + it->second.size();
    auto [end, ec] = std::from_chars(first, last, value);
    return (ec == std::errc() && end == last) ? value : defaultValue;
}

void WriteContainerProperties(PropertyBag& bag, const ContainerProperties& props) {
    bag.WriteProperty("Title", props.Title, std::string());
    bag.WriteProperty("Alignment", props.Alignment, ContainerDefaultAlignment);
}

ContainerProperties ReadContainerProperties(const PropertyBag& bag) {
    ContainerProperties props;
    props.Title = bag.ReadProperty("Title", std::string());
    const int alignment = bag.ReadProperty("Alignment", ContainerDefaultAlignment);
    props.Alignment = IsValidAlignment(alignment) ? alignment : ContainerDefaultAlignment;
    return props;
}

}  // namespace uc
