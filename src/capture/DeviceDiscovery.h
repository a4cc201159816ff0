#pragma once

#include <QString>
#include <QStringList>

struct IBaseFilter;

// USB identifiers of the scanner, matched as case-insensitive substrings of
// the device path.
const QStringList& AcceptedUsbIdentifiers();
bool IsAcceptedDevicePath(const QString& devicePath);

// Walks the video-input devices and picks the first one that is the scanner:
// its extension unit answers the identity query and its path holds an
// accepted identifier (and equals `wantedPath`, case-insensitively, when that
// is not empty). On true, *filterOut holds one reference the caller owns and
// *pathOut (when given) the device's path in full: the path is kept as a
// string of its own length, so long paths are neither cut nor overrun.
bool FindScannerDevice(const QString& wantedPath, QString* pathOut, IBaseFilter** filterOut);
