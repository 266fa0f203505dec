#include "trackdoc/element_document.h"

int32_t gElementSize = 0;
int32_t gElementNodeCount = 0;
std::vector<TrackNode> gElementNodes(1);

void ClearElementDocument() {
    gElementNodes.assign(1, TrackNode{});
    gElementSize = 0;
    gElementNodeCount = 0;
}
