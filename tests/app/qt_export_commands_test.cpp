// The window's exports offscreen: the picture and VML dialogs, every way out of the two commands,
// the file types and folders they remember, and files identical to arbolix-cli's.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <regex>
#include <tuple>

#include "app/commands.h"
#include "app/ui/arbolix_view.h"
#include "app/ui/export_commands.h"
#include "app/ui/export_dialogs.h"
#include "base/reporter.h"
#include "export/export_test_support.h"
#include "support/qt_support.h"

namespace arbolix {
namespace {

void Type(QWidget& dialog, const char* field, const QString& text) {
    auto* edit = dialog.findChild<BoundedSpinBox*>(QLatin1String(field))->findChild<QLineEdit*>();
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

TEST(ExportDialogs, PicturePropertiesTakeTheirRangesAndTheColoursOnOkOnly) {
    ListReporter reporter;
    int32_t width = 1024, height = 768, mode = 2;
    PicturePropertiesDialog dialog(width, height, mode, nullptr, &reporter);
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("mode2"))->isChecked());
    dialog.show();
    dialog.findChild<QRadioButton*>(QStringLiteral("mode0"))->click();
    // A size out of range is refused, the dialog stays open and nothing is written.
    Type(dialog, "width", QStringLiteral("640"));
    Type(dialog, "height", QStringLiteral("8193"));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "Entrez un nombre entier compris entre 0 et 8192.");
    EXPECT_EQ(std::tuple(width, height, mode), std::tuple(1024, 768, 2));
    Type(dialog, "width", QStringLiteral("32"));
    Type(dialog, "height", QStringLiteral("0"));
    dialog.accept();
    EXPECT_EQ(std::tuple(width, height, mode), std::tuple(32, 0, 0));

    PicturePropertiesDialog cancelled(width, height, mode);
    cancelled.findChild<QRadioButton*>(QStringLiteral("mode3"))->click();
    cancelled.reject();
    EXPECT_EQ(mode, 0);
}

// The save dialog itself, as the user drives it: a file type chosen in its list, a name typed
// without extension.
TEST(ExportDialogs, TheSaveDialogGivesTheNameTheTypeChosen) {
    test::TempDir dir;
    const SaveFileQuestion question{QStringLiteral("Sauver fichier image"),
                                    QString::fromStdString(dir.path().string()),
                                    PictureSaveFilters(kColour24Bits)};
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; i < 4; ++i) QTest::keyClick(types, Qt::Key_Down);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(name, QStringLiteral("arbre"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    const SaveFileAnswer answer = AskSaveFile(nullptr, question);
    EXPECT_EQ(answer.path.toStdString(), dir.file("arbre.svg").string());
    EXPECT_EQ(answer.filter, 4);
}

// Where the progress of the exports stops them, and what it was told.
struct ProgressScript {
    std::optional<ExportStage> stopAtStage;
    int stopAtTick = 0;
    int made = 0;
    std::vector<ExportStage> stages;
    int ticks = 0;
    bool waitCursor = true; // at every stage
};

class ScriptedProgress final : public ExportProgress {
public:
    explicit ScriptedProgress(ProgressScript& script) : script_(script) {
        ++script_.made;
        script_.stages.clear();
    }
    bool stage(ExportStage stage) override {
        script_.stages.push_back(stage);
        const QCursor* cursor = QApplication::overrideCursor();
        script_.waitCursor &= cursor != nullptr && cursor->shape() == Qt::WaitCursor;
        return stage != script_.stopAtStage;
    }
    bool drawing() override { return ++script_.ticks != script_.stopAtTick; }

private:
    ProgressScript& script_;
};

// The window on Pierre DELORME's ancestors and descendants, its dialogs answered by the test.
class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        auto profile = std::make_unique<MemoryProfile>();
        profile_ = profile.get();
        frame_ = test::ShownWindow(messages_, std::move(profile));
        ExportCommands& exports = frame_->exports();
        exports.askPictureProperties = [this](QWidget*, int32_t& width, int32_t& height,
                                              int32_t& mode) {
            shown_ = {width, height, mode};
            if (properties_) std::tie(width, height, mode) = *properties_;
            return properties_.has_value();
        };
        exports.askVmlSize = [this](QWidget*) { return ++vmlAsked_, vmlSize_; };
        exports.askFile = [this](QWidget*, const SaveFileQuestion& question) {
            questions_.push_back(question);
            return answer_;
        };
        exports.makeProgress = [this](QWidget*) {
            return std::make_unique<ScriptedProgress>(progress_);
        };
    }
    // "Exporter image" answered with these properties and this file ("": none chosen).
    ExportOutcome exportAs(int32_t width, int32_t height, int32_t mode, const std::string& name,
                           int filter = 0) {
        properties_ = {width, height, mode};
        answer_ = {name.empty() ? QString() : QString::fromStdString(file(name)), filter};
        return frame_->exports().exportPicture();
    }
    std::string file(const std::string& name) const { return dir_.file(name).string(); }
    std::string folder() const { return dir_.path().string() + "/"; }

    test::TempDir dir_;
    MemoryProfile* profile_ = nullptr;
    std::unique_ptr<CMainFrame> frame_;
    std::vector<std::string> messages_;
    std::optional<std::tuple<int32_t, int32_t, int32_t>> properties_;
    std::tuple<int32_t, int32_t, int32_t> shown_;
    std::optional<int> vmlSize_ = 0;
    int vmlAsked_ = 0;
    SaveFileAnswer answer_;
    std::vector<SaveFileQuestion> questions_;
    ProgressScript progress_;
};

using test::PictureShape;

TEST_F(ExportCommand, CancelledDialogsKeepOnlyTheConfirmedSizeAndColours) {
    properties_.reset();
    EXPECT_EQ(frame_->exports().exportPicture(), ExportOutcome::Cancelled);
    EXPECT_TRUE(questions_.empty());
    EXPECT_FALSE(profile_->contains("m_largeur"));
    // No file chosen: the size is kept, the folder is not.
    EXPECT_EQ(exportAs(2000, 0, 0, ""), ExportOutcome::Cancelled);
    EXPECT_EQ(std::tuple(profile_->readInt("m_largeur"), profile_->readInt("m_hauteur")),
              std::tuple(2000, 0));
    EXPECT_FALSE(profile_->contains("save_bmp"));
    // The dialog opens on the last size and colours.
    properties_.reset();
    frame_->runCommand(cmd::kExportPicture);
    EXPECT_EQ(shown_, std::tuple(2000, 0, 0));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(ExportCommand, TheExtensionChoosesTheWriterAndTheFolderIsRemembered) {
    std::filesystem::create_directory(dir_.file("sous dossier"));
    const QSize view = frame_->view().viewport()->size();
    ASSERT_EQ(exportAs(1000, 0, 0, "sous dossier/ARBRE.BMP"), ExportOutcome::Written);
    // Height 0 takes the window's proportions; the width is rounded down to 992, which the dialog
    // shows next time while the profile keeps what was asked.
    const unsigned height = static_cast<unsigned>(1000 * view.height() / view.width());
    EXPECT_EQ(PictureShape(file("sous dossier/ARBRE.BMP")), std::tuple(FIF_BMP, 992u, height, 1u));
    EXPECT_EQ(frame_->document().settings().m_largeur, 992);
    EXPECT_EQ(profile_->readInt("m_hauteur"), 0);
    EXPECT_EQ(ReadPathKey(*profile_, "save_bmp"), folder() + "sous dossier/");

    // (Each writer's bytes are compared with arbolix-cli's in TheWindowWritesWhatTheCommandLine.)
    ASSERT_EQ(exportAs(640, 480, 3, "arbre", 3), ExportOutcome::Written); // PNG chosen in the list
    EXPECT_EQ(questions_.back().folder.toStdString(), folder() + "sous dossier/");
    EXPECT_EQ(ReadPathKey(*profile_, "save_bmp"), folder());
    EXPECT_EQ(PictureShape(file("arbre.png")), std::tuple(FIF_PNG, 640u, 480u, 24u));
    // An unknown letter writes nothing and says so.
    EXPECT_EQ(exportAs(640, 480, 3, "arbre.gif"), ExportOutcome::UnknownType);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("arbre.gif » est inconnu"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file("arbre.gif")));
}

TEST_F(ExportCommand, LargePicturesShowProgressAndACancelKeepsTheOldFile) {
    ASSERT_TRUE(test::WriteFileBytes(file("grand.bmp"), "ancienne image"));
    ASSERT_EQ(exportAs(4096, 300, 0, "petit.bmp"), ExportOutcome::Written);
    EXPECT_EQ(progress_.made, 0);
    const std::vector<std::string> before = test::FolderEntries(dir_.path());
    progress_.stopAtTick = 1;
    EXPECT_EQ(exportAs(4128, 300, 0, "grand.bmp"), ExportOutcome::Cancelled);
    progress_ = {};
    progress_.stopAtStage = ExportStage::Writing;
    EXPECT_EQ(exportAs(8192, 1000, 0, "grand.bmp"), ExportOutcome::Cancelled);
    EXPECT_EQ(progress_.made, 1);
    EXPECT_EQ(test::ReadFileBytes(file("grand.bmp")), "ancienne image");
    EXPECT_EQ(test::FolderEntries(dir_.path()), before);

    // Drawn under the wait cursor; the window keeps the boxes where it shows them, for the mouse.
    frame_->view().viewport()->grab();
    const AncestorNode shown = frame_->document().tree().ancestors[2];
    progress_ = {};
    ASSERT_EQ(exportAs(2000, 8192, 0, "grand.bmp"), ExportOutcome::Written);
    EXPECT_EQ(progress_.stages,
              (std::vector<ExportStage>{ExportStage::Drawing, ExportStage::Writing}));
    EXPECT_TRUE(progress_.waitCursor);
    const AncestorNode& after = frame_->document().tree().ancestors[2];
    EXPECT_EQ(std::tuple(after.boxLeft, after.boxTop, after.boxRight, after.boxBottom),
              std::tuple(shown.boxLeft, shown.boxTop, shown.boxRight, shown.boxBottom));
    EXPECT_EQ(PictureShape(file("grand.bmp")), std::tuple(FIF_BMP, 1984u, 8192u, 1u));
}

// (The picture writers' own failures are in their tests; the SVG goes through Qt's generator.)
TEST_F(ExportCommand, AFullDiskNamesTheFileAndKeepsTheOldOne) {
    ASSERT_TRUE(test::WriteFileBytes(file("arbre.svg"), "ancien"));
    {
        test::FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        EXPECT_EQ(exportAs(640, 480, 3, "arbre.svg"), ExportOutcome::Failed);
    }
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find(file("arbre.svg") + " : fichier trop grand pour le disque"),
              std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(file("arbre.svg")), "ancien");
    EXPECT_EQ(test::FolderEntries(dir_.path()), std::vector<std::string>{"arbre.svg"});
}

TEST_F(ExportCommand, VmlIsRefusedWhenZoomedAndKeepsTheLastFile) {
    frame_->runCommand(cmd::kZoomIn);
    ASSERT_EQ(frame_->document().view().zoom, 2);
    frame_->runCommand(cmd::kSaveVml);
    EXPECT_EQ(messages_,
              std::vector<std::string>{
                  "La création de fichier au format VML ne fonctionne pas en mode zoom"});
    EXPECT_EQ(vmlAsked_, 0);
    frame_->runCommand(cmd::kZoomDefault);

    vmlSize_ = 2;
    EXPECT_EQ(frame_->exports().saveVml(), ExportOutcome::Cancelled); // no file chosen
    EXPECT_FALSE(profile_->contains("save_vml"));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));

    answer_ = {QString::fromStdString(file("page")), 0};
    ASSERT_EQ(frame_->exports().saveVml(), ExportOutcome::Written);
    EXPECT_EQ(questions_.back().title, "Sauver fichier VML");
    EXPECT_EQ(ReadPathKey(*profile_, "save_vml"), file("page.htm"));
    EXPECT_TRUE(test::ReadFileBytes(file("page.htm")).starts_with("<HTML"));
    frame_->exports().saveVml();
    EXPECT_EQ(questions_.back().folder.toStdString(), folder());
}

// The window and arbolix-cli write the same bytes for the same settings and size; a PDF only
// tells when it was made.
TEST_F(ExportCommand, TheWindowWritesWhatTheCommandLineWrites) {
    const auto sameBytes = [&](const std::string& window, std::vector<std::string> line) {
        line.insert(line.begin() + 1,
                    {test::SampleFamilyFile().string(), "--root", "I14", "--mode", "both"});
        const test::CommandResult result = test::RunCli(dir_, line);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const std::regex date(R"(/CreationDate \(D:[0-9Z+'-]*\))");
        const std::string made = test::ReadFileBytes(file(window));
        EXPECT_FALSE(made.empty()) << window;
        EXPECT_TRUE(std::regex_replace(made, date, "") ==
                    std::regex_replace(test::ReadFileBytes(line.back()), date, ""))
            << window;
    };
    const std::tuple<int32_t, const char*, const char*> cases[] = {
        {0, "mono", "bmp"}, {1, "gris", "jpg"}, {2, "256", "png"}, {3, "24", "tif"},
        {3, "24", "svg"},   {3, "24", "pdf"},   {0, "mono", "png"}};
    for (const auto& [mode, colours, extension] : cases) {
        const std::string window = "fenetre-" + std::string(colours) + "." + extension;
        ASSERT_EQ(exportAs(1600, 400, mode, window), ExportOutcome::Written) << window;
        sameBytes(window, {"chart", "--size", "1600x400", "--colors", colours, "-o",
                           file("cli-" + std::string(colours) + "." + extension)});
    }
    vmlSize_ = 3;
    answer_ = {QString::fromStdString(file("fenetre.htm")), 0};
    ASSERT_EQ(frame_->exports().saveVml(), ExportOutcome::Written);
    sameBytes("fenetre.htm", {"vml", "--size", "1280x1024", "-o", file("cli.htm")});
}

} // namespace
} // namespace arbolix
