#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <vector>

// JPEG through TurboJPEG. Decoded pictures are QImage::Format_RGB32.

struct JpegScale {
    int num = 1;
    int denom = 1;
    int Apply(int size) const { return (size * num + denom - 1) / denom; }
    friend bool operator==(const JpegScale&, const JpegScale&) = default;
};

// Size of the picture in the header; false for bytes that are not a JPEG.
bool ReadJpegSize(const std::uint8_t* data, std::size_t size, int* width, int* height);

// Full decode at `scale` (one of JpegScalingFactors()); a null image when the
// bytes cannot be decoded or the scale is not offered.
QImage DecodeJpeg(const std::uint8_t* data, std::size_t size, JpegScale scale = {});

// The scaling factors the library offers, largest first.
const std::vector<JpegScale>& JpegScalingFactors();

// The cheapest decode that still covers `target` (both sides at least the
// target's, or full size when the picture is smaller). Only the power-of-two
// factors 1, 1/2, 1/4, 1/8 are considered: their reduced inverse transforms
// are cheaper than the other factors, which cost about as much as a full
// decode plus the extra scaling.
JpegScale CoveringJpegScale(int width, int height, QSize target);
QImage DecodeJpegCovering(const std::uint8_t* data, std::size_t size, QSize target);

// Encodes an image (any format; converted to RGB32 first) as a baseline JPEG
// with 4:2:0 chroma subsampling. Empty on failure.
QByteArray EncodeJpeg(const QImage& image, int quality = 90);
