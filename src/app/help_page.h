#pragma once
// Where the user guide lies and which of its sections explains a dialog.
//
// The guide is a folder of HTML and pictures installed under share/arbolix/aide of the program's
// prefix (bin/arbolix finds it at bin/../share/arbolix/aide); the build copies it to the same
// place relative to the programs it builds, so the program finds it in the build tree too.

#include <span>
#include <string>
#include <string_view>

namespace arbolix {

// The guide's page file name.
constexpr const char* kHelpPageName = "Arbolix.htm";

// The path of the guide's page for a program whose executable lies in `programDir`; "" when it is
// not there (the help window then opens empty).
std::string FindHelpPage(const std::string& programDir);

// The dialogs the guide explains: each dialog's window title (UTF-8) and the anchor of its section.
struct DialogHelp {
    const char* title;
    const char* section;
};
std::span<const DialogHelp> DialogHelpSections();

// The anchor of the guide's section that explains the dialog titled `title` (UTF-8, as the
// dialog's window title); "" when the guide has no section of its own for it.
std::string HelpSectionOfDialog(std::string_view title);

} // namespace arbolix
