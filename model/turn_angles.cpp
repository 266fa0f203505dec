#include "model/turn_angles.h"

#include <cmath>

TurnCosSin LibraryCosSinOfArcTan2(double y, double x) {
    const double angle = ArcTan2(y, x);
    return TurnCosSin{static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}
