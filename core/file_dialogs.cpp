#include "core/file_dialogs.h"

#include <filesystem>
#include <system_error>

#include "platform/file_dialog_rules.h"
#include "platform/file_system.h"
#include "platform/prompts.h"

namespace {

bool RunDialog(FileDialogRequest& request, std::string& FileName, std::string& FileTitle, int32_t& FilterIndex,
               int32_t& Flags, int32_t cancelledIndex) {
    if (!CurrentPrompts().FileDialog(request) || request.FileName.empty()) {
        FileName.clear();
        FileTitle.clear();
        Flags = 0;
        FilterIndex = cancelledIndex;
        return false;
    }
    FileName = request.FileName;
    FileTitle = fsys::FileNameOf(request.FileName);
    FilterIndex = request.FilterIndex;
    Flags = (Flags & ~kOfnReadOnly) | (request.ReadOnly ? kOfnReadOnly : 0);
    return true;
}

}  // namespace

bool ShowOpenFileDialog(std::string& FileName, std::string& FileTitle, bool FileMustExist, bool& ReadOnly,
                        bool HideReadOnly, const std::string& Filter, int32_t& FilterIndex,
                        const std::string& InitialDir, const std::string& Title, const std::string& DefaultExt,
                        void* OwnerHwnd, int32_t& Flags) {
    Flags &= ~(kOfnEnableHook | kOfnEnableTemplate);
    if (FileMustExist) Flags |= kOfnFileMustExist;
    if (ReadOnly) Flags |= kOfnReadOnly;
    if (HideReadOnly) Flags |= kOfnHideReadOnly;
    FileDialogRequest request;
    request.Save = false;
    request.Title = Title;
    request.Filter = Filter;
    request.FilterIndex = FilterIndex;
    request.InitialDir = InitialDir;
    request.FileName = FileName;
    request.DefaultExt = DefaultExt;
    request.FileMustExist = (Flags & kOfnFileMustExist) != 0;
    request.ReadOnly = (Flags & kOfnReadOnly) != 0;
    request.HideReadOnly = (Flags & kOfnHideReadOnly) != 0;
    request.Owner = OwnerHwnd;
    const bool ok = RunDialog(request, FileName, FileTitle, FilterIndex, Flags, -1);
    if (ok) ReadOnly = (Flags & kOfnReadOnly) != 0;
    return ok;
}

bool ShowSaveFileDialog(std::string& FileName, std::string& FileTitle, bool OverwritePrompt,
                        const std::string& Filter, int32_t& FilterIndex, const std::string& InitialDir,
                        const std::string& Title, const std::string& DefaultExt, void* OwnerHwnd, int32_t& Flags) {
    Flags &= ~(kOfnEnableHook | kOfnEnableTemplate);
    Flags |= kOfnHideReadOnly;
    if (OverwritePrompt) Flags |= kOfnOverwritePrompt;
    FileDialogRequest request;
    request.Save = true;
    request.Title = Title;
    request.Filter = Filter;
    request.FilterIndex = FilterIndex;
    request.InitialDir = InitialDir;
    request.FileName = FileName;
    request.DefaultExt = DefaultExt;
    request.OverwritePrompt = (Flags & kOfnOverwritePrompt) != 0;
    request.HideReadOnly = true;
    request.Owner = OwnerHwnd;
    for (;;) {
        if (!RunDialog(request, FileName, FileTitle, FilterIndex, Flags, 0)) return false;
        // The question is about the file the save will write.
        const std::string target = fsys::SavePathWithExtension(FileName, DefaultExt);
        if (request.OverwritePrompt && !ConfirmReplaceFile(target, Title)) {
            // Back to the dialog with the name the user chose.
            request.FileName = target;
            request.FilterIndex = FilterIndex;
            continue;
        }
        FileName = target;
        FileTitle = fsys::FileNameOf(target);
        return true;
    }
}

bool SaveReplacesFile(const std::string& Path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (Path.empty()) return false;
    const fs::file_status status = fs::symlink_status(Path, ec);
    return fs::exists(status) && !fs::is_directory(Path, ec);
}

std::string ReplaceFileQuestion(const std::string& Path) {
    return Path + " already exists.\r\nDo you want to replace it?";
}

bool ConfirmReplaceFile(const std::string& Path, const std::string& Title) {
    if (!SaveReplacesFile(Path)) return true;
    return MsgBox(ReplaceFileQuestion(Path), Title, MsgButtons::YesNoNoDefault, MsgIcon::Exclamation) ==
           MsgResult::Yes;
}
