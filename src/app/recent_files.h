#pragma once
// The four most recently opened files, most recent first, as the File menu lists them and the
// profile keeps them ("file1" .. "file4"). An entry not yet used reads "-".

#include <array>
#include <string>

namespace arbolix {

class Profile;

class RecentFiles {
public:
    static constexpr int kCount = 4;

    explicit RecentFiles(Profile& profile);

    // Reads the four keys again.
    void load();
    const std::string& entry(int index) const { return entries_[static_cast<size_t>(index)]; }
    // An entry starting with "-" names no file.
    bool isFile(int index) const;

    // A newly opened file goes first; the others move down one place and the last is dropped. The
    // list is not checked for duplicates: opening the same file twice fills the first two places.
    void add(const std::string& path);
    // A reopened entry goes first; the entries above it move down one place.
    void moveToFront(int index);

private:
    void store();

    Profile& profile_;
    std::array<std::string, kCount> entries_;
};

// The folder part of a path, with its final separator ("/home/a/b.ged" → "/home/a/"); "" when
// the path has no folder.
std::string FolderOf(const std::string& path);

} // namespace arbolix
