#include "platform/app_folders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

#include "platform/file_system.h"

#ifndef GW_INSTALL_DATADIR
#define GW_INSTALL_DATADIR "/usr/local/share/gantrywright"
#endif

namespace fsys {

namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

// $HOME, else the account's home in the password file; a relative one would
// name a folder of whatever folder the program runs in, and is none.
std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (IsAbsolute(home)) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && IsAbsolute(pw->pw_dir)) return pw->pw_dir;
    return std::string();
}

}  // namespace

std::string ConfigFolder() {
    // Every folder here must be absolute, as the XDG base directories must: a
    // relative one is ignored.
    std::string dir = Environment("GANTRYWRIGHT_CONFIG_DIR");
    if (IsAbsolute(dir)) return WithTrailingSeparator(dir);
    dir = Environment("XDG_CONFIG_HOME");
    if (IsAbsolute(dir)) return WithTrailingSeparator(dir) + "gantrywright/";
    const std::string home = HomeFolder();
    if (!home.empty()) return WithTrailingSeparator(home) + ".config/gantrywright/";
    return std::string();
}

std::string UserFolder() {
    const std::string home = HomeFolder();
    return FolderExists(home) ? WithTrailingSeparator(home) : std::string();
}

std::string ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return std::string();
    return WithTrailingSeparator(exe.parent_path().string());
}

std::string ProgramDataFolder() {
    const std::string env = Environment("GANTRYWRIGHT_DATA_DIR");
    if (!env.empty()) return WithTrailingSeparator(env);
    const std::string exeDir = ExecutableFolder();
    if (!exeDir.empty()) {
        if (FolderExists(exeDir + "data")) return exeDir + "data/";
        // An installation relocated as a whole: <prefix>/bin and <prefix>/share.
        const std::string share = exeDir + "../share/gantrywright";
        if (FolderExists(share)) {
            std::error_code ec;
            const fs::path normal = fs::weakly_canonical(share, ec);
            return WithTrailingSeparator(ec ? share : normal.string());
        }
    }
    if (FolderExists(GW_INSTALL_DATADIR)) return WithTrailingSeparator(GW_INSTALL_DATADIR);
    return exeDir.empty() ? std::string("./data/") : exeDir + "data/";
}

}  // namespace fsys
