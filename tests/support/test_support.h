#pragma once
// Helpers shared by the test programs.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace arbolix::test {

// A fresh, empty directory under the system's temporary folder, removed with its contents when
// the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the directory (nothing is created).
    std::filesystem::path file(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// The whole content of a file as bytes; "" when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);
// Replaces the content of a file; false when it cannot be written.
bool WriteFileBytes(const std::filesystem::path& file, std::string_view bytes);
// UTF-8 text (of characters below U+10000) as UTF-16 code units, without a byte-order mark.
std::string Utf16Bytes(std::string_view utf8, bool littleEndian);

// What a program printed and how it ended.
struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
// Runs a program with these arguments (argv[0] first), without a shell, and waits for it.
CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::vector<std::string>& extraEnvironment = {});

// The folder of public GEDCOM test files, or an empty path when it is absent.
std::filesystem::path SharedGedcomDir();
// The bundled sample family.
std::filesystem::path SampleFamilyFile();

} // namespace arbolix::test

// Skips the current test, with a message, when the shared GEDCOM folder is absent.
#define ARBOLIX_REQUIRE_SHARED_GEDCOM(dir)                                                         \
    const std::filesystem::path dir = ::arbolix::test::SharedGedcomDir();                          \
    if (dir.empty()) GTEST_SKIP() << "shared GEDCOM test files not found (../shared/gedcom)"
