#pragma once
// The types of the registry's values (the numbers the platform gives them):
// the registry's calls take and give them (registry.h), and its store's text
// writes and reads each by its name (registry_text.h).

#include <cstdint>

enum RegValueType : int32_t {
    RegString = 1,
    RegBinary = 3,
    RegNumber = 4,
};
