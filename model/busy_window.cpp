#include "model/busy_window.h"

namespace {

class SilentBusyWindow final : public BuildProgress {
public:
    void Show() override {}
    void UpdateInfo(const std::string&) override {}
    void UpdateMarker() override {}
    void ForceUnload() override {}
};

SilentBusyWindow gSilentBusyWindow;
BuildProgress* gBusyWindow = &gSilentBusyWindow;

}  // namespace

BuildProgress& BusyWindow() { return *gBusyWindow; }

void SetBusyWindow(BuildProgress* window) { gBusyWindow = window ? window : &gSilentBusyWindow; }

void BusyMarker::Advance() {
    Position = static_cast<int16_t>(Position + Step);
    if (Position < 2) Step = 2;
    if (Position > 94) Step = -2;
}
