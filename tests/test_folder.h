// A fresh folder per test under the system's temporary folder, named after the
// process and the test; removed afterwards unless the test failed, so that a
// failure leaves its files to look at.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

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

    std::string prefix;
    std::filesystem::path folder;
};
