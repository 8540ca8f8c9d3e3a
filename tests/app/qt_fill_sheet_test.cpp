// The fill sheet offscreen: what each page does to the fill and shows, at every screen depth, and
// the commands of the main window that open it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <memory>

#include "app/commands.h"
#include "app/fill_sheet.h"
#include "app/ui/fill_sheet_dialog.h"
#include "app/ui/main_frame.h"
#include "base/profile.h"
#include "base/reporter.h"
#include "base/settings.h"
#include "fills/fill_resources.h"
#include "support/test_support.h"
#include "tree/tree_compute.h"

namespace arbolix {
namespace {

const QColor kRedPixel(255, 0, 0), kBluePixel(0, 0, 255), kBlackPixel(0, 0, 0),
    kWhitePixel(255, 255, 255);

QColor PixelOf(const QPixmap& pixmap, int x = 0, int y = 0) {
    return pixmap.toImage().pixelColor(x, y);
}
QColor IconPixel(QAbstractButton* button) {
    return PixelOf(button->icon().pixmap(button->iconSize()));
}

class Sheet : public ::testing::Test {
protected:
    void open(int32_t depth = 32) {
        sheet_ = std::make_unique<FillSheet>(fill_, depth, profile_, reporter_);
        sheet_->setColourChooser(
            [this](QWidget*, Colour current) { return chosen_.value_or(current); });
        sheet_->setPictureChooser([this](QWidget*, const QString& folder) {
            folders_.push_back(folder);
            return picture_;
        });
    }
    QWidget* page(const char* name) { return sheet_->findChild<QWidget*>(QLatin1String(name)); }
    // Shows a page's tab, as a click on it would.
    QWidget* visit(const char* name) {
        sheet_->tabs()->setCurrentWidget(page(name));
        return page(name);
    }
    QAbstractButton* button(const char* pageName, const char* group, int id) {
        return page(pageName)->findChild<QButtonGroup*>(QLatin1String(group))->button(id);
    }
    QPixmap preview(const char* pageName) {
        return page(pageName)->findChild<QLabel*>(QStringLiteral("preview"))->pixmap();
    }
    QPushButton* named(const char* pageName, const char* name) {
        return page(pageName)->findChild<QPushButton*>(QLatin1String(name));
    }

    FillSpec fill_ = DefaultChartSettings().texture_rectangle;
    MemoryProfile profile_;
    ListReporter reporter_;
    std::unique_ptr<FillSheet> sheet_;
    std::optional<Colour> chosen_; // the colour chooser's answer; none: as if cancelled
    QString picture_;              // the file chooser's answer
    QStringList folders_;          // the folders it was opened on
};

TEST_F(Sheet, PagesAndPicturesFollowTheScreenDepth) {
    fill_.brush.lbColor = MakeColour(255, 0, 0);
    fill_.colour2 = MakeColour(0, 0, 255);
    for (int32_t depth : {8, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        open(depth);
        QStringList titles;
        for (int i = 0; i < sheet_->tabs()->count(); ++i) titles << sheet_->tabs()->tabText(i);
        QStringList expected = {QStringLiteral("Dégradé"), QStringLiteral("Image"),
                                QStringLiteral("Motif")};
        if (depth != 8) expected << QStringLiteral("Texture");
        EXPECT_EQ(titles, expected);
        // Red and blue survive every depth exactly.
        EXPECT_EQ(PixelOf(preview("degrade")), kRedPixel);
        visit("motif");
        EXPECT_EQ(IconPixel(button("motif", "patterns", PatternButton(13))), kBluePixel);
    }
    open(15);
    EXPECT_EQ(sheet_->tabs()->count(), 0);
}

TEST_F(Sheet, GradientPageChangesKindOnlyThroughItsTwoRadios) {
    fill_.kind = kFillPattern;
    fill_.brush.lbColor = MakeColour(255, 0, 0);
    fill_.colour2 = MakeColour(0, 0, 255);
    open();
    button("degrade", "gradientTypes", kFirstGradientTypeRadio + 5)->click();
    EXPECT_EQ(fill_.gradientType, 5);
    EXPECT_EQ(fill_.kind, kFillPattern);
    button("degrade", "gradientTypes", kFirstGradientTypeRadio)->click();
    button("degrade", "kinds", kTwoColourRadio)->click();
    EXPECT_EQ(fill_.kind, kFillGradient);
    EXPECT_EQ(PixelOf(preview("degrade")), kRedPixel);
    button("degrade", "variants", kFirstVariantButton + 1)->click();
    EXPECT_EQ(fill_.variant, 1);
    EXPECT_EQ(PixelOf(preview("degrade")), kBluePixel);
    EXPECT_EQ(IconPixel(button("degrade", "variants", kFirstVariantButton)), kRedPixel);

    // A colour chosen shows on its button, the preview and the variants.
    chosen_ = MakeColour(0, 0, 0);
    named("degrade", "colour1")->click();
    EXPECT_EQ(fill_.brush.lbColor, MakeColour(0, 0, 0));
    EXPECT_EQ(IconPixel(named("degrade", "colour1")), kBlackPixel);
    EXPECT_EQ(IconPixel(button("degrade", "variants", kFirstVariantButton)), kBlackPixel);
    EXPECT_EQ(PixelOf(preview("degrade"), 0, 119), QColor(0, 0, 2)); // variant 1 ends on colour 1
    button("degrade", "kinds", kSolidRadio)->click();
    EXPECT_EQ(fill_.kind, kFillSolid);
}

TEST_F(Sheet, PatternAndTextureButtonsSelectTheirNumbers) {
    fill_.brush.lbColor = kWhite;
    fill_.colour2 = MakeColour(0, 0, 0);
    open();
    visit("motif");
    for (const auto& [control, pattern] :
         {std::pair{1067, 36}, {1065, 35}, {1030, 0}, {1043, 13}}) {
        fill_.kind = kFillSolid;
        button("motif", "patterns", control)->click();
        EXPECT_EQ(fill_.kind, kFillPattern);
        EXPECT_EQ(fill_.patternIndex, pattern) << control;
    }
    // Pattern 13: a checkerboard starting with the foreground colour.
    EXPECT_EQ(PixelOf(preview("motif")), kBlackPixel);
    EXPECT_EQ(PixelOf(preview("motif"), 1, 0), kWhitePixel);
    // A colour chosen here repaints every thumbnail.
    chosen_ = MakeColour(0, 0, 255);
    named("motif", "colour2")->click();
    EXPECT_EQ(fill_.colour2, MakeColour(0, 0, 255));
    EXPECT_EQ(IconPixel(button("motif", "patterns", 1030)), kBluePixel);
    EXPECT_EQ(IconPixel(named("motif", "colour2")), kBluePixel);

    visit("texture");
    button("texture", "textures", 1045)->click();
    EXPECT_EQ(fill_.kind, kFillTexture);
    EXPECT_EQ(fill_.textureId, 182);
    ResourceBitmap texture;
    ASSERT_TRUE(LoadTextureBitmap(182, texture));
    EXPECT_EQ(PixelOf(preview("texture")), QColor(texture.bgr[2], texture.bgr[1], texture.bgr[0]));
    button("texture", "textures", 1020)->click();
    EXPECT_EQ(fill_.textureId, 162);
}

TEST_F(Sheet, AChangeShowsOnTheNextPageVisited) {
    fill_.brush.lbColor = kWhite;
    fill_.colour2 = MakeColour(0, 0, 0);
    open();
    visit("motif");
    button("motif", "patterns", PatternButton(13))->click();
    visit("degrade");
    EXPECT_EQ(PixelOf(preview("degrade")), kBlackPixel);
    EXPECT_EQ(PixelOf(preview("degrade"), 1, 0), kWhitePixel);
    // Neither radio stands for a pattern fill.
    EXPECT_FALSE(button("degrade", "kinds", kSolidRadio)->isChecked());
    EXPECT_FALSE(button("degrade", "kinds", kTwoColourRadio)->isChecked());
}

TEST_F(Sheet, PicturePageTakesAUsableFileAndRemembersItsFolder) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("img"));
    const QString folder = QString::fromStdString(dir.file("img").string()) + QLatin1Char('/');
    QImage red(100, 50, QImage::Format_RGB32);
    red.fill(kRedPixel);
    ASSERT_TRUE(red.save(folder + QStringLiteral("photo.png")));
    ASSERT_TRUE(test::WriteFileBytes(dir.file("img/notes.png"), "pas une image"));
    open();
    QWidget* picturePage = visit("imagec");
    auto* area = picturePage->findChild<PictureArea*>(QStringLiteral("pictureArea"));
    EXPECT_TRUE(area->image().isNull());

    named("imagec", "pictureButton")->click(); // cancelled: nothing
    picture_ = folder + QStringLiteral("photo.png");
    named("imagec", "pictureButton")->click();
    EXPECT_EQ(fill_.kind, kFillPicture);
    EXPECT_EQ(QString::fromUtf8(fill_.fileName), picture_);
    EXPECT_EQ(QString::fromStdString(*profile_.readString("load_bmp")), folder);
    EXPECT_EQ(area->image().size(), QSize(100, 50));
    EXPECT_EQ(picturePage->findChild<QLabel*>(QStringLiteral("pictureName"))->toolTip(), picture_);
    EXPECT_EQ(PixelOf(preview("imagec")), kRedPixel);

    // An unusable file is said so and changes nothing; the dialog opens in the folder kept.
    picture_ = folder + QStringLiteral("notes.png");
    named("imagec", "pictureButton")->click();
    EXPECT_EQ(QString::fromUtf8(fill_.fileName), folder + QStringLiteral("photo.png"));
    ASSERT_EQ(reporter_.messages.size(), 1u);
    EXPECT_EQ(reporter_.messages[0].text, "Format inconnu de fichier");
    EXPECT_EQ(folders_, (QStringList{QString(), QString(), folder}));
    EXPECT_EQ(area->image().size(), QSize(100, 50));
}

// The window's commands: the sheet on the box fill or the background fill, its keys written
// whatever closed it, and the place-format dialog on the last file opened.
class FixedChooser final : public RootChooser {
public:
    std::optional<RootChoice> choose(const PersonStore&) override {
        return RootChoice{kModeBoth, 14};
    }
};

// Runs `work` on the modal dialog the next command opens; closes whatever else opens instead.
template <typename Dialog, typename Work> void OnNextDialog(Work work) {
    QTimer::singleShot(0, [work] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "the command opened no dialog of the expected kind";
            if (modal != nullptr) modal->close();
            return;
        }
        work(*dialog);
        dialog->close();
    });
}

TEST(FillAndPlaceCommands, CancelKeepsTheChangesAndWritesTheKeys) {
    auto owned = std::make_unique<MemoryProfile>();
    MemoryProfile& profile = *owned;
    CMainFrame frame(std::move(owned));
    std::vector<std::string> messages;
    frame.reporter().sink = [&](const Message& message) { messages.push_back(message.text); };
    frame.makeChooser = [] { return std::make_unique<FixedChooser>(); };
    EXPECT_TRUE(frame.action(cmd::kTextureBox)->isEnabled());
    EXPECT_TRUE(frame.action(cmd::kPlaceFormat)->isEnabled());
    QString title;
    OnNextDialog<FillSheet>([&](FillSheet& sheet) {
        title = sheet.windowTitle();
        sheet.tabs()->setCurrentIndex(2);
        sheet.findChild<QButtonGroup*>(QStringLiteral("patterns"))
            ->button(PatternButton(12))
            ->click();
    });
    frame.runCommand(cmd::kTextureBox);
    EXPECT_EQ(title, QStringLiteral("Motifs et textures"));
    EXPECT_EQ(frame.document().settings().texture_rectangle.patternIndex, 12);
    EXPECT_EQ(profile.readInt("texture_rectangle.type_couleur"), kFillPattern);
    EXPECT_EQ(profile.readInt("texture_rectangle.motif"), 12);
    EXPECT_FALSE(profile.contains("texture_fond.motif"));

    OnNextDialog<FillSheet>([](FillSheet&) {});
    frame.runCommand(cmd::kTextureBackground);
    EXPECT_EQ(profile.readInt("texture_fond.brush.lbColor"), static_cast<int32_t>(kWhite));

    frame.openFile(QString::fromStdString(test::SampleFamilyFile().string()));
    int rows = 0;
    OnNextDialog<QDialog>([&](QDialog& dialog) {
        rows = dialog.findChild<QTableWidget*>(QStringLiteral("table"))->rowCount();
        dialog.findChild<QPushButton*>(QStringLiteral("swap1"))->click();
    });
    frame.runCommand(cmd::kPlaceFormat);
    EXPECT_EQ(rows, 33);
    EXPECT_EQ(profile.readInt("m_gedcom.t0"), 2);
    EXPECT_EQ(profile.readInt("m_gedcom.t1"), 1);
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace arbolix
