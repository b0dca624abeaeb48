// Reads the pixels of a FITS file with CFITSIO and writes them as little-endian 32-bit integers
// to OUT, for the interop check to compare. Usage: read_with_cfitsio IN OUT

#include <fitsio.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: read_with_cfitsio IN OUT\n", stderr);
        return 2;
    }
    fitsfile* file = nullptr;
    int status = 0;
    if (fits_open_file(&file, argv[1], READONLY, &status) != 0) {
        fits_report_error(stderr, status);
        return 1;
    }
    int dimensions = 0;
    long size[2] = {0, 0};
    fits_get_img_dim(file, &dimensions, &status);
    fits_get_img_size(file, 2, size, &status);
    std::vector<int> pixels(static_cast<std::size_t>(size[0] * size[1]));
    long first[2] = {1, 1};
    int anyNull = 0;
    fits_read_pix(file, TINT, first, static_cast<LONGLONG>(pixels.size()), nullptr, pixels.data(),
                  &anyNull, &status);
    fits_close_file(file, &status);
    if (status != 0 || dimensions != 2) {
        fits_report_error(stderr, status);
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        return 1;
    }
    std::fwrite(size, sizeof(long), 2, out);
    std::fwrite(pixels.data(), sizeof(int), pixels.size(), out);
    return std::fclose(out) == 0 ? 0 : 1;
}
