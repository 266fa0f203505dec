#include "simulator/environment_organizer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <system_error>

#include "core/app_state.h"
#include "core/settings_text.h"
#include "platform/file_system.h"
#include "platform/stored_paths.h"
#include "simulator/environment_file.h"

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

std::string LowerText(std::string text) {
    for (char& c : text) c = Lower(c);
    return text;
}

bool CanRead(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
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

std::string EnvironmentOrganizer::FolderName(const std::string& name) {
    const std::string lower = LowerText(name);
    const auto known = folders_.find(lower);
    if (known != folders_.end()) return known->second;
    std::string folder = name;
    if (const auto entry = fsys::FindEntryIgnoringCase(root_, name); entry && fsys::FolderExists(root_ + *entry))
        folder = *entry;
    folders_.emplace(lower, folder);
    return folder;
}

EnvironmentOrganizer::KeyState EnvironmentOrganizer::Assess(const EnvironmentRecord& environment,
                                                            const EnvTextureKey& key, std::string& reason) {
    if (key.FileName.empty()) {
        reason = "names no file";
        return KeyState::Problem;
    }
    if (!IsEnvironmentNameAllowed(environment.Name)) {
        reason = "the environment's name cannot be a folder";
        return KeyState::Problem;
    }
    if (!EnvFileBytesFromText(environment.Name)) {
        reason = "the environment's name cannot be written in its file";
        return KeyState::Problem;
    }
    // Already in the environment's folder: "Environments\<folder>\<file>" in any letter case.
    std::string value = key.Value;
    if (value[0] != '/') std::replace(value.begin(), value.end(), '/', '\\');
    const std::string folderValue = "Environments\\" + FolderName(environment.Name) + "\\";
    const size_t n = folderValue.size();
    if (value.size() > n && fsys::EqualsIgnoringAsciiCase(value.substr(0, n), folderValue) &&
        value.find('\\', n) == std::string::npos)
        return KeyState::InPlace;
    const std::string source = TexturePathOnDisk(key.Value);
    if (source.empty() || !fsys::FileExists(source)) {
        reason = "not found";
        return KeyState::Problem;
    }
    if (!CanRead(source)) {
        reason = "cannot be read";
        return KeyState::Problem;
    }
    return KeyState::ToRewrite;
}

void EnvironmentOrganizer::AssessEnvironment(EnvironmentRecord& environment) {
    environment.Problems.clear();
    if (!environment.Readable) {
        environment.Organized = true;
        environment.Problems.push_back({std::string(), "the environment file cannot be read"});
        return;
    }
    environment.Organized = true;
    if (!NeedsOrganizing(environment.Text)) return;
    for (const EnvTextureKey& key : CollectTexturePaths(environment.Text)) {
        std::string reason;
        switch (Assess(environment, key, reason)) {
            case KeyState::InPlace: break;
            case KeyState::ToRewrite: environment.Organized = false; break;
            case KeyState::Problem: environment.Problems.push_back({key.Value, reason}); break;
        }
    }
}

void EnvironmentOrganizer::ScanEnvironments() {
    environments_.clear();
    folders_.clear();
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
        record.Text = record.Readable ? EnvTextFromFileBytes(IniGetBuffer()) : std::string();
        AssessEnvironment(record);
        environments_.push_back(std::move(record));
    }
}

int EnvironmentOrganizer::UnorganizedCount() const {
    return static_cast<int>(std::count_if(environments_.begin(), environments_.end(),
                                          [](const EnvironmentRecord& r) { return !r.Organized; }));
}

bool EnvironmentOrganizer::RelocateEnvTextures(std::string& text, size_t index) {
    EnvironmentRecord& environment = environments_.at(index);
    environment.Problems.clear();
    const std::string folder = FolderName(environment.Name);
    const std::string folderValue = "Environments\\" + folder + "\\";
    std::string result;
    size_t copied = 0;
    bool changed = false;
    for (const EnvTextureKey& key : CollectTexturePaths(text)) {
        std::string reason;
        const KeyState state = Assess(environment, key, reason);
        if (state == KeyState::InPlace) continue;
        std::optional<std::string> placed;
        if (state == KeyState::ToRewrite) {
            placed = PlaceTextureCopy(TexturePathOnDisk(key.Value), root_ + folder, key.FileName);
            if (!placed) reason = "cannot be copied";
        }
        if (!placed) {
            environment.Problems.push_back({key.Value, reason});
            continue;
        }
        result.append(text, copied, key.ValueStart - copied);
        result += folderValue + *placed;
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
        if (!environment.Organized && IniLoadFile(environment.Path)) {
            std::string text = EnvTextFromFileBytes(IniGetBuffer());
            BackslashSeparators(text);
            const bool changed = RelocateEnvTextures(text, i);
            const auto bytes = EnvFileBytesFromText(text);
            IniSetBuffer(bytes.value_or(std::string()));
            // A file that cannot be written keeps its old text, and so its textures (see MoveUnusedFiles).
            if (changed && bytes && IniSaveFile(environment.Path)) {
                environment.Text = text;
                environment.Organized = true;
            } else if (changed) {
                environment.Problems.insert(environment.Problems.begin(),
                                            {std::string(), "the environment file cannot be written"});
            }
        }
        if (Progress) Progress(static_cast<int>(i * 100 / count));
    }
    MoveUnusedFiles();
}

std::vector<std::string> EnvironmentOrganizer::ProblemLines() const {
    std::vector<std::string> lines;
    for (const EnvironmentRecord& environment : environments_)
        for (const EnvProblem& problem : environment.Problems)
            lines.push_back(environment.Name + ": " +
                            (problem.Value.empty() ? problem.Reason : problem.Value + " (" + problem.Reason + ")"));
    return lines;
}

std::string EnvironmentOrganizer::ProblemMessage() const {
    constexpr size_t kMostLines = 15;
    const std::vector<std::string> lines = ProblemLines();
    if (lines.empty()) return std::string();
    std::string text = "These texture values could not be rewritten and were kept as they are:";
    for (size_t i = 0; i < lines.size() && i < kMostLines; ++i) text += "\n" + lines[i];
    if (lines.size() > kMostLines) text += "\n... and " + std::to_string(lines.size() - kMostLines) + " more.";
    return text;
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
