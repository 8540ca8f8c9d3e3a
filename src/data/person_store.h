#pragma once
// The persons of one GEDCOM file: one fixed-size, pointer-free record per cross-reference number,
// indexed directly by that number; index 0 means nobody in every link.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace arbolix {

struct Individual {
    int32_t level;       // -1 after reading; generation and mark during the tree computation
    int32_t childCount;  // valid entries of `children`; later the node index of the person
    int32_t birthYear;   // 0 when unknown
    int32_t deathYear;   // 0 when unknown
    int32_t xref;        // the record's own number; 0 = never referenced
    int32_t country;     // flag number, 0 none
    int32_t father;      // index, 0 none
    int32_t mother;      // index, 0 none
    int32_t spouseCount; // 0..4
    int32_t listRow;     // row in the person selection list
    int64_t sosa;        // ancestor number during the tree computation; -1 = not numbered
    int32_t spouses[4];
    int32_t children[32];
    char givenName[32]; // Windows-1252, NUL-terminated
    char surname[64];   // upper case
    char place[64];     // town, upper case
};
static_assert(std::is_trivially_copyable_v<Individual>);
static_assert(std::is_standard_layout_v<Individual>);

// A record as the reader leaves it before filling: level -1, everything else empty.
Individual BlankIndividual();

class PersonStore {
public:
    static constexpr int32_t kInitialTop = 1024;

    PersonStore();
    ~PersonStore();
    PersonStore(const PersonStore&) = delete;
    PersonStore& operator=(const PersonStore&) = delete;

    Individual& operator[](int32_t index) { return records_[index]; }
    const Individual& operator[](int32_t index) const { return records_[index]; }
    Individual* data() { return records_; }
    const Individual* data() const { return records_; }

    // Highest index that may be used without growing.
    int32_t topIndex() const { return topIndex_; }
    // Records the block holds (1025 at first, n + 1025 after growing for the number n).
    int32_t recordCount() const { return recordCount_; }

    // Highest INDI number of the current file: the persons are records 1..highestXref.
    int32_t highestXref = 0;
    // 1 when the text is handled as Windows-1252, 0 when it is ANSEL.
    int32_t ansiFlag = 1;

    // Resets records 0..topIndex as at the start of a reading pass.
    void resetForReading();
    // Grows the block so that `number` can be used (the reader's rule: n + 1025 records, the new
    // records reset, topIndex n + 1023). Returns false, leaving the store as it was, when that
    // would pass the memory limit.
    bool growFor(int32_t number) { return number < topIndex_ || growBeyondTop(number); }
    // Grows the block to `records` records (new records reset) with the given topIndex; false,
    // store unchanged, beyond the memory limit. Used when the tree computation appends records.
    bool growTo(int64_t records, int32_t newTopIndex);

    // Most records the store may hold: decided from the memory this machine has (two copies of the
    // store must fit, the working one and the snapshot), unless set otherwise.
    int64_t recordLimit() const { return recordLimit_; }
    void setRecordLimit(int64_t records) { recordLimit_ = records; }
    static int64_t MemoryRecordLimit();

    // The pristine state of the file, kept aside after reading so each computation starts again
    // from it. What the reader fills is kept; the working fields come back as the reader leaves
    // them (level -1, no children, sosa -1), except the entries of `children`, which are never
    // read past childCount. SaveSnapshot returns false when no snapshot could be kept.
    bool saveSnapshot();
    // 0, or -1 when there is no snapshot to restore.
    int restoreSnapshot();
    bool hasSnapshot() const { return snapshotValid_; }
    void dropSnapshot();

    // The cross-reference id written in the file for a record number ("I12" for @I12@), or "".
    std::string_view idText(int32_t xref) const;
    void setIdText(int32_t xref, std::string_view id);
    void clearIdTexts();
    // True when the file's ids could not be numbered by their digits and were numbered in order.
    bool numberedInOrder = false;

private:
    bool reallocate(int64_t records);
    bool growBeyondTop(int32_t number);

    Individual* records_ = nullptr;
    int64_t capacity_ = 0;    // records physically allocated
    int32_t recordCount_ = 0; // records the store is said to hold
    int32_t topIndex_ = 0;
    int64_t recordLimit_;

    struct SavedNumbers;
    std::vector<SavedNumbers> snapshot_; // by record
    std::string snapshotTexts_;          // given name, surname and place of each record, NUL-ended
    int32_t snapshotHighest_ = 0;
    bool snapshotValid_ = false;

    std::string idPool_;
    std::vector<uint32_t> idOffsets_; // by record number; 0 = no id
};

// The record a person is named by on a command line: its id as written in the file ("@I12@" or
// "I12") or its record number ("12"). 0 when nobody answers to it.
int32_t FindPerson(const PersonStore& store, std::string_view name);

} // namespace arbolix
