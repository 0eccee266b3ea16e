// Interruptions (Ctrl+C, a polite kill, a closed terminal) while files are
// written and replaced, handled alike in every program. From the first
// temporary file a program makes: an interruption that comes while a set of
// files is put in place waits until the set is settled; one that comes
// meanwhile ends the program as it would have, after its temporaries are
// removed. What the program itself did on an interruption (the desktop
// window closes) is kept, and done instead when it did not end the program.
// A write past the file size limit fails (the file is too large) rather than
// ending the program, so that it is reported and cleaned up like any other.
#pragma once

#include <string>

namespace platform {

// Takes over the interruptions, once; later calls do nothing.
void WatchInterruptions();

// Notes a temporary file of ours, to be removed if an interruption ends the
// program before it is put in place, and forgets it again.
void HoldTemporary(const std::string& path);
void ReleaseTemporary(const std::string& path);

// While one exists, in any thread, interruptions wait.
class InterruptionsDeferred {
  public:
    InterruptionsDeferred();
    ~InterruptionsDeferred();
    InterruptionsDeferred(const InterruptionsDeferred&) = delete;
    InterruptionsDeferred& operator=(const InterruptionsDeferred&) = delete;
};

} // namespace platform
