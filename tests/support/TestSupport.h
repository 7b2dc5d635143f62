// Shared helpers of the test suites.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace qxtest {

// ../shared/testdata beside the checkout, or $QX_TESTDATA when set.  Empty
// when neither exists (as on a user's machine).
std::optional<std::filesystem::path> SharedTestData();

// A fresh empty folder under the system temp folder, removed at destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Changes the current folder for the lifetime of the scope.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::filesystem::path& dir);
    ~ScopedCurrentDir();

private:
    std::filesystem::path previous_;
};

std::string ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace qxtest

// Skips the current test, with a message, when the shared test data is absent.
#define QX_REQUIRE_TESTDATA(var)                                                          \
    auto var##_opt = ::qxtest::SharedTestData();                                          \
    if (!var##_opt)                                                                       \
        GTEST_SKIP() << "shared test data not found (set QX_TESTDATA or provide "         \
                        "../shared/testdata)";                                            \
    const std::filesystem::path var = *var##_opt
