#pragma once

#include <QImage>
#include <QString>

// TIFF through libtiff: 8-bit RGB, LZW-compressed, one strip per row group.
bool SaveTiff(const QImage& image, const QString& path);
// Reads a TIFF file into Format_RGB32; null on failure.
QImage LoadTiff(const QString& path);
