// Writes the sample tracks and element into a folder:
//   make_samples <folder>
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "samples/sample_tracks.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = fsys::WithTrailingSeparator(argv[1]);
    if (!fsys::CreateFolders(folder) || !WriteSamples(folder)) {
        std::fprintf(stderr, "could not write the samples into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
