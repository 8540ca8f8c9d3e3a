#pragma once
// Helpers of the Qt tests: the main window on the sample family, and arbolix-cli run as a user
// runs it.

#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "app/ui/main_frame.h"
#include "base/profile.h"
#include "support/chart_support.h"

namespace arbolix::test {

// The main window offscreen, 1000 × 700, its messages kept in `messages`, its root chooser
// answering Pierre's ancestors and descendants, showing the chart of `file` unless it is "".
inline std::unique_ptr<CMainFrame> ShownWindow(std::vector<std::string>& messages,
                                               std::unique_ptr<Profile> profile,
                                               const std::string& file = SampleFamilyFile()) {
    auto frame = std::make_unique<CMainFrame>(std::move(profile));
    frame->reporter().sink = [&messages](const Message& message) { messages.push_back(message.text); };
    frame->makeChooser = [] { return std::make_unique<FixedChooser>(kModeBoth, kSampleRoot); };
    frame->resize(1000, 700);
    frame->show();
    if (!file.empty()) frame->openFile(QString::fromStdString(file));
    return frame;
}

// arbolix-cli with `args`, its profile in `dir`.
inline CommandResult RunCli(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), {ARBOLIX_CLI, "--profile", dir.file("profile.ini").string()});
    return RunCommand(args);
}

} // namespace arbolix::test
