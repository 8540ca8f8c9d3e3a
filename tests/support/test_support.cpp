#include "support/test_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace arbolix::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "arbolix-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory from " + pattern);
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string Utf16Bytes(std::string_view utf8, bool littleEndian) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : 3;
        char32_t unit = length == 1 ? byte : length == 2 ? byte & 0x1F : byte & 0x0F;
        for (int k = 1; k < length; ++k)
            unit = (unit << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        out += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return out;
}

CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::vector<std::string>& extraEnvironment) {
    TempDir dir;
    const std::string outPath = dir.file("out").string();
    const std::string errPath = dir.file("err").string();
    CommandResult result;
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        for (const std::string& assignment : extraEnvironment) putenv(strdup(assignment.c_str()));
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.out = ReadFileBytes(outPath);
    result.err = ReadFileBytes(errPath);
    return result;
}

std::filesystem::path SharedGedcomDir() {
#ifdef ARBOLIX_SHARED_GEDCOM
    std::error_code error;
    const std::filesystem::path dir = ARBOLIX_SHARED_GEDCOM;
    if (std::filesystem::is_directory(dir, error)) return std::filesystem::canonical(dir, error);
#endif
    return {};
}

std::filesystem::path SampleFamilyFile() {
    return std::filesystem::path(ARBOLIX_SOURCE_DIR) / "resources" / "samples" /
           "famille-delorme.ged";
}

} // namespace arbolix::test
