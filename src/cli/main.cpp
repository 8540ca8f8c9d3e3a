// arbolix-cli: the chart generator without a window.

#include <unistd.h>

#include <QGuiApplication>

#include <cstdio>

#include "app/qt_profile.h"
#include "base/reporter.h"
#include "base/settings.h"
#include "cli/cli_card.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_picture.h"
#include "cli/cli_site.h"
#include "cli/cli_vml.h"

using namespace arbolix;
using namespace arbolix::cli;

namespace {

// Qt's own remarks about the desktop session mean nothing to a command line.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || message.contains(QLatin1String("XDG_RUNTIME_DIR"))) return;
    std::fprintf(stderr, "arbolix-cli: %s\n", message.toLocal8Bit().constData());
}

// --set overrides are checked against the settings table, key and type of value, before
// anything is read: a value the profile would read as missing must not pass unnoticed.
bool ApplyOverrides(const CliOptions& options, OverlayProfile& profile, Reporter& reporter) {
    for (const auto& [key, value] : options.overrides) {
        if (!IsKnownSettingKey(key) || !profile.set(key, value)) {
            reporter.report({"Réglage inconnu : " + key, "arbolix-cli", MessageIcon::Stop});
            return false;
        }
        if (const std::string wrong = CheckOverrideValue(key, value); !wrong.empty()) {
            reporter.report({wrong, "arbolix-cli", MessageIcon::Stop});
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    StderrReporter reporter(isatty(STDERR_FILENO) != 0);
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "arbolix-cli: %s\nEssayez « arbolix-cli --help ».\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
    OverlayProfile profile(OpenProfile(options.profilePath));
    if (!ApplyOverrides(options, profile, reporter)) return kExitUsage;
    CliContext context{DefaultChartSettings(), reporter, stdout};
    LoadChartSettings(profile, context.settings);

    if (options.command == "persons") return RunPersons(context, options.arguments);
    if (options.command == "tree") return RunTree(context, options.arguments);
    if (options.command == "vml") return RunVml(context, options.arguments);
    if (options.command == "card") return RunCard(context, options.arguments);
    if (options.command == "chart" || options.command == "site") {
        // Drawing needs fonts, hence the platform; without a display, the offscreen one.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQtMessages);
        int qtArgc = 1;
        QGuiApplication application(qtArgc, argv);
        if (options.command == "site") {
            LoadSettingGroup(profile, context.settings, "site");
            return RunSite(context, options.arguments);
        }
        return RunChart(context, options.arguments);
    }
    std::fprintf(stderr, "arbolix-cli: commande inconnue : %s\nEssayez « arbolix-cli --help ».\n",
                 options.command.c_str());
    return kExitUsage;
}
