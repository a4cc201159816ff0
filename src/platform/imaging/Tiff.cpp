#include "platform/imaging/Tiff.h"

#include <tiffio.h>

#include <QFile>

#include <algorithm>
#include <vector>

namespace {
// libtiff reports through global handlers; keep them quiet (failures are
// reported through the results).
void Silence() {
    static const bool done = [] {
        TIFFSetWarningHandler(nullptr);
        TIFFSetErrorHandler(nullptr);
        return true;
    }();
    (void)done;
}
} // namespace

bool SaveTiff(const QImage& image, const QString& path) {
    Silence();
    if (image.isNull())
        return false;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tiff)
        return false;
    const auto width = static_cast<std::uint32_t>(rgb.width());
    const auto height = static_cast<std::uint32_t>(rgb.height());
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
    bool ok = true;
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    for (std::uint32_t y = 0; ok && y < height; ++y) {
        std::copy_n(rgb.constScanLine(static_cast<int>(y)), row.size(), row.begin());
        ok = TIFFWriteScanline(tiff, row.data(), y, 0) >= 0;
    }
    TIFFClose(tiff);
    if (!ok)
        QFile::remove(path);
    return ok;
}

QImage LoadTiff(const QString& path) {
    Silence();
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff)
        return {};
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    QImage result;
    if (width > 0 && height > 0 && width < 65536 && height < 65536) {
        std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * height);
        if (TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 0)) {
            result =
                QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
            for (std::uint32_t y = 0; y < height; ++y) {
                auto* line = reinterpret_cast<QRgb*>(result.scanLine(static_cast<int>(y)));
                for (std::uint32_t x = 0; x < width; ++x) {
                    const std::uint32_t p = raster[static_cast<std::size_t>(y) * width + x];
                    line[x] = qRgb(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p));
                }
            }
        }
    }
    TIFFClose(tiff);
    return result;
}
