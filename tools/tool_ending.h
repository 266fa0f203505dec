#pragma once
// The fixed ending of a tool's OK, after its own checks and its edit:
// 1. its rebuild flags, 2. the document's changed mark, 3. the dialog unloads
// (the dialog's own last step; the launcher then rebuilds what was flagged).

#include <functional>

#include "model/rebuild_flags.h"

// The main window's changed mark (title "*", Save enabled), installed by it at
// start-up. Without a handler only gDocumentChanged is set.
void SetDocumentChangedHandler(std::function<void()> handler);
// Marks the open document changed; calling it again changes nothing more.
void MarkDocumentChanged();

// Steps 1 and 2: raises the given rebuild flags, then marks the document changed.
void FinishToolEdit(const RemodelFlags& flags);
