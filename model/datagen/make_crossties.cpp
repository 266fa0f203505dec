// Writes the program's crosstie object files into the folder given on the
// command line (the program's data folder of the build tree).

#include <cstdio>
#include <string>

#include "model/datagen/crosstie_designs.h"
#include "model/modeler_settings.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '/') folder += '/';
    for (const char* name : kCrosstieFileNames) {
        const std::string path = folder + name;
        if (!WriteTieObjectFile(path, CrosstieDesign(name))) {
            std::fprintf(stderr, "could not write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
