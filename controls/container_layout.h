#pragma once
// The titled panel's geometry and its saved properties, in twips.

#include <map>
#include <string>

#include "controls/control_geometry.h"

namespace uc {

struct ContainerPlaces {
    Rect Title;          // lblTitle across the full width
    LineSeg Lines[4];    // 0 under the title, 1 left, 2 bottom, 3 right
};

// W, H: client size; px, py: twips of one pixel across and down; h: title height.
ContainerPlaces ContainerLayout(int width, int height, int px, int py, int titleHeight);

struct TitleColours {
    SysColour Back;
    SysColour Text;
};
// Active-caption colours in the background, highlight colours otherwise.
TitleColours ContainerTitleColours(bool inBackground);

constexpr int ContainerTitleHeightTwips = 210;
constexpr int ContainerDefaultAlignment = AlignCentre;

// A control's saved design properties, as the form that holds it stores them.
// A value equal to its default is not written; reading a missing key gives
// the default.
class PropertyBag {
public:
    void WriteProperty(const std::string& name, const std::string& value, const std::string& defaultValue);
    void WriteProperty(const std::string& name, int value, int defaultValue);
    std::string ReadProperty(const std::string& name, const std::string& defaultValue) const;
    int ReadProperty(const std::string& name, int defaultValue) const;
    bool Has(const std::string& name) const { return mValues.count(name) != 0; }
    size_t Size() const { return mValues.size(); }

private:
    std::map<std::string, std::string> mValues;
};

struct ContainerProperties {
    std::string Title;
    int Alignment = ContainerDefaultAlignment;
};
void WriteContainerProperties(PropertyBag& bag, const ContainerProperties& props);
ContainerProperties ReadContainerProperties(const PropertyBag& bag);
// Only 0, 1 and 2 are alignments.
inline bool IsValidAlignment(int alignment) { return alignment >= AlignLeft && alignment <= AlignCentre; }

}  // namespace uc
