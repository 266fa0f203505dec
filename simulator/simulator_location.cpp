#include "simulator/simulator_location.h"

#include <filesystem>
#include <system_error>

#include "core/settings_file.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/stored_paths.h"

bool IsSimulatorFolder(const std::string& text) {
    if (text.empty() || text.find('\0') != std::string::npos) return false;
    const auto executable = fsys::ResolveStoredName(fsys::WithTrailingSeparator(text), kSimulatorExecutable);
    return executable && fsys::FileExists(*executable);
}

std::string FolderOfPickedFile(const std::string& path) {
    const size_t last = path.find_last_of("/\\");
    return last == std::string::npos ? std::string{} : path.substr(0, last + 1);
}

std::string SimulatorLocationToStore(const std::string& text) {
    namespace fs = std::filesystem;
    if (text.empty() || text[0] == '/') return text;
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    if (ec) return text;
    return (here / text).lexically_normal().string();
}

bool StoreSimulatorLocation(const std::string& text) {
    return RegWriteValue(RegCurrentUser, kSimulatorKey, RegString, "InstPath", SimulatorLocationToStore(text));
}
