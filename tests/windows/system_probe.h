// What the Windows suite asks of the system directly, behind names of its own
// (the suite itself sees only the platform's headers).
#pragma once

#include <string>

namespace system_probe {

// Waits `ms` milliseconds.
void Pause(int ms);
// Whether `folder`'s access list lets in no one but this user (and the
// system itself).
bool ClosedToOthers(const std::string& folder);

// Holds a file open for reading, letting others read it but not remove or
// replace it, until destroyed.
class HeldOpen {
  public:
    explicit HeldOpen(const std::string& path);
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    ~HeldOpen();
    bool Held() const { return handle != nullptr; }

  private:
    void* handle = nullptr;
};

} // namespace system_probe
