#pragma once
// The application profile kept by QSettings in an INI file, section "Arbolix".

#include <memory>
#include <string>

#include "base/profile.h"

namespace arbolix {

// Opens the profile. With an empty `iniPath`: the INI file named by the environment variable
// ARBOLIX_PROFILE when it is set and not empty, else the user's own profile (organisation
// "velmora", application "Arbolix", under the user's configuration folder). Every write reaches
// the file before the call returns.
std::unique_ptr<Profile> OpenProfile(const std::string& iniPath = {});

// The INI file OpenProfile(iniPath) works on (UTF-8).
std::string ProfileFilePath(const std::string& iniPath = {});

} // namespace arbolix
