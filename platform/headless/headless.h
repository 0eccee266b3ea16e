// Controls of the headless backend: the caller owns the clock and the events.
#pragma once

#include <cstdint>
#include <functional>

namespace platform::headless {

void SetClock(std::uint32_t milliseconds);
void AdvanceClock(std::uint32_t milliseconds);

// Called whenever the message queue is empty and a message is wanted. With
// `block` the caller waits for one; a source that posts nothing then leaves the
// wait returning with the queue still empty.
void SetEventSource(std::function<void(bool block)> source);

// Size the display reports (default 1024 x 768).
void SetDisplaySize(int width, int height);

// Offer 16-bit modes as 5:5:5 instead of 5:6:5.
void UseFormat555(bool five55);

// Counts of what the window was asked to do, for tests.
int RaiseCount();

} // namespace platform::headless
