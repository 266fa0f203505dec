#pragma once
// The large ride now comes from bench/common; this header stays for the
// benchmarks that still include it from here.
#include "bench/common/large_track.h"
