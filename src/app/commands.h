#pragma once
// The commands of the chart window, by their numbers, and what the setting commands do to the
// chart document. The window binds menu items, toolbar buttons and keys to these numbers and only
// shows the outcome.

#include <optional>

namespace arbolix {

class ChartDocument;

namespace cmd {
// File
constexpr int kOpen = 57601;
constexpr int kPlaceFormat = 32883;
constexpr int kExportPicture = 32815;
constexpr int kSaveVml = 32853;
constexpr int kWebSite = 32848;
constexpr int kPrint = 57607;
constexpr int kPrintDirect = 57608; // no menu item: the whole poster without the print dialog
constexpr int kPrintPreview = 57609;
constexpr int kPrintSetup = 57606;
constexpr int kPageLayout = 32857;
constexpr int kRecent1 = 32793; // most recent
constexpr int kRecent2 = 32790;
constexpr int kRecent3 = 32791;
constexpr int kRecent4 = 32792;
constexpr int kExit = 57665;
// Presentation
constexpr int kName = 32772;
constexpr int kGivenName = 32776;
constexpr int kInvertName = 32849;
constexpr int kBirth = 32777;
constexpr int kDeath = 32778;
constexpr int kPlace = 32779;
constexpr int kSpouses = 32855;
constexpr int kFlag = 32852;
constexpr int kEmptyBoxes = 32858;
constexpr int kWithCousins = 32845;
constexpr int kWithoutCousins = 32846;
constexpr int kDuplicated = 32847;
constexpr int kGenerations = 32820;
constexpr int kInterval = 32780;
constexpr int kBrick = 32781;
constexpr int kPipes = 32782;
constexpr int kBraces = 32816;
constexpr int kBoxRatio = 32840;
constexpr int kFontName = 32783;
constexpr int kFontPlace = 32784;
constexpr int kFontDate = 32785;
constexpr int kFontSpouse = 32856;
constexpr int kColourPen = 32794;
constexpr int kColourBox = 32795;
constexpr int kColourBackground = 32814;
constexpr int kTextureBox = 32842;
constexpr int kTextureBackground = 32843;
constexpr int kPenWidth = 32796;
constexpr int kFixedFont = 32850;
constexpr int kImplexe = 32851;
// View
constexpr int kZoomIn = 32773;
constexpr int kZoomOut = 32774;
constexpr int kZoomDefault = 32807;
constexpr int kToolbarFile = 32880;
constexpr int kToolbarPresentation = 59392;
constexpr int kToolbarFormat = 32881;
constexpr int kToolbarView = 32882;
constexpr int kStatusBar = 59393;
// Help
constexpr int kHelp = 32810;
constexpr int kAbout = 57664;
constexpr int kAbout2 = 32839;
// Keys without a menu item
constexpr int kPreviousRoot = 32844; // F2
constexpr int kChooseRoot = 32854;   // F3
} // namespace cmd

// The recent-file entry (0 = most recent) of a command, or -1.
int RecentFileIndex(int command);

// The check mark a setting command shows for the current settings; nullopt for commands without
// one.
struct ChartSettings;
std::optional<bool> SettingChecked(int command, const ChartSettings& settings);

// What the window must do after a command changed the document.
enum class CommandEffect {
    None,    // nothing changed
    Repaint, // the chart is drawn again
    Rebuilt, // the chart was computed again (and is to be drawn again)
};

// Runs a toggle, link-shape or cousin command: changes its setting, writes its key at once and
// rebuilds the chart when the setting changes the tree. nullopt for any other command.
std::optional<CommandEffect> RunSettingCommand(int command, ChartDocument& document);

// After a setting dialog closed (whatever its outcome; the dialogs change the settings only when
// confirmed): writes the command's keys and brings the chart up to date: spacing and box
// proportions place the boxes again, generations and empty boxes compute the chart again, the
// others only repaint. nullopt for a command without a dialog.
std::optional<CommandEffect> SettingsEdited(int command, ChartDocument& document);

} // namespace arbolix
