#include "platform/imaging/Jpeg.h"

#include <turbojpeg.h>

#include <algorithm>
#include <limits>

namespace {
// One decompressor and one compressor per thread: creating them per frame
// costs more than a small decode.
struct TurboHandles {
    tjhandle decompressor = nullptr;
    tjhandle compressor = nullptr;
    ~TurboHandles() {
        if (decompressor)
            tjDestroy(decompressor);
        if (compressor)
            tjDestroy(compressor);
    }
};

TurboHandles& Handles() {
    thread_local TurboHandles handles;
    return handles;
}

tjhandle Decompressor() {
    auto& h = Handles();
    if (!h.decompressor)
        h.decompressor = tjInitDecompress();
    return h.decompressor;
}

tjhandle Compressor() {
    auto& h = Handles();
    if (!h.compressor)
        h.compressor = tjInitCompress();
    return h.compressor;
}

bool SizeFits(std::size_t size) {
    return size > 0 && size <= std::numeric_limits<unsigned long>::max();
}
} // namespace

bool ReadJpegSize(const std::uint8_t* data, std::size_t size, int* width, int* height) {
    tjhandle handle = Decompressor();
    if (!data || !SizeFits(size) || !handle)
        return false;
    int w = 0, h = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &w, &h, &subsampling,
                            &colorspace) != 0)
        return false;
    if (width)
        *width = w;
    if (height)
        *height = h;
    return true;
}

const std::vector<JpegScale>& JpegScalingFactors() {
    static const std::vector<JpegScale> factors = [] {
        int count = 0;
        const tjscalingfactor* list = tjGetScalingFactors(&count);
        std::vector<JpegScale> result;
        for (int i = 0; list && i < count; ++i)
            result.push_back({list[i].num, list[i].denom});
        std::sort(result.begin(), result.end(), [](const JpegScale& a, const JpegScale& b) {
            return a.num * b.denom > b.num * a.denom;
        });
        return result;
    }();
    return factors;
}

QImage DecodeJpeg(const std::uint8_t* data, std::size_t size, JpegScale scale) {
    tjhandle handle = Decompressor();
    if (!data || !SizeFits(size) || !handle)
        return {};
    const auto& factors = JpegScalingFactors();
    if (std::find(factors.begin(), factors.end(), scale) == factors.end())
        return {};
    int w = 0, h = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &w, &h, &subsampling,
                            &colorspace) != 0 ||
        w <= 0 || h <= 0)
        return {};
    const int sw = scale.Apply(w);
    const int sh = scale.Apply(h);
    QImage image(sw, sh, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    // QImage RGB32 is 0xFFRRGGBB in native order: B, G, R, X bytes here.
    if (tjDecompress2(handle, data, static_cast<unsigned long>(size), image.bits(), sw,
                      static_cast<int>(image.bytesPerLine()), sh, TJPF_BGRX, 0) != 0) {
        // A truncated or slightly damaged stream still decodes with a warning;
        // only a real failure drops the picture.
        if (tjGetErrorCode(handle) != TJERR_WARNING)
            return {};
    }
    return image;
}

JpegScale CoveringJpegScale(int width, int height, QSize target) {
    JpegScale best{1, 1};
    if (width <= 0 || height <= 0 || target.width() <= 0 || target.height() <= 0)
        return best;
    for (const JpegScale& s : {JpegScale{1, 2}, JpegScale{1, 4}, JpegScale{1, 8}}) {
        if (s.Apply(width) >= target.width() && s.Apply(height) >= target.height())
            best = s;
        else
            break;
    }
    return best;
}

QImage DecodeJpegCovering(const std::uint8_t* data, std::size_t size, QSize target) {
    int w = 0, h = 0;
    if (!ReadJpegSize(data, size, &w, &h))
        return {};
    return DecodeJpeg(data, size, CoveringJpegScale(w, h, target));
}

QByteArray EncodeJpeg(const QImage& image, int quality) {
    tjhandle handle = Compressor();
    if (image.isNull() || !handle)
        return {};
    const QImage rgb =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_RGB32);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int q = std::clamp(quality, 1, 100);
    if (tjCompress2(handle, rgb.constBits(), rgb.width(), static_cast<int>(rgb.bytesPerLine()),
                    rgb.height(), TJPF_BGRX, &out, &outSize, TJSAMP_420, q, 0) != 0) {
        tjFree(out);
        return {};
    }
    QByteArray result(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    tjFree(out);
    return result;
}
