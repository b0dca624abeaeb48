// Writes display bitmaps of a known frame in several view modes, for readers that are not ours
// to check. Usage: make_display_bitmaps OUTDIR

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/image_store.h"
#include "display/display_bitmap.h"

namespace {

// The frame every reader reproduces: pixel (x, y) = (x * 37 + y * 1013) mod 65536.
void FillPattern(talvor::ImageBuffer& frame) {
    for (int y = 0; y < talvor::kFrameRows; ++y) {
        for (int x = 0; x < talvor::kFrameColumns; ++x) {
            talvor::PixelAt(frame, x, y) = static_cast<uint16_t>((x * 37 + y * 1013) % 65536);
        }
    }
}

bool Write(talvor::ImageStore& store, const std::filesystem::path& file, bool small, bool zenka,
           const talvor::PaletteOptions& options) {
    talvor::BuildDisplayBytes(store.CurrentImage, store.DisplayBytes, small, zenka);
    return talvor::WriteDisplayBitmap(store.DisplayBytes, store.BitmapRows, small, zenka,
                                      talvor::BuildColourTable(options),
                                      file) == talvor::BitmapWriteResult::Written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_display_bitmaps OUTDIR\n", stderr);
        return 2;
    }
    const std::filesystem::path out(argv[1]);
    auto store = talvor::CreateImageStore();
    FillPattern(store->CurrentImage);

    talvor::PaletteOptions falseColour;
    falseColour.falseColour = true;
    talvor::PaletteOptions autoContrast;
    autoContrast.autoContrast = true;
    autoContrast.backgroundLevel = 10;
    talvor::PaletteOptions maxStretch;
    maxStretch.maxStretchAll = true;
    maxStretch.stretchBits = 14;
    talvor::PaletteOptions falseAuto = autoContrast;
    falseAuto.falseColour = true;

    const bool ok = Write(*store, out / "plain.bmp", false, false, {}) &&
                    Write(*store, out / "zenka.bmp", false, true, {}) &&
                    Write(*store, out / "small.bmp", true, false, {}) &&
                    Write(*store, out / "false.bmp", false, false, falseColour) &&
                    Write(*store, out / "auto.bmp", false, false, autoContrast) &&
                    Write(*store, out / "max14.bmp", false, false, maxStretch) &&
                    Write(*store, out / "false_auto.bmp", false, false, falseAuto);
    return ok ? 0 : 1;
}
