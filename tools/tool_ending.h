#pragma once
// The fixed ending of a tool's OK, after its own checks and its edit:
// 1. its rebuild flags, 2. the document's changed mark (SetDocumentChanged,
// which also puts "*" in the main window's title and enables Save), 3. the
// dialog unloads (the dialog's own last step; the launcher then rebuilds what
// was flagged).

#include "model/rebuild_flags.h"

// Steps 1 and 2: raises the given rebuild flags, then marks the document changed.
void FinishToolEdit(const RemodelFlags& flags);
