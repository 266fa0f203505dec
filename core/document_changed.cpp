#include "core/document_changed.h"

#include <utility>

#include "core/app_state.h"

namespace {

DocumentChangedObserver gDocumentChangedObserver;

}  // namespace

void SetDocumentChangedObserver(DocumentChangedObserver observer) { gDocumentChangedObserver = std::move(observer); }

void SetDocumentChanged() {
    if (gDocumentChanged) return;
    gDocumentChanged = true;
    if (gDocumentChangedObserver) gDocumentChangedObserver();
}
