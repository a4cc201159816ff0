#include "ScannerGraphFixture.h"

#include "capture/CaptureGraph.h"
#include "capture/DeviceDiscovery.h"
#include "capture/StreamFormats.h"
#include "platform/devices/virtual/VirtualScanner.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

VirtualCapability Cap(LONG width, LONG height, const GUID& formatType = FORMAT_VideoInfo,
                      ULONG formatSize = 88) {
    VirtualCapability cap;
    cap.width = width;
    cap.height = height;
    cap.formatType = formatType;
    cap.formatSize = formatSize;
    return cap;
}

CapabilityList ListOf(const std::vector<VirtualCapability>& caps) {
    CapabilityList list;
    for (const VirtualCapability& cap : caps)
        list.emplace_back(MediaType::Video(cap.subtype, cap.width, cap.height, 666666,
                                           cap.formatType, cap.formatSize)
                              .Copy());
    return list;
}

const std::vector<VirtualCapability> kScannerCaps = {Cap(1280, 960), Cap(2592, 1944),
                                                     Cap(1600, 1600)};

TEST(ChooseCapabilityTest, SelectionTable) {
    struct Case {
        const char* name;
        std::vector<VirtualCapability> caps;
        int filmSize;
        int capture; // chosen index, -1 none
        int still;
    };
    const Case cases[] = {
        {"135 from the scanner's list", kScannerCaps, kFilmSize135, 0, 1},
        {"126 from the scanner's list", kScannerCaps, kFilmSize126, 2, 2},
        {"126 without a square", {Cap(1280, 960), Cap(2592, 1944)}, kFilmSize126, -1, -1},
        {"1500 wide serves neither", {Cap(1500, 1000), Cap(1500, 1200)}, kFilmSize135, -1, -1},
        {"1500 passed over",
         {Cap(1500, 1000), Cap(1499, 1000), Cap(1501, 1000)},
         kFilmSize135,
         1,
         2},
        {"square never for 135", {Cap(1000, 1000), Cap(2000, 2000)}, kFilmSize135, -1, -1},
        {"first fit wins",
         {Cap(640, 480), Cap(1280, 960), Cap(4000, 3000), Cap(2592, 1944)},
         kFilmSize135,
         0,
         2},
        {"VideoInfo2 skipped",
         {Cap(1280, 960, FORMAT_VideoInfo2), Cap(800, 600)},
         kFilmSize135,
         1,
         -1},
        {"short block skipped",
         {Cap(1280, 960, FORMAT_VideoInfo, 40), Cap(2592, 1944)},
         kFilmSize135,
         -1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CapabilityList list = ListOf(c.caps);
        testing::internal::CaptureStdout();
        EXPECT_EQ(ChooseCapability(list, &CaptureFormatFits, c.filmSize), c.capture);
        EXPECT_EQ(ChooseCapability(list, &StillFormatFits, c.filmSize), c.still);
        testing::internal::GetCapturedStdout();
    }
}

TEST(ChooseCapabilityTest, DiagnosticOnlyForShortVideoInfoBlocks) {
    const CapabilityList list =
        ListOf({Cap(640, 480, FORMAT_VideoInfo2), Cap(640, 480, FORMAT_VideoInfo, 40),
                Cap(800, 600, FORMAT_VideoInfo, 87), Cap(1000, 1000), Cap(1280, 960)});
    testing::internal::CaptureStdout();
    EXPECT_EQ(ChooseCapability(list, &CaptureFormatFits, kFilmSize135), 4);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "[1] not FORMAT_VideoInfo\n[2] not FORMAT_VideoInfo\n");
    // The walk stops at the chosen one: nothing is said about later entries.
    testing::internal::CaptureStdout();
    EXPECT_EQ(ChooseCapability(ListOf({Cap(1280, 960), Cap(1, 1, FORMAT_VideoInfo, 40)}),
                               &CaptureFormatFits, kFilmSize135),
              0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

class StreamFormatsTest : public ScannerGraphFixture {
protected:
    void Prepare(VirtualScannerConfig config) { AttachScanner(std::move(config)); }
    QSize Capture() const {
        LONG w = 0, h = 0;
        scanner->CurrentCaptureSize(&w, &h);
        return QSize(w, h);
    }
    QSize Still() const {
        LONG w = 0, h = 0;
        scanner->CurrentStillSize(&w, &h);
        return QSize(w, h);
    }
};

TEST_F(StreamFormatsTest, FilmSizeSetsBothPinsAndTheStillFrameInfo) {
    struct Case {
        const char* name;
        std::vector<VirtualCapability> caps;
        int startIndex;
        int filmSize;
        QSize capture;
        QSize still;
    };
    const Case cases[] = {
        {"135", kScannerCaps, 2, kFilmSize135, {1280, 960}, {2592, 1944}},
        {"126", kScannerCaps, 0, kFilmSize126, {1600, 1600}, {1600, 1600}},
        // Nothing fits: both pins keep the formats they had.
        {"126 without a square",
         {Cap(1280, 960), Cap(2592, 1944)},
         1,
         kFilmSize126,
         {2592, 1944},
         {2592, 1944}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualScannerConfig config;
        config.captureCaps = c.caps;
        config.stillCaps = c.caps;
        config.captureFormatIndex = c.startIndex;
        config.stillFormatIndex = c.startIndex;
        Prepare(config);
        EXPECT_EQ(graph->GetCaptureCapabilities().size(), c.caps.size());
        SelectCaptureFormat(*graph, c.filmSize);
        SelectStillFormat(*graph, c.filmSize);
        EXPECT_EQ(Capture(), c.capture);
        EXPECT_EQ(Still(), c.still);

        StillFrameInfo info;
        EXPECT_EQ(UpdateStillFrameInfo(*graph, info), S_OK);
        EXPECT_EQ(QSize(info.width, info.height), c.still);

        MediaTypePtr format;
        ASSERT_EQ(graph->GetCaptureFormat(&format), S_OK);
        LONG w = 0, h = 0;
        ASSERT_TRUE(GetVideoInfoSize(*format, &w, &h));
        EXPECT_EQ(QSize(w, h), c.capture);
        TearDown();
    }
}

TEST_F(StreamFormatsTest, FailingSetFormatGoesUnnoticed) {
    VirtualScannerConfig config;
    config.setFormatFails = true;
    config.captureCaps = kScannerCaps;
    config.captureFormatIndex = 2;
    Prepare(config);
    SelectCaptureFormat(*graph, kFilmSize135);
    EXPECT_EQ(Capture(), QSize(1600, 1600));
}

TEST_F(StreamFormatsTest, StillFrameInfoKeepsItsValuesWhenTheFormatCannotBeRead) {
    VirtualScannerConfig noStill;
    noStill.hasStillPin = false;
    Prepare(noStill);
    StillFrameInfo info{640, 480};
    EXPECT_TRUE(FAILED(UpdateStillFrameInfo(*graph, info)));
    EXPECT_EQ(QSize(info.width, info.height), QSize(640, 480));
    TearDown();
    graph = nullptr;

    // A still format without a full VideoInfo block: S_OK, values kept.
    VirtualScannerConfig odd;
    odd.stillCaps = {Cap(2592, 1944, FORMAT_VideoInfo2)};
    Prepare(odd);
    EXPECT_EQ(UpdateStillFrameInfo(*graph, info), S_OK);
    EXPECT_EQ(QSize(info.width, info.height), QSize(640, 480));
}

} // namespace
