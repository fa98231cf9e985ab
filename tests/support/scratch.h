// Shared by the test suites: a scratch folder removed when the test ends, and a fixture that
// installs a scripted platform whose program folder is such a folder.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ui/script/script_platform.h"
#include "workbench/text_file.h"

namespace testsupport {

class TempFolder {
public:
    TempFolder() {
        static std::mt19937_64 rng(
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
        path_ = std::filesystem::temp_directory_path() / ("gorvane_test_" + std::to_string(rng() % 1000000000));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path(const std::string& name = "") const {
        return name.empty() ? path_.string() : (path_ / name).string();
    }
    // Writes lines with CR LF ends, as the workbench writes sources.
    std::string write(const std::string& name, const std::vector<std::string>& lines) const {
        std::ofstream out(path_ / name, std::ios::binary);
        for (const auto& l : lines) out << l << "\r\n";
        return path(name);
    }
    // Writes bytes as they are.
    std::string write_bytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return path(name);
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    std::string read(const std::string& name) const { return read_bytes((path_ / name).string()); }
    std::vector<std::uint8_t> bytes(const std::string& name) const {
        std::string s = read(name);
        return std::vector<std::uint8_t>(s.begin(), s.end());
    }

    static std::string read_bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::filesystem::path path_;
};

// Platform: ui::ScriptPlatform or a test's own kind of it.
template <class Platform>
class PlatformFixtureOf : public ::testing::Test {
protected:
    PlatformFixtureOf() {
        platform.set_program_folder(folder.path());
        ui::set_platform(&platform);
    }
    ~PlatformFixtureOf() override { ui::set_platform(nullptr); }

    std::string path(const std::string& name) const { return folder.path(name); }
    // Texts of the boxes shown so far.
    std::vector<std::string> boxes() const {
        std::vector<std::string> r;
        for (const auto& b : platform.shown()) r.push_back(b.text);
        return r;
    }
    std::string last_box() const { return platform.shown().empty() ? "" : platform.shown().back().text; }

    TempFolder folder;
    Platform platform;
};
using PlatformFixture = PlatformFixtureOf<ui::ScriptPlatform>;

// A line array laid out as a file read lays it out.
inline wb::LineArray lines(const std::vector<std::string>& l) { return wb::LineArray::from_lines(l); }

}  // namespace testsupport
