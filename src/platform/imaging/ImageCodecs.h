#pragma once

#include "platform/com.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Decoding of any supported picture, orientation, and the encoder list.

// Decodes encoded bytes (JPEG through TurboJPEG, other formats through QImage)
// into Format_RGB32; a null image when they cannot be decoded.
QImage DecodeImage(const std::uint8_t* data, std::size_t size);

// Turn-then-flip orientation of the picture (RotateFlipType values 0..7:
// clockwise quarter turns 0..3, plus 4 for a horizontal flip afterwards).
enum RotateFlipType {
    RotateNoneFlipNone = 0,
    Rotate90FlipNone = 1,
    Rotate180FlipNone = 2,
    Rotate270FlipNone = 3,
    RotateNoneFlipX = 4,
    Rotate90FlipX = 5,
    Rotate180FlipX = 6,
    Rotate270FlipX = 7,
};
QImage RotateFlip(const QImage& image, RotateFlipType type);

struct ImageCodecInfo {
    CLSID Clsid;
    QString CodecName;
    QString FormatDescription;
    QString FilenameExtension;
    QString MimeType;
};

// The encoders in a fixed order: JPEG ("image/jpeg"), then TIFF
// ("image/tiff").
const std::vector<ImageCodecInfo>& ImageEncoders();

// Writes the picture with the encoder of that class id, replacing any file
// of the same name. `quality` (0..100) is used by JPEG. E_INVALIDARG for an
// unknown encoder or a null picture; E_FAIL when the file cannot be written
// in full (nothing is left behind then, and a file of that name is kept).
HRESULT SaveImageToFile(const QImage& image, const QString& path, const CLSID& encoder,
                        std::optional<int> quality = std::nullopt);
