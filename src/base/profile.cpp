#include "base/profile.h"

#include <charconv>
#include <limits>

namespace arbolix {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsValidKey(std::string_view key) {
    if (key.empty()) return false;
    for (char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '=' || c == '/' || c == '\\') return false;
    }
    return true;
}

} // namespace

std::optional<int32_t> ParseProfileInt(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<int32_t> MemoryProfile::readInt(std::string_view key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return ParseProfileInt(it->second);
}

std::optional<std::string> MemoryProfile::readString(std::string_view key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

void MemoryProfile::writeInt(std::string_view key, int32_t value) {
    writeString(key, std::to_string(value));
}

void MemoryProfile::writeString(std::string_view key, std::string_view value) {
    const auto it = values_.find(key);
    if (it != values_.end())
        it->second.assign(value);
    else
        values_.emplace(std::string(key), std::string(value));
}

void MemoryProfile::erase(std::string_view key) {
    const auto it = values_.find(key);
    if (it != values_.end()) values_.erase(it);
}

bool OverlayProfile::set(std::string_view key, std::string_view text) {
    if (!IsValidKey(key)) return false;
    overrides_.writeString(key, text);
    return true;
}

std::optional<int32_t> OverlayProfile::readInt(std::string_view key) const {
    if (overrides_.contains(key)) return overrides_.readInt(key);
    return base_->readInt(key);
}

std::optional<std::string> OverlayProfile::readString(std::string_view key) const {
    if (overrides_.contains(key)) return overrides_.readString(key);
    return base_->readString(key);
}

void OverlayProfile::writeInt(std::string_view key, int32_t value) {
    base_->writeInt(key, value);
    if (overrides_.contains(key)) overrides_.writeInt(key, value);
}

void OverlayProfile::writeString(std::string_view key, std::string_view value) {
    base_->writeString(key, value);
    if (overrides_.contains(key)) overrides_.writeString(key, value);
}

} // namespace arbolix
