#include "platform/imaging/ImageCodecs.h"

#include "platform/imaging/Jpeg.h"
#include "platform/imaging/Tiff.h"

#include <QSaveFile>
#include <QTransform>

#include <limits>

namespace {
constexpr CLSID kJpegEncoder = {
    0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr CLSID kTiffEncoder = {
    0x557CF405, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

bool IsJpeg(const std::uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}
} // namespace

QImage DecodeImage(const std::uint8_t* data, std::size_t size) {
    if (!data || size == 0)
        return {};
    if (IsJpeg(data, size)) {
        QImage image = DecodeJpeg(data, size);
        if (!image.isNull())
            return image;
    }
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return {};
    QImage image = QImage::fromData(data, static_cast<int>(size));
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage RotateFlip(const QImage& image, RotateFlipType type) {
    if (image.isNull())
        return image;
    const int turns = static_cast<int>(type) & 3;
    const bool flip = (static_cast<int>(type) & 4) != 0;
    QImage result = image;
    if (turns)
        result = result.transformed(QTransform().rotate(90.0 * turns));
    if (flip)
        result = result.mirrored(true, false);
    return result.format() == QImage::Format_RGB32 ? result
                                                   : result.convertToFormat(QImage::Format_RGB32);
}

const std::vector<ImageCodecInfo>& ImageEncoders() {
    static const std::vector<ImageCodecInfo> encoders = {
        {kJpegEncoder, QStringLiteral("Built-in JPEG Codec"), QStringLiteral("JPEG"),
         QStringLiteral("*.JPG;*.JPEG;*.JPE;*.JFIF"), QStringLiteral("image/jpeg")},
        {kTiffEncoder, QStringLiteral("Built-in TIFF Codec"), QStringLiteral("TIFF"),
         QStringLiteral("*.TIF;*.TIFF"), QStringLiteral("image/tiff")},
    };
    return encoders;
}

namespace {
// Written aside and renamed over the target, so a failed write never leaves a
// torn file and keeps the one that was there. The explicit flush matters:
// commit() alone misses a failure while the last buffered bytes go out (a
// full disk) and would rename the cut file into place.
HRESULT WriteFileReplacing(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit())
        return E_FAIL;
    return S_OK;
}
} // namespace

HRESULT SaveImageToFile(const QImage& image, const QString& path, const CLSID& encoder,
                        std::optional<int> quality) {
    if (image.isNull() || path.isEmpty())
        return E_INVALIDARG;
    QByteArray bytes;
    if (encoder == kJpegEncoder)
        bytes = EncodeJpeg(image, quality.value_or(90));
    else if (encoder == kTiffEncoder)
        bytes = EncodeTiff(image);
    else
        return E_INVALIDARG;
    if (bytes.isEmpty())
        return E_FAIL;
    return WriteFileReplacing(path, bytes);
}
