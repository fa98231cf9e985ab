#pragma once
// Shared by the workbench tests: a scratch folder and a platform that answers from queues.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ui/script/script_platform.h"

namespace testsupport {

inline std::string scratch(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() /
               ("gorvane_" + name + "_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

inline void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Installs a ScriptPlatform for the test's lifetime.
struct PlatformFixture : ::testing::Test {
    ui::ScriptPlatform platform;
    std::string folder;
    void SetUp() override {
        folder = scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
        platform.set_program_folder(folder);
        ui::set_platform(&platform);
    }
    void TearDown() override {
        ui::set_platform(nullptr);
        std::filesystem::remove_all(folder);
    }
    std::string path(const std::string& name) const { return folder + "/" + name; }
    std::string last_box() const { return platform.shown().empty() ? "" : platform.shown().back().text; }
};

}  // namespace testsupport
