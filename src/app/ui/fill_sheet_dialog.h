#pragma once
// The sheet "Motifs et textures" that edits one fill (the boxes' or the background's) on the pages
// "Dégradé", "Image", "Motif" and "Texture". Every page changes the fill at once, so OK and
// Annuler both keep what was done; every page shows the "Résultat" preview of the whole fill and
// rebuilds it, with its own pictures, each time its tab is shown. All pictures are BuildFill
// results at the screen's depth.
//
// Object names, for findChild<>(): the pages "degrade", "imagec", "motif", "texture"; on each
// page "preview" (QLabel). "degrade": button groups "kinds" (ids kSolidRadio, kTwoColourRadio),
// "gradientTypes" (kFirstGradientTypeRadio + type), "variants" (kFirstVariantButton + variant),
// buttons "colour1", "colour2". "motif": group "patterns" (ids PatternButton(pattern)), buttons
// "colour1", "colour2". "texture": group "textures" (ids TextureButton(id)). "imagec": button
// "pictureButton", "pictureArea" (PictureArea), "pictureName" (QLabel).

#include <QDialog>
#include <QFrame>
#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>

#include "app/ui/setting_dialogs.h"
#include "base/fill_spec.h"

class QTabWidget;

namespace arbolix {

class Profile;
class Reporter;
struct FillSheetContext;

// Asks for a picture file, starting in `folder`; an empty text when the user cancels.
using PictureFileChooser = std::function<QString(QWidget* parent, const QString& folder)>;

// The file dialog "Ouvrir fichier image" with the picture filters, the first one selected.
QString AskPictureFile(QWidget* parent, const QString& folder);

// The picture of the "Image" page, stretched over the whole area whatever its proportions.
class PictureArea final : public QFrame {
    Q_OBJECT
public:
    explicit PictureArea(QWidget* parent = nullptr);
    void setImage(QImage image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

class FillSheet final : public QDialog {
    Q_OBJECT
public:
    // Edits `fill`. `screenDepth` decides the pages (8: no "Texture"; 16, 24, 32: all four; any
    // other: none) and the depth of every picture; `profile` gets the folder of a chosen picture
    // ("load_bmp") and gives the folder the file dialog starts in.
    FillSheet(FillSpec& fill, int32_t screenDepth, Profile& profile, Reporter& reporter,
              QWidget* parent = nullptr);
    ~FillSheet() override;

    void setColourChooser(ColourChooser chooser);
    void setPictureChooser(PictureFileChooser chooser);
    QTabWidget* tabs() const { return tabs_; }

    // The depth of the screen a widget is on (of the primary screen when it has none yet).
    static int32_t ScreenDepth(const QWidget* widget);

private:
    void activatePage(int index);

    std::unique_ptr<FillSheetContext> context_;
    QTabWidget* tabs_ = nullptr;
};

// Runs the sheet modally on `fill` at the depth of the parent's screen.
void RunFillSheet(QWidget* parent, FillSpec& fill, Profile& profile, Reporter& reporter);

} // namespace arbolix
