#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/image_store.h"
#include "core/working_state.h"

namespace talvor {

// The header of a standard FITS image as far as it maps onto ours.
struct ForeignFitsHeader {
    std::map<std::string, std::string> texts;  // OBJECT, DATE-OBS, ROWORDER, ... as given
    std::map<std::string, double> numbers;     // EXPTIME, FOCALLEN, XPIXSZ, ...
    std::vector<std::string> history;          // columns 9-80 of each HISTORY card
    std::vector<std::string> comments;         // columns 9-80 of each COMMENT card
};

// The image of a FITS file that another program wrote (or that was saved again by one): the
// primary image or, when the primary header holds none, the first image extension. Only the
// part a frame can show is read: at most 512 x 290 pixels from the top of the picture.
struct ForeignFitsImage {
    long width = 0;   // NAXIS1
    long height = 0;  // NAXIS2
    long planes = 1;  // NAXIS3, when there is one; only the first plane is read
    int bitpix = 0;
    bool bottomUp = false;  // ROWORDER says the first stored row is the bottom of the picture
    long takenWidth = 0;
    long takenHeight = 0;
    // takenWidth x takenHeight physical values (BZERO and BSCALE applied), the top row of the
    // picture first; blank pixels are NaN.
    std::vector<double> values;
    ForeignFitsHeader header;
};

// Whether the bytes begin as every FITS file begins.
bool LooksLikeFits(const std::vector<uint8_t>& firstBytes);

// Reads the file with CFITSIO. Nothing when it is not FITS, holds no image of two or more axes,
// or cannot be read.
std::optional<ForeignFitsImage> ReadForeignFits(const std::filesystem::path& file);

// Puts the image into the frame: 512 x 290 as it is; 128 x 128 as a small frame (the first
// 16384 words, row stride 128; `smallFrame` is set); any other size at the top-left with the
// rest black. Values outside 0..65535 are scaled linearly into that range. Returns what the
// user is told about what was cut or scaled; empty when the image was taken as it is.
std::string PlaceForeignImage(const ForeignFitsImage& image, ImageBuffer& frame, bool& smallFrame);

// Takes the header's texts, numbers and history into the details and history slots; what the
// header does not give keeps its value. Our own HISTORY and COMMENT cards, when another program
// saved our file again, come back as the history slots and the two paragraphs.
void TakeForeignHeader(const ForeignFitsHeader& header, WorkingState& state);

}  // namespace talvor
