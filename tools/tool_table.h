#pragma once
// The tools of the Track and Element menus as the main window launches them:
// each dialog's caption, help topic, launch kind, the rebuild flags its OK
// sets and whether it marks the document changed. The dialogs take their
// caption and help topic from here, and the launchers their launch kind.

#include <string_view>
#include <vector>

#include "model/rebuild_flags.h"

enum class ToolLaunch {
    Plain,     // shown modally, no clearing of the flags and no rebuild afterwards
    Modal,     // flags cleared, shown modally, flagged parts rebuilt afterwards
    Modeless,  // flags cleared, shown beside the main window, redrawn at once (Move)
};

enum class ToolDocument { Track, Element };

struct ToolDialogInfo {
    const char* Dialog;       // the dialog's class name, e.g. "frmTMove"
    const char* MenuEntry;    // the menu entry's name, e.g. "mnuTMove"
    const char* Caption;      // the dialog's caption
    const char* ToolTip;      // the tool bar's tip (the caption but for the Tube Exchanger)
    const char* HelpTopic;    // "" when the dialog has no Help button
    ToolDocument Document;
    ToolLaunch Launch;
    RemodelFlags Flags;       // what its OK asks the model builder to rebuild
    bool MarksChanged;
    bool OnToolBar;           // every tool but the Spine Changer has a tool-bar button
};

// Every tool of both menus, Track first, each in its menu's order (which is
// also the order of its tool-bar buttons).
const std::vector<ToolDialogInfo>& ToolDialogTable();
// The tool of that dialog class; nullptr for an unknown name.
const ToolDialogInfo* FindToolDialog(std::string_view dialog);
// The tool of tool-bar button `index` for a document kind; nullptr past the end.
const ToolDialogInfo* ToolDialogOfButton(ToolDocument document, int index);

// Flag sets named as the tool table names them.
RemodelFlags AllFlagsButGround();
RemodelFlags AllFlags();
// Sets the flags of `flags` true in gRemodelFlags, leaving the others as they are.
void RaiseRemodelFlags(const RemodelFlags& flags);
