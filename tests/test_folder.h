// A fresh folder per test under the system's temporary folder, named after the
// process and the test; removed afterwards unless the test failed, so that a
// failure leaves its files to look at. Commands can be run inside it.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

// A name of this test's own for a file that must lie in a folder other tests
// use too (the program's): the process id goes before the extension, and
// CTest runs every test in a process of its own.
inline std::string OwnName(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    const std::string stem = name.substr(0, dot),
                      extension = dot == name.npos ? "" : name.substr(dot);
    return stem + "-" + std::to_string(getpid()) + extension;
}

// Files made while it lives get the mode mask `mask`, whatever the tests run
// under; the caller's comes back when it goes.
class ModeMask {
  public:
    explicit ModeMask(mode_t mask) : saved_(umask(mask)) {}
    ~ModeMask() { umask(saved_); }
    ModeMask(const ModeMask&) = delete;
    ModeMask& operator=(const ModeMask&) = delete;

  private:
    mode_t saved_;
};

class TestFolder : public ::testing::Test {
  protected:
    explicit TestFolder(const char* prefix) : prefix(prefix) {}
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 (prefix + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        if (!HasFailure()) std::filesystem::remove_all(folder);
    }

    // Runs a shell command in the folder; its exit code, with what it printed
    // (both streams) in `output`.
    int RunInFolder(const std::string& command) {
        std::FILE* pipe =
            popen(("cd '" + folder.string() + "' && (" + command + ") 2>&1").c_str(), "r");
        if (!pipe) return -1;
        output.clear();
        char buffer[256];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string prefix;
    std::filesystem::path folder;
    std::string output; // what the last RunInFolder printed
};
