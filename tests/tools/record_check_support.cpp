#include "tests/tools/record_check_support.h"

#include <string>

#include "tests/platform/temp_folder.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace {

bool EndValid(int32_t kind, int32_t index, int32_t segment) {
    switch (kind) {
        case EndFooter: return index >= 0 && index < gFooterCount;
        case EndFreeNode: return index >= 0 && index < gFreeNodeCount;
        case EndPrefabAnchor:
            return segment >= 0 && segment < gRascGroupCount && index >= 0 && index < gRascGroups[segment].ItemCount;
        default: return false;
    }
}

}  // namespace

::testing::AssertionResult EveryReferenceValid() {
    for (int32_t t = 0; t < gTubeCount; ++t) {
        const SupportTube& tube = gTubes[t];
        if (!EndValid(tube.EndAKind, tube.EndAIndex, tube.EndASegment) ||
            !EndValid(tube.EndBKind, tube.EndBIndex, tube.EndBSegment))
            return ::testing::AssertionFailure() << "tube " << t << " names a missing record";
    }
    for (int32_t c = 0; c < gCatwalkCount; ++c) {
        for (int32_t corner : {gCatwalks[c].Corner1, gCatwalks[c].Corner2, gCatwalks[c].Corner3, gCatwalks[c].Corner4})
            if (corner < 0 || corner >= gFreeNodeCount)
                return ::testing::AssertionFailure() << "catwalk " << c << " names a missing free node";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SavesAndReloadsValid() {
    TempFolder folder;
    const std::string path = folder / "saved.vxtrack";
    const int32_t tubes = gTubeCount, nodes = gFreeNodeCount, footers = gFooterCount, objects = gObjectCount;
    int32_t prefabs = 0;
    for (int32_t s = 0; s < gRascGroupCount; ++s) prefabs += gRascGroups[s].ItemCount;
    if (!SaveTrackFile(path)) return ::testing::AssertionFailure() << "not saved";
    ClearTrackDocument();
    if (!LoadTrackFile(path)) return ::testing::AssertionFailure() << "not loaded again";
    int32_t prefabsAfter = 0;
    for (int32_t s = 0; s < gRascGroupCount; ++s) prefabsAfter += gRascGroups[s].ItemCount;
    if (tubes != gTubeCount || nodes != gFreeNodeCount || footers != gFooterCount || objects != gObjectCount ||
        prefabs != prefabsAfter)
        return ::testing::AssertionFailure() << "counts differ after the reload";
    return EveryReferenceValid();
}
