#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>

#include <array>

// The icons and the bitmap the program carries, drawn in code.

// Icon 128, the window icon, carries these sizes (pixels, square).
constexpr std::array<int, 4> kWindowIconSizes = {128, 64, 48, 32};

// Icon 134: the picture of an empty thumbnail slot.
constexpr QSize kSlotPlaceholderSize{88, 62};
constexpr QRgb kSlotPlaceholderFrame = 0xFF585B5B; // RGB(88, 91, 91)
constexpr QRgb kSlotPlaceholderFill = 0xFFA86A6A;  // RGB(168, 106, 106)

// Bitmap 132: the picture shown while no scanner is open.
constexpr QSize kNoDeviceBitmapSize{96, 96};

// A new icon for resource `id` (128 or 134); a null icon for any other id.
QIcon LoadIconResource(int id);

// The image of icon `id` at `size`; a null image when the icon has no such size.
QImage IconResourceImage(int id, QSize size);

// A new copy of bitmap `id` (132); a null image for any other id.
QImage LoadBitmapResource(int id);
