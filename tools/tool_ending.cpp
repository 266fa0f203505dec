#include "tools/tool_ending.h"

#include "app/document_changed.h"
#include "tools/tool_table.h"

void FinishToolEdit(const RemodelFlags& flags) {
    RaiseRemodelFlags(flags);
    SetDocumentChanged();
}
