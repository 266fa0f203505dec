#pragma once
// Shared set-up of the registry's tests: a fresh configuration folder for
// each test, and the text of a root's store file.

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "tests/platform/temp_folder.h"

inline const std::string kKey = "Software\\Vortaxis Coasters";

inline std::string StoreText(uint32_t root) {
    std::string text;
    fsys::ReadWholeFile(RegStoreFile(root), text);
    return text;
}

class RegistryTest : public ::testing::Test {
protected:
    ConfigFolderScope config;
};
