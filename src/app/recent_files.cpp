#include "app/recent_files.h"

#include "base/profile.h"
#include "base/settings.h"

namespace arbolix {

namespace {

std::string KeyOf(int index) {
    return "file" + std::to_string(index + 1);
}

} // namespace

RecentFiles::RecentFiles(Profile& profile) : profile_(profile) {
    load();
}

void RecentFiles::load() {
    for (int i = 0; i < kCount; ++i) entries_[static_cast<size_t>(i)] = ReadPathKey(profile_, KeyOf(i));
}

bool RecentFiles::isFile(int index) const {
    const std::string& text = entry(index);
    return !text.empty() && text[0] != '-';
}

void RecentFiles::add(const std::string& path) {
    for (int i = kCount - 1; i > 0; --i) entries_[static_cast<size_t>(i)] = entries_[static_cast<size_t>(i - 1)];
    entries_[0] = path;
    store();
}

void RecentFiles::moveToFront(int index) {
    if (index <= 0 || index >= kCount) return;
    const std::string moved = entry(index);
    for (int i = index; i > 0; --i) entries_[static_cast<size_t>(i)] = entries_[static_cast<size_t>(i - 1)];
    entries_[0] = moved;
    store();
}

void RecentFiles::store() {
    for (int i = 0; i < kCount; ++i) WritePathKey(profile_, KeyOf(i), entry(i));
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace arbolix
