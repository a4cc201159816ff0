#include "platform/imaging/Tiff.h"

#include <tiffio.h>

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
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

// The file libtiff writes into: a growing byte array.
struct MemoryFile {
    QByteArray bytes;
    qint64 position = 0;
};

MemoryFile* FileOf(thandle_t handle) {
    return static_cast<MemoryFile*>(handle);
}

tmsize_t ReadMemory(thandle_t handle, void* buffer, tmsize_t size) {
    MemoryFile* file = FileOf(handle);
    const qint64 available = std::max<qint64>(0, file->bytes.size() - file->position);
    const qint64 count = std::clamp<qint64>(size, 0, available);
    if (count > 0)
        std::memcpy(buffer, file->bytes.constData() + file->position,
                    static_cast<std::size_t>(count));
    file->position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t WriteMemory(thandle_t handle, void* buffer, tmsize_t size) {
    MemoryFile* file = FileOf(handle);
    if (size < 0)
        return -1;
    const qint64 end = file->position + size;
    // A gap left by a seek past the end reads as zeros.
    if (end > file->bytes.size())
        file->bytes.resize(static_cast<qsizetype>(end), '\0');
    if (size > 0)
        std::memcpy(file->bytes.data() + file->position, buffer, static_cast<std::size_t>(size));
    file->position = end;
    return size;
}

toff_t SeekMemory(thandle_t handle, toff_t offset, int whence) {
    MemoryFile* file = FileOf(handle);
    const qint64 base = whence == SEEK_CUR   ? file->position
                        : whence == SEEK_END ? file->bytes.size()
                                             : 0;
    const qint64 target = base + static_cast<qint64>(offset);
    if (target < 0)
        return static_cast<toff_t>(-1);
    file->position = target;
    return static_cast<toff_t>(target);
}

int CloseMemory(thandle_t) {
    return 0;
}

toff_t SizeOfMemory(thandle_t handle) {
    return static_cast<toff_t>(FileOf(handle)->bytes.size());
}

int MapMemory(thandle_t, void**, toff_t*) {
    return 0; // not mappable; libtiff reads through ReadMemory
}

void UnmapMemory(thandle_t, void*, toff_t) {}
} // namespace

QByteArray EncodeTiff(const QImage& image) {
    Silence();
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    MemoryFile file;
    TIFF* tiff = TIFFClientOpen("memory", "wm", &file, ReadMemory, WriteMemory, SeekMemory,
                                CloseMemory, SizeOfMemory, MapMemory, UnmapMemory);
    if (!tiff)
        return {};
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
    // The last strip and the directory go out here; TIFFClose would not say
    // whether that worked.
    ok = ok && TIFFFlush(tiff) == 1;
    TIFFClose(tiff);
    return ok ? file.bytes : QByteArray();
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
