#include "simulator/environment_organizer.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "core/app_state.h"
#include "core/settings_text.h"
#include "platform/file_system.h"
#include "platform/stored_paths.h"
#include "simulator/environment_file.h"
#include "trackdoc/file_buffer.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTextureKey = ".texture.path";

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

size_t FindIgnoringCase(std::string_view text, std::string_view what, size_t from = 0) {
    if (what.empty() || text.size() < what.size()) return std::string_view::npos;
    for (size_t i = from; i + what.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < what.size() && Lower(text[i + k]) == Lower(what[k])) ++k;
        if (k == what.size()) return i;
    }
    return std::string_view::npos;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

// The same file on disk for both paths (false when either is missing).
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

// Every "/" becomes "\\" as the simulator writes its paths, except in the
// texture values that are absolute paths of this system.
void BackslashSeparators(std::string& text) {
    const std::vector<EnvTextureKey> keys = CollectTexturePaths(text);
    size_t k = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        while (k < keys.size() && keys[k].ValueStart + keys[k].Value.size() <= i) ++k;
        const bool absolute = k < keys.size() && i >= keys[k].ValueStart && keys[k].Value[0] == '/';
        if (text[i] == '/' && !absolute) text[i] = '\\';
    }
}

std::string CanonicalText(const std::string& path) {
    std::error_code ec;
    const fs::path p = fs::weakly_canonical(path, ec);
    return ec ? path : p.string();
}

}  // namespace

std::vector<EnvTextureKey> CollectTexturePaths(std::string_view text) {
    std::vector<EnvTextureKey> keys;
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        size_t first = 0;
        while (first < line.size() && IsBlank(line[first])) ++first;
        const size_t equals = line.find('=');
        if (first < line.size() && line[first] != '#' && line[first] != ';' && equals != std::string_view::npos &&
            FindIgnoringCase(line.substr(0, equals), kTextureKey) != std::string_view::npos) {
            size_t begin = equals + 1, end = line.size();
            while (begin < end && IsBlank(line[begin])) ++begin;
            while (end > begin && IsBlank(line[end - 1])) --end;
            if (end > begin) {
                EnvTextureKey key;
                key.Value = std::string(line.substr(begin, end - begin));
                key.ValueStart = lineStart + begin;
                const size_t slash = key.Value.find_last_of("\\/");
                key.FileName = slash == std::string::npos ? key.Value : key.Value.substr(slash + 1);
                keys.push_back(std::move(key));
            }
        }
        lineStart = lineEnd + 1;
    }
    return keys;
}

bool NeedsOrganizing(std::string_view text) {
    for (const EnvTextureKey& key : CollectTexturePaths(text)) {
        if (key.Value[0] == '/') continue;  // an absolute path of this system
        std::string rest = key.Value;
        std::replace(rest.begin(), rest.end(), '/', '\\');
        for (size_t at; (at = FindIgnoringCase(rest, "environments\\")) != std::string::npos;) rest.erase(at, 13);
        if (rest.find('\\') == std::string::npos) return true;
    }
    return false;
}

std::string EnvironmentOrganizer::RootFolder() {
    if (gSimPath.empty()) return std::string();
    return fsys::WithTrailingSeparator(fsys::MapStoredName(gSimPath, "Environments"));
}

void EnvironmentOrganizer::ScanEnvironments() {
    environments_.clear();
    root_ = RootFolder();
    if (root_.empty()) return;
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(ec) && fsys::HasExtension(name, ".env")) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        EnvironmentRecord record;
        record.Path = root_ + name;
        record.Name = name.substr(0, name.size() - 4);
        record.Readable = IniLoadFile(record.Path);
        record.Text = record.Readable ? IniGetBuffer() : std::string();
        record.Organized = !record.Readable || !NeedsOrganizing(record.Text);
        environments_.push_back(std::move(record));
    }
}

int EnvironmentOrganizer::UnorganizedCount() const {
    return static_cast<int>(std::count_if(environments_.begin(), environments_.end(),
                                          [](const EnvironmentRecord& r) { return !r.Organized; }));
}

bool EnvironmentOrganizer::RelocateEnvTextures(std::string& text, size_t index) {
    const EnvironmentRecord& environment = environments_.at(index);
    const std::string folderValue = "Environments\\" + environment.Name + "\\";
    std::string result;
    size_t copied = 0;
    bool changed = false;
    for (const EnvTextureKey& key : CollectTexturePaths(text)) {
        const std::string value = folderValue + key.FileName;
        if (key.FileName.empty() || fsys::EqualsIgnoringAsciiCase(value, key.Value)) continue;
        const std::string destination = fsys::MapStoredName(gSimPath, value);
        if (destination.empty()) continue;
        const std::string source = TexturePathOnDisk(key.Value);
        if (!source.empty() && fsys::FileExists(source) && !SameFile(source, destination)) {
            ClearFileBuffer();
            if (LoadFileToBuffer(source)) {
                CreateFolderChain(root_ + environment.Name);
                SaveBufferToFile(destination);
            }
        }
        if (!fsys::FileExists(destination)) continue;
        result.append(text, copied, key.ValueStart - copied);
        result += value;
        copied = key.ValueStart + key.Value.size();
        changed = true;
    }
    result.append(text, copied, std::string::npos);
    text = std::move(result);
    return changed;
}

void EnvironmentOrganizer::OrganizeEnvironments(const std::function<void(int percent)>& Progress) {
    const size_t count = environments_.size();
    for (size_t i = 0; i < count; ++i) {
        EnvironmentRecord& environment = environments_[i];
        if (!environment.Organized && IsEnvironmentNameAllowed(environment.Name) && IniLoadFile(environment.Path)) {
            std::string text = IniGetBuffer();
            BackslashSeparators(text);
            RelocateEnvTextures(text, i);
            IniSetBuffer(text);
            // A file that cannot be written keeps its old text, and so its textures (see MoveUnusedFiles).
            if (IniSaveFile(environment.Path)) environment.Text = text;
        }
        if (Progress) Progress(static_cast<int>(i * 100 / count));
    }
    MoveUnusedFiles();
}

void EnvironmentOrganizer::MoveUnusedFiles() {
    if (root_.empty()) return;
    // The files the environments name as they stand on disk now.
    std::set<std::string> used;
    for (const EnvironmentRecord& environment : environments_) {
        for (const EnvTextureKey& key : CollectTexturePaths(environment.Text)) {
            const std::string path = TexturePathOnDisk(key.Value);
            if (!path.empty()) used.insert(CanonicalText(path));
        }
    }
    const std::string unused = root_ + "__Unused Files__";
    if (!fsys::FolderExists(unused)) fsys::CreateFolders(unused);
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (it->is_regular_file(fileEc) && !fsys::HasExtension(it->path().filename().string(), ".env"))
            files.push_back(it->path());
    }
    for (const fs::path& file : files) {
        if (used.count(CanonicalText(file.string()))) continue;
        const fs::path target = fs::path(unused) / file.filename();
        std::error_code moveEc;
        if (fs::exists(fs::symlink_status(target, moveEc))) continue;
        fs::rename(file, target, moveEc);
    }
}
