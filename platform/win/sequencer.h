// The media-control devices' side of tunes; the players themselves come from
// the backend (backend::OpenTune in platform/backend.h).
#pragma once

namespace platform {

// Posts the notifications of the devices whose tunes have reached their end.
// The backends' event pumps call it on the main thread.
void PollSequencers();

} // namespace platform
