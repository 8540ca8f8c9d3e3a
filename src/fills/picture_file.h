#pragma once
// Picture files of picture fills, read through FreeImage.

#include <cstdint>
#include <vector>

#include "base/colour.h"
#include "fills/packed_dib.h"

namespace arbolix {

// What LoadPictureFile gives back.
struct PictureInfo {
    // The picture's header as FreeImage reports it after the depth conversion, with biSizeImage
    // = padded row size × picture height and, when the rows were cut, biWidth = the cut width.
    DibHeader header;
    // biSizeImage bytes; rows top first at the padded row size of the result width. Only the
    // first result-height rows belong to the result.
    std::vector<uint8_t> pixels;
    // The colour table of an 8-bit result (the quantizer's palette); empty at other depths.
    std::vector<Colour> palette;
};

// Loads a BMP, ICO, JPEG, KOALA, LBM, text PBM/PGM/PPM, PCD, PCX, PNG, RAS, TARGA, TIFF or PSD
// file at a depth of 8 (quantized to at most 256 colours with the Wu quantizer), 16 (5-6-5
// words), 32 or 24 (any other value). The result is at most width × height pixels: a width or
// height of 0 (or less), or one the picture does not reach, takes the picture's own; a smaller
// one keeps the left part or the top rows. width and height are set to the result's size.
// Returns 1 on success and 0 when the file is missing, of another format (JNG, MNG, WBMP, the
// raw PBM/PGM/PPM forms, anything unrecognised) or cannot be decoded; reports nothing.
int LoadPictureFile(const char* fileName, PictureInfo& info, int32_t& width, int32_t& height,
                    int32_t bitsPerPixel);

} // namespace arbolix
