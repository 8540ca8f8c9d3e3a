// Every input kept in fuzz/regressions once made a fuzz target fail. Each is replayed through the
// very functions the fuzz targets run; those listed in fuzz/known-failing.txt, whose faults are
// not fixed yet, are skipped with the reason given there.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <sstream>

#include "base/reporter.h"
#include "data/gedcom_reader.h"
#include "fuzz_inputs.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

const std::filesystem::path kFuzzDir = std::filesystem::path(ARBOLIX_SOURCE_DIR) / "fuzz";
// The entry of the list that stands for reading a FIFO (no file can hold it).
constexpr const char* kFifoEntry = "fifo";

// Name → reason, from the lines "name  reason" of the list ('#' starts a comment).
std::map<std::string, std::string> KnownFailing() {
    std::map<std::string, std::string> known;
    std::ifstream in(kFuzzDir / "known-failing.txt");
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name, reason;
        if (!(words >> name) || name[0] == '#') continue;
        std::getline(words >> std::ws, reason);
        known[name] = reason;
    }
    return known;
}

// The file names of a folder of fuzz/, sorted.
std::vector<std::string> FilesOf(const char* folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kFuzzDir / folder))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Why the entry still fails, or "" when it is not listed.
std::string KnownFault(const std::string& name) {
    const auto known = KnownFailing();
    const auto it = known.find(name);
    return it == known.end() ? std::string() : it->second;
}

#define SKIP_WHEN_KNOWN(name)                                                                      \
    if (const std::string fault = KnownFault(name); !fault.empty())                                \
    GTEST_SKIP() << (name) << " still fails, listed in fuzz/known-failing.txt: " << fault

class Regression : public testing::TestWithParam<std::string> {};

TEST_P(Regression, ReadsAndChartsWithoutFault) {
    SKIP_WHEN_KNOWN(GetParam());
    const std::string bytes = test::ReadFileBytes(kFuzzDir / "regressions" / GetParam());
    EXPECT_EQ(fuzz::ReadInput(bytes), fuzz::Faults{});
    EXPECT_EQ(fuzz::ChartInput(bytes), fuzz::Faults{});
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Regression, testing::ValuesIn(FilesOf("regressions")), TestName);

// The seeds the fuzzing starts from go through without fault too: the checks of the fuzz targets
// hold on ordinary files.
class Seed : public testing::TestWithParam<std::string> {};

TEST_P(Seed, ReadsAndChartsWithoutFault) {
    const std::string bytes = test::ReadFileBytes(kFuzzDir / "seeds" / GetParam());
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(fuzz::ReadInput(bytes), fuzz::Faults{});
    EXPECT_EQ(fuzz::ChartInput(bytes), fuzz::Faults{});
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Seed, testing::ValuesIn(FilesOf("seeds")), TestName);

TEST(FuzzRegressions, KnownFailingListNamesKeptInputs) {
    const std::vector<std::string> files = FilesOf("regressions");
    for (const auto& [name, reason] : KnownFailing()) {
        EXPECT_TRUE(name == kFifoEntry ||
                    std::find(files.begin(), files.end(), name) != files.end())
            << name;
        EXPECT_FALSE(reason.empty()) << name;
    }
}

// A FIFO is no file to read: it is refused at once, whether or not anything writes into it.
TEST(FuzzRegressions, ReadingAFifoIsRefusedWithoutWaiting) {
    SKIP_WHEN_KNOWN(kFifoEntry);
    test::TempDir dir;
    const std::string path = dir.file("tube.ged").string();
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&] {
        auto store = std::make_unique<PersonStore>();
        ListReporter reporter;
        const int32_t result = ReadGedcom(*store, path, {}, reporter);
        return std::pair{result, reporter.messages.size()};
    });
    if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Give the blocked reading a writer that closes at once, so that the test ends.
        while (reading.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
            const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) close(fd);
        }
        FAIL() << "reading a FIFO waited for a writer";
    }
    const auto [result, messages] = reading.get();
    EXPECT_EQ(result, -1);
    EXPECT_EQ(messages, 1u);
}

} // namespace
} // namespace arbolix
