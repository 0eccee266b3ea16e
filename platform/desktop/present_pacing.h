// Whether presents that should wait for the display's vertical blank really do.
// Some renderers say so and return at once (software and off-screen ones, or a
// driver that ignores the request). Once a run of presents has come back faster
// than the display refreshes, presents count as running free for good, and
// frames go back to a timed wait.
#pragma once

#include <cstdint>

namespace platform {

class PresentPacing {
  public:
    // A present returned at `nowNs` (a monotonic clock) on a display that
    // refreshes every `periodNs`.
    void Presented(std::int64_t nowNs, std::int64_t periodNs);
    // A frame went by without a present (its picture was the one shown): the
    // next present is not measured against the last, and the run goes on.
    void Skipped() { measuring = false; }
    bool RunsFree() const { return quickInARow >= QUICK_RUN; }

  private:
    // Longer than any queue of frames a synced driver accepts before it blocks.
    static constexpr int QUICK_RUN = 8;
    std::int64_t lastNs = 0;
    bool measuring = false;
    int quickInARow = 0;
};

} // namespace platform
