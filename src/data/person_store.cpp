#include "data/person_store.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <new>
#include <string>

#include <unistd.h>

namespace arbolix {

// The numbers the reader fills in a record; its texts are kept packed beside them.
struct PersonStore::SavedNumbers {
    int32_t birthYear, deathYear, xref, country, father, mother, spouseCount;
    int32_t spouses[4];
};
// The copies below move runs of neighbouring fields at once.
static_assert(offsetof(Individual, listRow) - offsetof(Individual, birthYear) == 7 * sizeof(int32_t));

Individual BlankIndividual() {
    Individual blank;
    std::memset(&blank, 0, sizeof blank);
    blank.level = -1;
    blank.sosa = -1;
    return blank;
}

namespace {

// Reads one "Name:   12345 kB" value of /proc/meminfo, in bytes; 0 when absent.
int64_t MemInfoBytes(const char* name) {
    std::ifstream in("/proc/meminfo");
    std::string key;
    int64_t kilobytes = 0;
    std::string unit;
    while (in >> key >> kilobytes >> unit) {
        if (key == name) return kilobytes * 1024;
    }
    return 0;
}

// The memory limit of the control group we run in, in bytes; 0 when there is none.
int64_t CgroupLimitBytes() {
    for (const char* path :
         {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory/memory.limit_in_bytes"}) {
        std::ifstream in(path);
        std::string text;
        if (!(in >> text) || text == "max") continue;
        char* end = nullptr;
        const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
        if (end != text.c_str() && value > 0 && value < (1ULL << 62))
            return static_cast<int64_t>(value);
    }
    return 0;
}

void FillBlank(Individual* first, int64_t count) {
    const Individual blank = BlankIndividual();
    std::fill(first, first + count, blank);
}

} // namespace

int64_t PersonStore::MemoryRecordLimit() {
    int64_t bytes = MemInfoBytes("MemAvailable:");
    if (bytes <= 0) {
        const long pages = sysconf(_SC_PHYS_PAGES);
        const long pageSize = sysconf(_SC_PAGE_SIZE);
        if (pages > 0 && pageSize > 0) bytes = static_cast<int64_t>(pages) * pageSize;
    }
    const int64_t cgroup = CgroupLimitBytes();
    if (cgroup > 0 && (bytes <= 0 || cgroup < bytes)) bytes = cgroup;
    if (bytes <= 0) bytes = int64_t{1} << 30;
    // Half the memory for the two copies of the store (working and snapshot); the rest is left to
    // the file's text, the chart tables and everything else.
    const int64_t records = bytes / 2 / static_cast<int64_t>(2 * sizeof(Individual));
    return std::min<int64_t>(records, std::numeric_limits<int32_t>::max() - 4096);
}

PersonStore::PersonStore() : recordLimit_(MemoryRecordLimit()) {
    reallocate(kInitialTop + 1);
    recordCount_ = kInitialTop + 1;
    topIndex_ = kInitialTop;
    FillBlank(records_, recordCount_);
}

PersonStore::~PersonStore() {
    std::free(records_);
}

bool PersonStore::reallocate(int64_t records) {
    if (records <= capacity_) return true;
    // Physical growth is geometric so that a file read in steps of 1024 records does not copy the
    // block over and over; the logical size follows the reader's steps exactly.
    const int64_t target = std::max<int64_t>(records, capacity_ + capacity_ / 2);
    const auto bytes = static_cast<size_t>(target) * sizeof(Individual);
    void* block = std::realloc(records_, bytes);
    if (block == nullptr) {
        block = std::realloc(records_, static_cast<size_t>(records) * sizeof(Individual));
        if (block == nullptr) return false;
        records_ = static_cast<Individual*>(block);
        capacity_ = records;
        return true;
    }
    records_ = static_cast<Individual*>(block);
    capacity_ = target;
    return true;
}

void PersonStore::resetForReading() {
    FillBlank(records_, static_cast<int64_t>(topIndex_) + 1);
    highestXref = 0;
    ansiFlag = 1;
}

bool PersonStore::growTo(int64_t records, int32_t newTopIndex) {
    if (records <= recordCount_) {
        topIndex_ = std::max(topIndex_, newTopIndex);
        return true;
    }
    if (records > recordLimit_ || newTopIndex >= records) return false;
    if (!reallocate(records)) return false;
    FillBlank(records_ + recordCount_, records - recordCount_);
    recordCount_ = static_cast<int32_t>(records);
    topIndex_ = newTopIndex;
    return true;
}

bool PersonStore::growBeyondTop(int32_t number) {
    return growTo(static_cast<int64_t>(number) + 1025, number + 1023);
}

namespace {

template <size_t N>
void SaveText(std::string& texts, const char (&field)[N]) {
    texts.append(field, strnlen(field, N - 1));
    texts.push_back('\0');
}

// Copies one saved text back into its field, zeros after it; returns the next saved text.
template <size_t N>
const char* RestoreText(char (&field)[N], const char* saved) {
    const size_t length = std::strlen(saved);
    std::memcpy(field, saved, length);
    std::memset(field + length, 0, N - length);
    return saved + length + 1;
}

} // namespace

bool PersonStore::saveSnapshot() {
    const auto count = static_cast<size_t>(highestXref) + 1;
    try {
        snapshot_.resize(count);
        snapshotTexts_.clear();
        snapshotTexts_.reserve(count * 24);
        for (size_t i = 0; i < count; ++i) {
            const Individual& from = records_[i];
            SavedNumbers& to = snapshot_[i];
            std::memcpy(&to.birthYear, &from.birthYear, offsetof(Individual, listRow) - offsetof(Individual, birthYear));
            std::memcpy(to.spouses, from.spouses, sizeof to.spouses);
            SaveText(snapshotTexts_, from.givenName);
            SaveText(snapshotTexts_, from.surname);
            SaveText(snapshotTexts_, from.place);
        }
    } catch (const std::bad_alloc&) {
        dropSnapshot();
        return false;
    }
    snapshotHighest_ = highestXref;
    snapshotValid_ = true;
    return true;
}

int PersonStore::restoreSnapshot() {
    if (!snapshotValid_) return -1;
    const int64_t count = static_cast<int64_t>(snapshotHighest_) + 1;
    if (count > recordCount_ && !growTo(count + 1024, snapshotHighest_ + 1023)) return -1;
    const char* text = snapshotTexts_.data();
    for (int64_t i = 0; i < count; ++i) {
        const SavedNumbers& from = snapshot_[static_cast<size_t>(i)];
        Individual& to = records_[i];
        to.level = -1;
        to.childCount = 0;
        std::memcpy(&to.birthYear, &from.birthYear, offsetof(Individual, listRow) - offsetof(Individual, birthYear));
        to.listRow = 0;
        to.sosa = -1;
        std::memcpy(to.spouses, from.spouses, sizeof to.spouses);
        text = RestoreText(to.givenName, text);
        text = RestoreText(to.surname, text);
        text = RestoreText(to.place, text);
    }
    highestXref = snapshotHighest_;
    return 0;
}

void PersonStore::dropSnapshot() {
    snapshot_.clear();
    snapshot_.shrink_to_fit();
    snapshotTexts_.clear();
    snapshotTexts_.shrink_to_fit();
    snapshotValid_ = false;
    snapshotHighest_ = 0;
}

std::string_view PersonStore::idText(int32_t xref) const {
    if (xref <= 0 || static_cast<size_t>(xref) >= idOffsets_.size()) return {};
    const uint32_t offset = idOffsets_[static_cast<size_t>(xref)];
    if (offset == 0) return {};
    return std::string_view(idPool_.c_str() + offset);
}

void PersonStore::setIdText(int32_t xref, std::string_view id) {
    if (xref <= 0) return;
    const auto index = static_cast<size_t>(xref);
    if (index >= idOffsets_.size())
        idOffsets_.resize(std::max(index + 1, idOffsets_.size() * 3 / 2), 0);
    if (idOffsets_[index] != 0) return; // a duplicate record keeps the first id
    if (idPool_.empty()) idPool_.push_back('\0');
    if (idPool_.size() + id.size() + 1 > std::numeric_limits<uint32_t>::max()) return;
    idOffsets_[index] = static_cast<uint32_t>(idPool_.size());
    idPool_.append(id.data(), id.size());
    idPool_.push_back('\0');
}

void PersonStore::clearIdTexts() {
    idPool_.clear();
    idOffsets_.clear();
}

int32_t FindPerson(const PersonStore& store, std::string_view name) {
    if (name.size() >= 2 && name.front() == '@' && name.back() == '@') name = name.substr(1, name.size() - 2);
    if (name.empty()) return 0;
    for (int32_t i = 1; i <= store.highestXref; ++i) {
        if (store.idText(i) == name) return i;
    }
    int64_t number = 0;
    for (char c : name) {
        if (c < '0' || c > '9' || number > store.highestXref) return 0;
        number = number * 10 + (c - '0');
    }
    return number >= 1 && number <= store.highestXref && store[static_cast<int32_t>(number)].xref != 0
               ? static_cast<int32_t>(number)
               : 0;
}

} // namespace arbolix
