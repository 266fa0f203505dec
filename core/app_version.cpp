#include "core/app_version.h"

#ifndef GW_VERSION_MAJOR
#error "GW_VERSION_MAJOR, GW_VERSION_MINOR and GW_VERSION_REVISION come from the build"
#endif

int AppVersionMajor() { return GW_VERSION_MAJOR; }
int AppVersionMinor() { return GW_VERSION_MINOR; }
int AppVersionRevision() { return GW_VERSION_REVISION; }

std::string AppVersionText() {
    return std::to_string(AppVersionMajor()) + "." + std::to_string(AppVersionMinor()) + "." +
           std::to_string(AppVersionRevision());
}
