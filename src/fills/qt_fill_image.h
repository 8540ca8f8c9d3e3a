#pragma once
// Fill pixels (fills/fill_bitmap.h) as Qt images, for the previews and thumbnails of the fill
// dialogs and the picture they show whole.

#include <QImage>

#include "fills/fill_bitmap.h"

namespace arbolix {

// The device bitmap of a fill as an image of its own (the fill may go away afterwards): 8 bits
// through FillPalette(), 16 bits as 5-6-5 words, 24 bits blue-green-red, 32 bits blue-green-red
// and an unused byte. A null image when the fill has no device bitmap, is empty, or holds fewer
// pixels than its size says.
QImage DeviceFillImage(const FillBitmap& fill);

// The packed DIB of a fill (rows top first under a positive height, as BuildFill makes them) as
// an image of its own: 24 and 32 bits, and 16 bits as 5-5-5 words. A null image for any other
// depth, a DIB shorter than its header says, or no DIB.
QImage PackedFillImage(const FillBitmap& fill);

} // namespace arbolix
