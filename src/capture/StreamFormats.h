#pragma once

#include "capture/CaptureGraph.h"
#include "capture/StillFrameInfo.h"

// Film size indexes (the Film Size radio group).
constexpr int kFilmSize135 = 0;
constexpr int kFilmSize126 = 1;

// Non-square formats split at this width: narrower ones feed the live
// picture, wider ones the stills; one exactly this wide serves neither.
constexpr LONG kStillWidthThreshold = 1500;

bool CaptureFormatFits(int filmSizeIndex, LONG width, LONG height);
bool StillFormatFits(int filmSizeIndex, LONG width, LONG height);

// The index of the first capability that fits, or -1. Writes
// "[%d] not FORMAT_VideoInfo\n" to standard output for every VideoInfo
// capability whose block is too short to hold a VIDEOINFOHEADER; other
// format types are passed over silently.
int ChooseCapability(const CapabilityList& capabilities, bool (*fits)(int, LONG, LONG),
                     int filmSizeIndex);

// Sets the capture (still) pin's format to the first capability that fits
// the film size; the pin keeps its format when none does. SetFormat's result
// is not examined.
void SelectCaptureFormat(const CaptureGraph& graph, int filmSizeIndex);
void SelectStillFormat(const CaptureGraph& graph, int filmSizeIndex);

// Reads the still pin's current format into `info`. Fails when the still
// pin's configuration or format cannot be had; a format without a full
// VideoInfo block leaves `info` as it was.
HRESULT UpdateStillFrameInfo(const CaptureGraph& graph, StillFrameInfo& info);
