#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// TIFF through libtiff: 8-bit RGB, LZW-compressed, one strip per row group,
// encoded in memory. Empty on failure.
QByteArray EncodeTiff(const QImage& image);
// Reads a TIFF file into Format_RGB32; null on failure.
QImage LoadTiff(const QString& path);
