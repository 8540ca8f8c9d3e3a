#pragma once
// The four pages of the fill sheet (app/ui/fill_sheet_dialog.h). Each works on the fill through
// the sheet's context and builds its pictures with BuildFill at the screen's depth.

#include <QWidget>

#include <array>
#include <cstdint>

#include "app/fill_sheet.h"
#include "app/ui/fill_sheet_dialog.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPushButton;

namespace arbolix {

// What the pages share: the fill, the depth, and where they ask and tell.
struct FillSheetContext {
    FillSpec& fill;
    int32_t depth;
    Profile& profile;
    Reporter& reporter;
    ColourChooser chooseColour;
    PictureFileChooser choosePicture;
};

class FillSheetPage : public QWidget {
public:
    FillSheetPage(FillSheetContext& context, const char* objectName);
    // The page's tab was shown: the preview and the page's pictures are built again from the
    // fill, which another page may have changed.
    virtual void activate() = 0;

protected:
    // A fill of these values (no picture file) at the screen's depth; a null pixmap when nothing
    // was built.
    QPixmap build(FillPictureSize size, int32_t kind, Colour colour1, Colour colour2 = 0,
                  int32_t gradientType = 0, int32_t variant = 0, int32_t textureId = 0,
                  int32_t pattern = 0) const;
    // The "Résultat" preview of the whole fill (an unusable picture file loses its name there).
    void showPreview();
    void showPreview(const FillBitmap& built);
    // The page's controls go to the left of the "Résultat" column.
    void setContent(QLayout* content);

    FillSheetContext& context_;
    QLabel* preview_ = nullptr;
};

class GradientPage final : public FillSheetPage {
public:
    explicit GradientPage(FillSheetContext& context);
    void activate() override;

private:
    void chooseColour(Colour& colour);
    void showSwatches();
    void showVariants();

    QButtonGroup* kinds_ = nullptr;
    QButtonGroup* types_ = nullptr;
    QButtonGroup* variants_ = nullptr;
    QPushButton* colour1_ = nullptr;
    QPushButton* colour2_ = nullptr;
};

class PatternPage final : public FillSheetPage {
public:
    explicit PatternPage(FillSheetContext& context);
    void activate() override;

private:
    void chooseColour(Colour& colour);

    QButtonGroup* patterns_ = nullptr;
    QPushButton* colour1_ = nullptr;
    QPushButton* colour2_ = nullptr;
};

class TexturePage final : public FillSheetPage {
public:
    explicit TexturePage(FillSheetContext& context);
    void activate() override;

private:
    QButtonGroup* textures_ = nullptr;
    bool built_ = false; // the thumbnails are built once, on the first visit
};

class PicturePage final : public FillSheetPage {
public:
    explicit PicturePage(FillSheetContext& context);
    void activate() override;

private:
    void choosePicture();
    void showWholePicture();

    PictureArea* area_ = nullptr;
    QLabel* name_ = nullptr; // the file the area shows
    bool built_ = false;     // the whole picture is built on the first visit, then after a choice
};

} // namespace arbolix
