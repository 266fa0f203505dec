#pragma once
// Letting the toolkit deliver its events (timer ticks, paints, sizes, input)
// for a bounded time, where the program or its tests wait for a window.
//
// wxYield returns only once nothing is pending. A timer whose handler takes
// longer than its interval (an animation drawing in software) has its next
// tick ready before the handler returns, so wxYield would not come back until
// the timer stops. These procedures deliver one event at a time and stop at a
// number of events or a deadline, checked between events.

#include <algorithm>
#include <chrono>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

namespace event_pump {

using Clock = std::chrono::steady_clock;

// The loop that delivers events: the running one (a modal dialog's), or one
// made active for the time of a call when no loop runs (a test's main).
class ActiveLoop {
public:
    bool Pending() const { return loop_ != nullptr && loop_->Pending(); }

    // Delivers the next event, waiting for it until the deadline at most and
    // in short steps, so that a caller's condition is asked again soon. False
    // when none came.
    bool DeliverOne(Clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (loop_ == nullptr || left <= 0) return false;
        return loop_->DispatchTimeout(static_cast<unsigned long>(std::min<long long>(left, 10))) >= 0;
    }

private:
    wxEventLoopGuarantor guarantor_;
    wxEventLoopBase* loop_ = wxEventLoopBase::GetActive();
};

// What wxYield does after the toolkit's queue: the events queued inside the
// program, then one round of idle events (sizes, menu and button states).
inline void FinishRound() {
    if (wxTheApp == nullptr) return;
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
}

}  // namespace event_pump

// Delivers the events that are ready, one at a time, until none is left,
// maxEvents were delivered or `milliseconds` have passed; then the program's
// queued events and one round of idle events. A bounded wxYield. Returns the
// number of toolkit events delivered.
inline int DeliverReadyEvents(int maxEvents = 200, int milliseconds = 1000) {
    const auto deadline = event_pump::Clock::now() + std::chrono::milliseconds(milliseconds);
    int delivered = 0;
    {
        event_pump::ActiveLoop loop;
        while (delivered < maxEvents && event_pump::Clock::now() < deadline && loop.Pending()) {
            if (!loop.DeliverOne(deadline)) break;
            ++delivered;
        }
    }
    event_pump::FinishRound();
    return delivered;
}

// Delivers events as they come until done() holds or `milliseconds` have
// passed; done() is asked before the first event and after each one, and no
// more once it holds. Returns its last answer.
template <class Condition>
bool RunEventsUntil(Condition&& done, int milliseconds) {
    const auto deadline = event_pump::Clock::now() + std::chrono::milliseconds(milliseconds);
    bool met = done();
    if (met) return true;
    {
        event_pump::ActiveLoop loop;
        while (!met && event_pump::Clock::now() < deadline) {
            loop.DeliverOne(deadline);
            met = done();
        }
    }
    event_pump::FinishRound();
    return met;
}

// Delivers events as they come for `milliseconds`.
inline void RunEventsFor(int milliseconds) {
    RunEventsUntil([] { return false; }, milliseconds);
}

// Rounds of the events that are ready, each followed by a short pause in
// which the display server can answer (a window mapped, sized and drawn).
inline void SettleEvents(int rounds, int pauseMilliseconds = 5) {
    for (int i = 0; i < rounds; ++i) {
        DeliverReadyEvents();
        wxMilliSleep(pauseMilliseconds);
    }
}
