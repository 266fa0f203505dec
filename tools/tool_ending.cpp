#include "tools/tool_ending.h"

#include "core/document_changed.h"
#include "tools/tool_table.h"

void FinishToolEdit(const RemodelFlags& flags) {
    RaiseRemodelFlags(flags);
    SetDocumentChanged();
}
