#include "simulator/environment_editor.h"

#include <cerrno>
#include <system_error>
#include <vector>

#include "core/app_state.h"
#include "core/file_dialogs.h"
#include "platform/file_dialog_rules.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/prompts.h"
#include "platform/stored_paths.h"
#include "simulator/picture_loading.h"

namespace {

const char* const kEnvFilter = "Vortaxis Environments (*.env)|*.env";
const char* const kSaveAsTitle = "Save Environment As...";
const char* const kTextureFilter =
    "Supported Images|*.jpg;*.tga|JPeG Images (*.jpg)|*.jpg|Targa Images (*.tga)|*.tga";

// The folder part of a path, ending in "/"; empty when it has none.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A whole number of 1 / 10^decimals with at least minDecimals and at most
// `decimals` decimals: 100 at 4 decimals, at least 1, gives "0.01".
std::string DecimalText(int64_t units, int decimals, int minDecimals) {
    int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const int64_t magnitude = units < 0 ? -units : units;
    std::string fraction = std::to_string(magnitude % scale);
    fraction.insert(0, static_cast<size_t>(decimals) - fraction.size(), '0');
    while (fraction.size() > static_cast<size_t>(minDecimals) && fraction.back() == '0') fraction.pop_back();
    return (units < 0 ? "-" : "") + std::to_string(magnitude / scale) + "." + fraction;
}

// Why a texture was not copied, after ": ", as a message line shows it; empty when unknown.
std::string CopyFailureReason(const UncopiedTexture& texture) {
    if (texture.Unreadable)
        return texture.Error == 0 ? ": The texture cannot be read."
                                  : ": The texture cannot be read. " +
                                        fsys::ReadFailureReason(texture.Error, fsys::kPictureFile);
    const std::string reason = TextureCopyFailureReason(texture.Error);
    return reason.empty() ? reason : ": " + reason;
}

void Warn(const std::string& text, const char* title) { MsgBox(text, title, MsgButtons::OK, MsgIcon::Exclamation); }

// A reason a message line starts with, as a sentence: "the name ..." is "The name ....".
std::string Sentence(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text + ".";
}

// The values a save kept because their files were not found, at most 15 of them.
std::string NotFoundList(const std::vector<std::string>& values) {
    constexpr size_t kMostLines = 15;
    std::string text;
    for (size_t i = 0; i < values.size() && i < kMostLines; ++i)
        text += "\n" + values[i].substr(0, values[i].find('\0'));
    if (values.size() > kMostLines) text += "\n... and " + std::to_string(values.size() - kMostLines) + " more.";
    return text;
}

}  // namespace

EnvironmentEditor::EnvironmentEditor(EnvironmentValues& values) : values_(values) {}

std::string EnvironmentEditor::EnvironmentsFolder() {
    if (gSimPath.empty()) return std::string();
    return fsys::WithTrailingSeparator(fsys::MapStoredName(gSimPath, "Environments"));
}

void EnvironmentEditor::Start() {
    // The superuser's run on another user's tree: said once by the window, and no save is written.
    const std::string folder = EnvironmentsFolder();
    refusal_ = fsys::WayRefusal(folder.empty() ? gSimPath : folder);
    ResetEnvironmentControls(values_);
    EnvName.clear();
    CurrentFilePath.clear();
    SavedFilePath.clear();
    LastTextureFolder.clear();
    Changed = false;
}

bool EnvironmentEditor::AskToSave() {
    if (!Changed) return true;
    switch (MsgBox("There are unsaved changes to the Envrionment.\nDo you want to save?", "Unsaved Changes...",
                   MsgButtons::YesNoCancel, MsgIcon::Exclamation)) {
        case MsgResult::Yes:
            return SaveEnvironment();
        case MsgResult::No:
            return true;
        default:
            return false;
    }
}

bool EnvironmentEditor::New() {
    if (!AskToSave()) return false;
    ResetEnvironmentControls(values_);
    EnvName.clear();
    CurrentFilePath.clear();
    SavedFilePath.clear();
    Changed = false;
    return true;
}

bool EnvironmentEditor::Open() {
    if (!AskToSave()) return false;
    std::string path = CurrentFilePath, title;
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 0;
    if (!ShowOpenFileDialog(path, title, true, readOnly, true, kEnvFilter, filterIndex, EnvironmentsFolder(),
                            "Open Environment File...", "env", Owner, flags)) {
        return false;
    }
    errno = 0;
    if (!ReadEnvironmentFile(path, values_)) {
        const std::string reason = fsys::ReadFailureReason(errno, fsys::kEnvironmentFile);
        Warn("Error Opening Environment File." + (reason.empty() ? "" : "\n" + reason), "Error!");
        return false;
    }
    CurrentFilePath = path;
    SavedFilePath.clear();
    EnvName = EnvironmentNameOfFile(fsys::FileNameOf(path));
    Changed = false;
    return true;
}

bool EnvironmentEditor::SaveEnvironment() {
    if (EnvName.empty()) return SaveEnvironmentAs();
    return Write(false);
}

bool EnvironmentEditor::RefusesSaves(const std::string& shownPath) const {
    if (refusal_.empty()) return false;
    Warn("Unable to save file!\n" + shownPath + "\n" + refusal_, "Error!");
    return true;
}

bool EnvironmentEditor::Write(bool replaceConfirmed) {
    const std::string shownPath = EnvironmentsFolder() + EnvName + ".env";
    if (RefusesSaves(shownPath)) return false;
    if (const auto outside = TextOutsideCodePage(EnvName, values_)) {
        Warn("Unable to save file!\n" + shownPath + "\n" +
                 "An environment file cannot hold the characters of this text:\n" + *outside,
             "Error!");
        return false;
    }
    const std::string target = EnvironmentFilePath(EnvName);
    if (target.empty()) {
        const std::string refusal = EnvironmentNameRefusal(EnvName);
        Warn("Unable to save file!\n" + shownPath + (refusal.empty() ? "" : "\n" + Sentence(refusal)), "Error!");
        return false;
    }
    // The file the environment came from, or the one saved last, is replaced
    // without a question; any other asks first (Save As has asked already).
    const bool ownFile = fsys::IsSameFile(target, CurrentFilePath) || fsys::IsSameFile(target, SavedFilePath);
    if (!replaceConfirmed && !ownFile && !ConfirmReplaceFile(target, "Save Environment")) return false;
    std::vector<UncopiedTexture> uncopied;
    std::vector<std::string> notFound;
    errno = 0;
    if (!WriteEnvironmentFile(EnvName, values_, &uncopied, &notFound)) {
        const std::string reason = fsys::WriteFailureReason(errno);
        std::string text = "Unable to save file!\n" + target;
        if (uncopied.empty() && !reason.empty()) text += "\n" + reason;
        if (!uncopied.empty())
            text += "\nThese textures could not be copied into " + EnvironmentTextureFolder(EnvName) + ":";
        for (const UncopiedTexture& texture : uncopied) text += "\n" + texture.Path + CopyFailureReason(texture);
        Warn(text, "Error!");
        return false;
    }
    SavedFilePath = target;
    Changed = false;
    // Their values were written back as they were, not as copies in the
    // environment's folder: the user learns which pictures it did not take along.
    if (!notFound.empty())
        Warn("The environment was saved, but these textures were not found, so they were not copied into " +
                 EnvironmentTextureFolder(EnvName) + " and keep their values as they were:" + NotFoundList(notFound),
             "Warning!");
    return true;
}

bool EnvironmentEditor::SaveEnvironmentAs() {
    const std::string folder = EnvironmentsFolder();
    if (RefusesSaves(folder)) return false;
    std::string path = EnvName.empty() ? std::string() : folder + EnvName + ".env", title;
    int32_t filterIndex = 1, flags = 0;
    for (;;) {
        // No question in the dialog: the file written is decided (and asked
        // about) once the folder is known to be the Environments folder.
        if (!ShowSaveFileDialog(path, title, false, kEnvFilter, filterIndex, folder, kSaveAsTitle, "env", Owner,
                                flags)) {
            return false;
        }
        if (folder.empty() || !fsys::IsSameFile(FolderOf(path), folder)) {
            Warn("Environment files MUST be saved to the Vortaxis Environment folder!", "Warning!");
            return false;
        }
        const std::string name = EnvironmentNameOfFile(fsys::FileNameOf(path));
        // The name as the file it writes spells it ("sunset" over "Sunset.env" is "Sunset").
        const std::string target = EnvironmentFilePath(name);
        if (!ConfirmReplaceFile(target, kSaveAsTitle)) {
            path = target;  // No: back to the dialog on that name, as in the other save dialogs
            continue;
        }
        const std::string previous = EnvName;
        EnvName = target.empty() ? name : EnvironmentNameOfFile(fsys::FileNameOf(target));
        if (!Write(true)) {
            EnvName = previous;  // nothing was saved under the new name
            return false;
        }
        return true;
    }
}

bool EnvironmentEditor::QueryClose() { return AskToSave(); }

bool EnvironmentEditor::ChooseTexture(std::string& box) {
    // Before any texture was chosen, the simulator's folder.
    std::string startFile, startFolder = LastTextureFolder.empty() ? gSimPath : LastTextureFolder;
    if (box.size() >= 2) {
        startFile = TexturePathOnDisk(box);
        if (startFile.empty()) startFile = fsys::MapStoredName(gSimPath, box);
        startFolder = FolderOf(startFile);
    }
    std::string path = startFile, title;
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 0;
    if (!ShowOpenFileDialog(path, title, true, readOnly, true, kTextureFilter, filterIndex, startFolder,
                            "Select Texture...", "jpg", Owner, flags)) {
        return false;
    }
    LastTextureFolder = FolderOf(path);
    // Inside the simulator folder a texture is named relative to it.
    box = gSimPath.empty() ? path : fsys::ToStoredName(gSimPath, path).value_or(path);
    Changed = true;
    return true;
}

void EnvironmentEditor::ViewTexture(const std::string& box) {
    if (box.size() < 3) return;
    std::string path = TexturePathOnDisk(box);
    if (path.empty() || !fsys::FileExists(path)) {
        const std::string shown = path.empty() ? fsys::MapStoredName(gSimPath, box) : path;
        Warn("Unable to locate file!\n" + (shown.empty() ? gSimPath + box : shown), "Warning!");
        return;
    }
    if (!LoadPictureFile(path)) {
        Warn("Unable to open file!\n" + path, "Warning!");
        return;
    }
    if (ShowTextureViewer) ShowTextureViewer();
}

void EnvironmentEditor::ClearTexture(std::string& box) {
    box.clear();
    Changed = true;
}

void EnvironmentEditor::GetLightingFromSun() {
    values_.lblLightingColor = values_.lblSunColor[0];
    Changed = true;
}

int FilterEnvNameKey(int KeyAscii) {
    switch (KeyAscii) {
        case '\\':
        case '|':
        case '<':
        case '>':
        case '"':
        case '*':
        case ':':
            return 0;
        default:
            return KeyAscii;
    }
}

std::string EnvironmentNameOfFile(const std::string& fileName) {
    if (fsys::HasExtension(fileName, ".env")) return fileName.substr(0, fileName.size() - 4);
    return fileName;
}

std::string FogDensityText(int32_t value) { return DecimalText(value, 4, 1); }

std::string TreeSizeText(int32_t value) { return DecimalText(value, 2, 2); }

std::string SunPositionText(int32_t value) { return DecimalText((int64_t{value} - 14400) * 125, 4, 1); }
