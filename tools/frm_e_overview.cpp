#include "tools/frm_e_overview.h"

#include <algorithm>

#include "model/build_pipeline.h"
#include "model/path_frames.h"
#include "model/rebuild_flags.h"
#include "trackdoc/element_document.h"

namespace {

// Builds the element's path (only the path) when the last build did not
// leave one of the element's segment count.
void EnsureElementPathBuilt() {
    const int32_t segments = std::max<int32_t>(0, gElementNodeCount - 1);
    if (gPathValid && gSpineInfoSegmentCount == segments) return;
    if (IsModelBuilding()) return;
    gSpineInfoValid = false;
    gPathValid = false;
    BuildTrackModel(false, true, true);
}

}  // namespace

frmEOverview::frmEOverview(wxWindow* owner) : frmOverviewDialog(owner, "frmEOverview") {
    BuildReport();
    FinishLayout();
}

void frmEOverview::BuildReport() {
    EnsureElementPathBuilt();
    ShowReport(BuildElementReport);
}

void ShowEOverviewDialog(wxWindow* owner) {
    frmEOverview dialog(owner);
    dialog.ShowModal();
}
