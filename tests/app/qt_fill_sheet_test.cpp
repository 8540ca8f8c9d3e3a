// The fill sheet offscreen: what each page does to the fill and shows, at every screen depth, and
// the window's commands that open it and the place-format dialog.

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
#include "fills/fill_resources.h"
#include "support/qt_support.h"

namespace arbolix {
namespace {

const QColor kRedPixel(255, 0, 0), kBluePixel(0, 0, 255), kBlackPixel(0, 0, 0),
    kWhitePixel(255, 255, 255);
constexpr Colour kRedFill = MakeColour(255, 0, 0), kBlueFill = MakeColour(0, 0, 255);

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
        sheet_->setColourChooser([this](QWidget*, Colour) { return chosen_; });
        sheet_->setPictureChooser([this](QWidget*, const QString& folder) {
            folders_.push_back(folder);
            return picture_;
        });
    }
    QWidget* page(const char* name) { return sheet_->findChild<QWidget*>(QLatin1String(name)); }
    // Shows a page's tab, as a click on it would.
    void visit(const char* name) { sheet_->tabs()->setCurrentWidget(page(name)); }
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
    Colour chosen_ = 0;   // the colour chooser's answer
    QString picture_;     // the file chooser's answer
    QStringList folders_; // the folders it was opened on
};

TEST_F(Sheet, PagesAndPicturesFollowTheScreenDepth) {
    fill_.brush.lbColor = kRedFill;
    fill_.colour2 = kBlueFill;
    for (int32_t depth : {8, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        open(depth);
        // No texture page on 256 colours.
        EXPECT_EQ(sheet_->tabs()->count(), depth == 8 ? 3 : 4);
        // Red and blue survive every depth exactly.
        EXPECT_EQ(PixelOf(preview("degrade")), kRedPixel);
        visit("motif");
        EXPECT_EQ(PixelOf(preview("motif")), kRedPixel);
        EXPECT_EQ(IconPixel(button("motif", "patterns", PatternButton(13))), kBluePixel);
    }
    open(15);
    EXPECT_EQ(sheet_->tabs()->count(), 0);
}

TEST_F(Sheet, GradientPageChangesKindOnlyThroughItsTwoRadios) {
    fill_.kind = kFillPattern;
    fill_.brush.lbColor = kRedFill;
    fill_.colour2 = kBlueFill;
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

    // The chooser's colour shows on its button, the preview and the variants.
    named("degrade", "colour1")->click();
    EXPECT_EQ(IconPixel(named("degrade", "colour1")), kBlackPixel);
    EXPECT_EQ(IconPixel(button("degrade", "variants", kFirstVariantButton)), kBlackPixel);
    EXPECT_EQ(PixelOf(preview("degrade"), 0, 119), QColor(0, 0, 2)); // variant 1 ends on colour 1
    button("degrade", "kinds", kSolidRadio)->click();
    EXPECT_EQ(fill_.kind, kFillSolid);
}

TEST_F(Sheet, PatternAndTextureButtonsSelectTheirNumbers) {
    fill_.brush.lbColor = kWhite;
    open();
    visit("motif");
    button("motif", "patterns", 1043)->click();
    EXPECT_EQ(fill_.kind, kFillPattern);
    EXPECT_EQ(fill_.patternIndex, 13);
    // Pattern 13 is a checkerboard starting with the foreground colour.
    EXPECT_EQ(PixelOf(preview("motif")), kBlackPixel);
    EXPECT_EQ(PixelOf(preview("motif"), 1, 0), kWhitePixel);
    // A colour chosen here repaints every thumbnail; the next page visited shows the fill too.
    chosen_ = kBlueFill;
    named("motif", "colour2")->click();
    EXPECT_EQ(IconPixel(button("motif", "patterns", 1030)), kBluePixel);
    visit("degrade");
    EXPECT_EQ(PixelOf(preview("degrade")), kBluePixel);
    EXPECT_FALSE(button("degrade", "kinds", kSolidRadio)->isChecked());
    EXPECT_FALSE(button("degrade", "kinds", kTwoColourRadio)->isChecked());

    visit("texture");
    button("texture", "textures", 1045)->click();
    EXPECT_EQ(fill_.kind, kFillTexture);
    EXPECT_EQ(fill_.textureId, 182);
    ResourceBitmap texture;
    ASSERT_TRUE(LoadTextureBitmap(182, texture));
    EXPECT_EQ(PixelOf(preview("texture")), QColor(texture.bgr[2], texture.bgr[1], texture.bgr[0]));
}

TEST_F(Sheet, PicturePageTakesOnlyAFileWhosePathFits) {
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string()) + QLatin1Char('/');
    const QString longFolder = folder + QString(120, QLatin1Char('d')) + QLatin1Char('/');
    ASSERT_TRUE(std::filesystem::create_directory(longFolder.toStdString()));
    QImage red(100, 50, QImage::Format_RGB32);
    red.fill(kRedPixel);
    for (const QString& file : {folder + "photo.png", longFolder + "photo.png"})
        ASSERT_TRUE(red.save(file));
    open();
    visit("imagec");
    auto* area = page("imagec")->findChild<PictureArea*>(QStringLiteral("pictureArea"));
    EXPECT_TRUE(area->image().isNull());

    named("imagec", "pictureButton")->click(); // cancelled: nothing
    picture_ = folder + QStringLiteral("photo.png");
    named("imagec", "pictureButton")->click();
    EXPECT_EQ(fill_.kind, kFillPicture);
    EXPECT_EQ(QString::fromUtf8(fill_.fileName), picture_);
    EXPECT_EQ(QString::fromStdString(*profile_.readString("load_bmp")), folder);
    EXPECT_EQ(area->image().size(), QSize(100, 50));
    EXPECT_EQ(PixelOf(preview("imagec")), kRedPixel);

    // A path too long to keep whole is said so and changes nothing (unusable files are refused
    // by the picture loading, as its tests show).
    picture_ = longFolder + QStringLiteral("photo.png");
    named("imagec", "pictureButton")->click();
    EXPECT_EQ(QString::fromUtf8(fill_.fileName), folder + QStringLiteral("photo.png"));
    ASSERT_EQ(reporter_.messages.size(), 1u);
    EXPECT_NE(reporter_.messages[0].text.find("trop long"), std::string::npos);
    EXPECT_EQ(folders_, (QStringList{QString(), QString(), folder}));
    EXPECT_EQ(QString::fromStdString(*profile_.readString("load_bmp")), folder);
}

// Runs `work` on the dialog the next command opens, then closes it as Annuler would.
template <typename Dialog, typename Work> void OnNextDialog(Work work) {
    QTimer::singleShot(0, [work] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<Dialog*>(modal))
            work(*dialog);
        else
            ADD_FAILURE() << "the command opened no dialog of the expected kind";
        if (modal != nullptr) modal->close();
    });
}

TEST(FillAndPlaceCommands, AnnulerKeepsTheChangesAndWritesTheKeys) {
    auto owned = std::make_unique<MemoryProfile>();
    MemoryProfile& profile = *owned;
    std::vector<std::string> messages;
    const auto window = test::ShownWindow(messages, std::move(owned), "");
    CMainFrame& frame = *window;
    OnNextDialog<FillSheet>([](FillSheet& sheet) {
        sheet.tabs()->setCurrentIndex(2);
        sheet.findChild<QButtonGroup*>(QStringLiteral("patterns"))
            ->button(PatternButton(12))
            ->click();
    });
    frame.runCommand(cmd::kTextureBox);
    EXPECT_EQ(frame.document().settings().texture_rectangle.patternIndex, 12);
    EXPECT_EQ(profile.readInt("texture_rectangle.type_couleur"), kFillPattern);
    EXPECT_EQ(profile.readInt("texture_rectangle.motif"), 12);
    EXPECT_FALSE(profile.contains("texture_fond.motif"));

    frame.openFile(QString::fromStdString(test::SampleFamilyFile().string()));
    int rows = 0;
    OnNextDialog<QDialog>([&](QDialog& dialog) {
        rows = dialog.findChild<QTableWidget*>(QStringLiteral("table"))->rowCount();
        dialog.findChild<QPushButton*>(QStringLiteral("swap1"))->click();
    });
    frame.runCommand(cmd::kPlaceFormat);
    EXPECT_EQ(rows, 33);
    EXPECT_EQ(std::pair(profile.readInt("m_gedcom.t0"), profile.readInt("m_gedcom.t1")),
              std::pair(std::optional(2), std::optional(1)));
}

} // namespace
} // namespace arbolix
