#pragma once
// The application profile: one section ("Arbolix") of named integer and string values that
// outlives the run. Every change is written at once; nothing is saved at exit.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace arbolix {

class Profile {
public:
    virtual ~Profile() = default;
    // nullopt when the key is missing or its value is not a 32-bit integer.
    virtual std::optional<int32_t> readInt(std::string_view key) const = 0;
    // UTF-8; nullopt when the key is missing.
    virtual std::optional<std::string> readString(std::string_view key) const = 0;
    virtual void writeInt(std::string_view key, int32_t value) = 0;
    virtual void writeString(std::string_view key, std::string_view value) = 0;
};

// The one reading of an integer kept as text: optional blanks, an optional sign, decimal digits,
// optional blanks, and a value that fits in 32 bits. Anything else is nullopt.
std::optional<int32_t> ParseProfileInt(std::string_view text);

// A profile held in memory. Values are kept as text, as in an INI file, so an integer key
// holding a non-number reads as missing.
class MemoryProfile final : public Profile {
public:
    std::optional<int32_t> readInt(std::string_view key) const override;
    std::optional<std::string> readString(std::string_view key) const override;
    void writeInt(std::string_view key, int32_t value) override;
    void writeString(std::string_view key, std::string_view value) override;

    bool contains(std::string_view key) const { return values_.find(key) != values_.end(); }
    void erase(std::string_view key);
    void clear() { values_.clear(); }
    // Every key with its stored text, sorted by key.
    const std::map<std::string, std::string, std::less<>>& values() const { return values_; }

private:
    std::map<std::string, std::string, std::less<>> values_;
};

// A profile that lets some keys take another value for this run only (the command line's
// "--set key=value"). Reads of an overridden key return the override; writes always reach the
// wrapped profile and replace the override, so the run sees what it wrote.
class OverlayProfile final : public Profile {
public:
    explicit OverlayProfile(Profile& base) : base_(&base) {}
    explicit OverlayProfile(std::unique_ptr<Profile> base)
        : owned_(std::move(base)), base_(owned_.get()) {}

    // Overrides `key` with `text` (read as an integer when an integer is asked for). Returns
    // false, changing nothing, when the key is empty or holds '=', '/', '\\' or a control
    // character.
    bool set(std::string_view key, std::string_view text);
    bool isOverridden(std::string_view key) const { return overrides_.contains(key); }
    Profile& base() const { return *base_; }

    std::optional<int32_t> readInt(std::string_view key) const override;
    std::optional<std::string> readString(std::string_view key) const override;
    void writeInt(std::string_view key, int32_t value) override;
    void writeString(std::string_view key, std::string_view value) override;

private:
    std::unique_ptr<Profile> owned_;
    Profile* base_;
    MemoryProfile overrides_;
};

} // namespace arbolix
