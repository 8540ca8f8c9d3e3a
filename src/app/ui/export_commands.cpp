#include "app/ui/export_commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QProgressDialog>
#include <QWidget>

#include <algorithm>

#include "app/chart_document.h"
#include "app/recent_files.h"
#include "app/ui/export_dialogs.h"
#include "app/ui/wait_cursor.h"
#include "base/profile.h"
#include "base/reporter.h"
#include "base/settings.h"
#include "export/vml_page.h"

namespace arbolix {

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "Fichier PNG *.png (*.png *.PNG)": names written in capitals show in the list too.
QString NameFilter(const SaveFilter& filter) {
    const QString pattern = FromUtf8(filter.pattern);
    return QStringLiteral("%1 (%2 %3)")
        .arg(FromUtf8(filter.description), pattern, pattern.toUpper());
}

// A window with a moving bar, what is being done and "Annuler". Events are let through a few
// times a second while the picture is drawn, so that the window stays drawn and "Annuler" works.
class ProgressWindow final : public ExportProgress {
public:
    explicit ProgressWindow(QWidget* parent) : dialog_(parent) {
        dialog_.setWindowTitle(QStringLiteral("arbolix"));
        dialog_.setCancelButtonText(QStringLiteral("Annuler"));
        dialog_.setRange(0, 0);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setLabelText(QStringLiteral("Dessin de l'image..."));
        dialog_.show();
        clock_.start();
    }

    bool stage(ExportStage stage) override {
        dialog_.setLabelText(stage == ExportStage::Drawing
                                 ? QStringLiteral("Dessin de l'image...")
                                 : QStringLiteral("Écriture du fichier..."));
        pump();
        return !dialog_.wasCanceled();
    }

    bool drawing() override {
        if (clock_.elapsed() >= kPumpMilliseconds) pump();
        return !dialog_.wasCanceled();
    }

private:
    static constexpr qint64 kPumpMilliseconds = 40;

    void pump() {
        // The dialog is modal: only it takes input meanwhile.
        QCoreApplication::processEvents();
        clock_.restart();
    }

    QProgressDialog dialog_;
    QElapsedTimer clock_;
};

void ReportUnknownType(Reporter& reporter, const std::string& path) {
    reporter.report({"Aucun fichier écrit : le type de fichier de « " + path +
                         " » est inconnu.\nL'extension doit commencer par b (BMP), j (JPEG), p "
                         "(PNG) ou t (TIFF), ou être svg ou pdf.",
                     "arbolix", MessageIcon::Exclamation});
}

} // namespace

ExportCommands::ExportCommands(QWidget& window, ChartDocument& document,
                               std::function<QSize()> viewSize)
    : askPictureProperties(RunPicturePropertiesDialog), askVmlSize(RunVmlSizeDialog),
      askFile(AskSaveFile),
      makeProgress([](QWidget* parent) { return std::make_unique<ProgressWindow>(parent); }),
      window_(window), document_(document), viewSize_(std::move(viewSize)) {}

ExportOutcome ExportCommands::exportPicture() {
    ChartSettings& settings = document_.settings();
    int32_t width = settings.m_largeur;
    int32_t height = settings.m_hauteur;
    int32_t mode = mode_;
    if (!askPictureProperties(&window_, width, height, mode)) return ExportOutcome::Cancelled;
    settings.m_largeur = width;
    settings.m_hauteur = height;
    StoreSettingGroup(document_.profile(), settings, "m_largeur");
    StoreSettingGroup(document_.profile(), settings, "m_hauteur");
    mode_ = static_cast<ColourMode>(mode);

    const QSize view = viewSize_();
    const PictureSize asked = RequestedPictureSize(width, height, view.width(), view.height());
    const std::optional<QString> chosen =
        chooseFile(QStringLiteral("Sauver fichier image"), "save_bmp", PictureSaveFilters(mode_));
    if (!chosen) return ExportOutcome::Cancelled;
    const std::string path = chosen->toStdString();
    WritePathKey(document_.profile(), "save_bmp", FolderOf(path));

    const ExportFormat format = ExportFormatOfPath(path);
    const PictureSize drawn = ExportDrawingSize(format, asked, mode_);
    settings.m_largeur = drawn.width;
    settings.m_hauteur = drawn.height;
    if (format == ExportFormat::None) {
        ReportUnknownType(document_.reporter(), path);
        return ExportOutcome::UnknownType;
    }
    return writeChart({asked, mode_, PosterOfSettings(settings)}, path);
}

ExportOutcome ExportCommands::saveVml() {
    if (!VmlPageAllowed(document_.view().zoom, document_.reporter()))
        return ExportOutcome::Cancelled;
    const std::optional<int> choice = askVmlSize(&window_);
    if (!choice) return ExportOutcome::Cancelled;
    const VmlPageSize& size = VmlPageSizes()[static_cast<size_t>(std::clamp(*choice, 0, 6))];
    const SaveFilter& filter = VmlSaveFilter();
    const std::optional<QString> chosen =
        chooseFile(QStringLiteral("Sauver fichier VML"), "save_vml", {&filter, 1});
    if (!chosen) return ExportOutcome::Cancelled;
    const std::string path = chosen->toStdString();
    WritePathKey(document_.profile(), "save_vml", path);
    WaitCursor wait;
    const int32_t written =
        WriteVmlPage(path, document_.tree(), document_.store(), document_.settings(), size.width,
                     size.height, document_.reporter());
    return written == 0 ? ExportOutcome::Written : ExportOutcome::Failed;
}

// The save dialog in the folder of the path kept under `folderKey`; the path chosen, with the
// file type's extension when the name has none.
std::optional<QString> ExportCommands::chooseFile(const QString& title, const char* folderKey,
                                                  std::span<const SaveFilter> filters) {
    const std::string kept = ReadPathKey(document_.profile(), folderKey);
    const SaveFileAnswer answer = askFile(&window_, {title, FromUtf8(FolderOf(kept)), filters});
    if (answer.path.isEmpty()) return std::nullopt;
    const size_t filter = static_cast<size_t>(
        std::clamp<int>(answer.filter, 0, static_cast<int>(filters.size()) - 1));
    return QString::fromStdString(WithFilterExtension(answer.path.toStdString(), filters[filter]));
}

ExportOutcome ExportCommands::writeChart(const ExportRequest& request, const std::string& path) {
    // Drawn on copies: the window keeps its boxes' rectangles for the mouse, and may repaint
    // while the progress lets events through.
    ChartTree tree = document_.tree();
    ChartSettings settings = document_.settings();
    const ViewState& view = document_.view();
    const ChartToDraw chart{tree, document_.store(), settings,
                            ChartView{view.zoom, view.scrollX, view.scrollY}, document_.reporter()};
    const ExportFormat format = ExportFormatOfPath(path);
    const PictureSize drawn = ExportDrawingSize(format, request.size, request.mode);
    std::unique_ptr<ExportProgress> progress;
    if (IsPictureFormat(format) && std::max(drawn.width, drawn.height) >= kProgressPictureSide)
        progress = makeProgress(&window_);
    WaitCursor wait;
    return ExportChartFile(chart, request, path, progress.get());
}

SaveFileAnswer AskSaveFile(QWidget* parent, const SaveFileQuestion& question) {
    QFileDialog dialog(parent, question.title, question.folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The file types read as their descriptions, without the patterns repeated.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList names;
    for (const SaveFilter& filter : question.filters) names << NameFilter(filter);
    dialog.setNameFilters(names);
    // The dialog names a file type by its whole filter or, the patterns hidden, by its description.
    const auto indexOf = [&](const QString& name) {
        for (size_t i = 0; i < question.filters.size(); ++i)
            if (name == names[static_cast<qsizetype>(i)] ||
                name.trimmed() == FromUtf8(question.filters[i].description))
                return i;
        return size_t{0};
    };
    const auto useSuffixOf = [&](const QString& name) {
        if (!question.filters.empty())
            dialog.setDefaultSuffix(FromUtf8(FilterExtension(question.filters[indexOf(name)])));
    };
    if (!names.isEmpty()) useSuffixOf(names.front());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {dialog.selectedFiles().front(), static_cast<int>(indexOf(dialog.selectedNameFilter()))};
}

} // namespace arbolix
