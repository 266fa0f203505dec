#include "controls/progress_model.h"

#include <algorithm>
#include <cmath>

namespace uc {

int32_t ProgressModel::Percent(int32_t value, int32_t limit) {
    const double p = std::floor(static_cast<double>(value) / static_cast<double>(limit) * 100.0);
    return static_cast<int32_t>(std::clamp(p, 0.0, 100.0));
}

bool ProgressModel::UpdateProgress(int32_t value) {
    if (mProgressLimit <= 0) return false;
    const int32_t p = Percent(value, mProgressLimit);
    if (p == mLastPercent) return false;
    mLastPercent = p;
    for (int32_t k = 0; k < p; ++k) mColumns[static_cast<size_t>(k)] = mBarColor;
    return true;
}

}  // namespace uc
