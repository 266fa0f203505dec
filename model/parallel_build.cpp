#include "model/parallel_build.h"

#include <oneapi/tbb/global_control.h>

struct BuildThreadLimit::Control {
    explicit Control(int threads)
        : limit(oneapi::tbb::global_control::max_allowed_parallelism, size_t(threads < 1 ? 1 : threads)) {}
    oneapi::tbb::global_control limit;
};

BuildThreadLimit::BuildThreadLimit(int threads) : control_(std::make_unique<Control>(threads)) {}

BuildThreadLimit::~BuildThreadLimit() = default;

int BuildThreadCount() {
    return int(oneapi::tbb::global_control::active_value(oneapi::tbb::global_control::max_allowed_parallelism));
}
