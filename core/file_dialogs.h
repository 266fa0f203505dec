#pragma once
// The open and save dialogs as the program's callers use them, shown through
// CurrentPrompts(). Filters are "Description|pattern;pattern|..." texts; the
// dialog matches patterns without regard to letter case and appends the
// default extension (given without its dot) to a name typed without one.
//
// On OK: FileName := the chosen full path, FileTitle := its file name,
// FilterIndex := the chosen filter (from 1), Flags := the option bits in
// effect (with kOfnReadOnly as the user left the read-only box); true.
// On cancel: FileName and FileTitle := empty, Flags := 0, FilterIndex := -1
// (open) or 0 (save); false. The caller's filter and start folder are never
// changed.

#include <cstdint>
#include <string>

// Option bits of the dialogs.
inline constexpr int32_t kOfnReadOnly = 0x1;
inline constexpr int32_t kOfnOverwritePrompt = 0x2;
inline constexpr int32_t kOfnHideReadOnly = 0x4;
inline constexpr int32_t kOfnEnableHook = 0x20;      // removed: no hooks here
inline constexpr int32_t kOfnEnableTemplate = 0x40;  // removed: no templates here
inline constexpr int32_t kOfnFileMustExist = 0x1000;

// OwnerHwnd: the owning window of the toolkit (a wxWindow*), nullptr for the active window.
bool ShowOpenFileDialog(std::string& FileName, std::string& FileTitle, bool FileMustExist, bool& ReadOnly,
                        bool HideReadOnly, const std::string& Filter, int32_t& FilterIndex,
                        const std::string& InitialDir, const std::string& Title, const std::string& DefaultExt,
                        void* OwnerHwnd, int32_t& Flags);

// The read-only box is always hidden. FileName on OK is the file the save
// writes: the chosen path with DefaultExt appended unless its name ends in it
// (fsys::SavePathWithExtension, the rule of the program's writers). With
// OverwritePrompt, when something is there, ConfirmReplaceFile asks about
// exactly that path; No shows the dialog again on that name.
bool ShowSaveFileDialog(std::string& FileName, std::string& FileTitle, bool OverwritePrompt,
                        const std::string& Filter, int32_t& FilterIndex, const std::string& InitialDir,
                        const std::string& Title, const std::string& DefaultExt, void* OwnerHwnd, int32_t& Flags);

// True when a save to Path would replace something there: a file, or a
// symbolic link, even one that leads nowhere (a folder is never replaced).
bool SaveReplacesFile(const std::string& Path);
// "<Path> already exists." CR LF "Do you want to replace it?"
std::string ReplaceFileQuestion(const std::string& Path);
// Before a save to Path: when it would replace something, asks
// ReplaceFileQuestion (Yes, No, the exclamation icon, titled Title). True
// when nothing is there or the answer is Yes.
bool ConfirmReplaceFile(const std::string& Path, const std::string& Title);
