#pragma once
// Test helpers: a temporary folder removed afterwards, and a scope that points
// the configuration folder (settings file, registry store) at a fresh one.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/file_system.h"

class TempFolder {
public:
    TempFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/gw-test-XXXXXX";
        std::vector<char> name(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        if (::mkdtemp(name.data())) path_ = name.data();
    }
    ~TempFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, ending in "/".
    std::string Path() const { return path_ + "/"; }
    std::string operator/(const std::string& name) const { return Path() + name; }

    // Creates a file (and its folders) under the folder with the given content.
    std::string Write(const std::string& relative, const std::string& content = "") const {
        const std::string full = Path() + relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        fsys::WriteFileAtomically(full, content);
        return full;
    }

private:
    std::string path_;
};

// Sets an environment variable for the lifetime of the object.
class EnvScope {
public:
    EnvScope(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~EnvScope() {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// A fresh, empty configuration folder for one test.
class ConfigFolderScope {
public:
    ConfigFolderScope() : env_("GANTRYWRIGHT_CONFIG_DIR", folder_.Path() + "config") {}
    // The configuration folder, ending in "/" (not created until something is saved).
    std::string Path() const { return folder_.Path() + "config/"; }
    const TempFolder& Root() const { return folder_; }

private:
    TempFolder folder_;
    EnvScope env_;
};

// What a run as the superuser says of a folder of nobody's on the way it would write.
inline std::string NobodysFolderRefusal(const std::string& folder) {
    return "The folder \"" + folder +
           "\" belongs to the user nobody; run as the superuser, the program writes nothing in another user's folders "
           "or through their links. To work there, run it as that user, for example: sudo -u nobody gantrywright";
}
