#include "tools/tool_ending.h"

#include <utility>

#include "app/app_state.h"
#include "tools/tool_table.h"

namespace {

std::function<void()>& ChangedHandler() {
    static std::function<void()> handler;
    return handler;
}

}  // namespace

void SetDocumentChangedHandler(std::function<void()> handler) { ChangedHandler() = std::move(handler); }

void MarkDocumentChanged() {
    if (ChangedHandler())
        ChangedHandler()();
    else
        gDocumentChanged = true;
}

void FinishToolEdit(const RemodelFlags& flags) {
    RaiseRemodelFlags(flags);
    MarkDocumentChanged();
}
