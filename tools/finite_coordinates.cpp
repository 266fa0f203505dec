#include "tools/finite_coordinates.h"

#include <cmath>

#include "platform/prompts.h"

bool AllFinite(const Vector3& p) { return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z); }

bool AllFinite(const Matrix4& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m(r, c))) return false;
    return true;
}

bool AllFinite(const TrackNode& node) {
    return AllFinite(node.Position) && AllFinite(node.ControlIn) && AllFinite(node.ControlOut);
}

bool AllFinite(const TrackFooter& footer) { return AllFinite(footer.Position); }

bool AllFinite(const SceneryObject& object) { return AllFinite(object.Transform); }

std::string NotFiniteText(const std::string& action, const std::string& document) {
    return "Performing this " + action + " would leave points of the " + document +
           " at coordinates that are not finite numbers.\r\nThe " + action + " has been aborted!";
}

void NotFiniteNotice(const std::string& action, const std::string& document) {
    MsgBox(NotFiniteText(action, document), kNotFiniteTitle, MsgButtons::OK, MsgIcon::Information);
}
