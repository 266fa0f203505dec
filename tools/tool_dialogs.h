#pragma once
// How the main window shows the tool dialogs of this folder. Each show
// function creates its dialog afresh (so every opening starts from the
// control defaults) with the main window as owner. A modal dialog returns
// when it has been unloaded; the launcher clears the rebuild flags before
// and rebuilds what the tool flagged after.
//
// Track > Move is modeless: its show function returns at once, and while it
// is open the main window keeps working. Commands that must not run beside it
// (opening a file, leaving the program, launching any other tool) call
// FinishMoveTool first, which does what its Done button does.

class wxWindow;
class frmTMove;

void ShowTMoveDialog(wxWindow* owner);  // brings an open Move tool to the front instead of opening a second
void ShowTScaleDialog(wxWindow* owner);
void ShowTRotateDialog(wxWindow* owner);
void ShowTMirrorDialog(wxWindow* owner);
void ShowEReverseDialog(wxWindow* owner);
void ShowEScaleDialog(wxWindow* owner);
void ShowEPitchDialog(wxWindow* owner);
void ShowETiltDialog(wxWindow* owner);
void ShowESkewDialog(wxWindow* owner);

// The open Move tool; nullptr when it is closed.
frmTMove* OpenMoveTool();
// Runs the open Move tool's Done (the pending rebuild) and unloads it; nothing
// when it is closed.
void FinishMoveTool();
