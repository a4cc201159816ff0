#include "ScannerGraphFixture.h"

#include "capture/CaptureGraph.h"
#include "capture/DeviceDiscovery.h"
#include "capture/StreamFormats.h"
#include "platform/devices/virtual/VirtualScanner.h"
#include "platform/imaging/Jpeg.h"
#include "platform/media/VideoRenderer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Stills as the buffer handler saw them, handed over under a lock.
struct StillSink {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<QByteArray> stills;

    static void Handler(void* context, double, BYTE* bytes, LONG length) {
        auto* sink = static_cast<StillSink*>(context);
        std::lock_guard lock(sink->mutex);
        sink->stills.emplace_back(reinterpret_cast<const char*>(bytes), length);
        sink->arrived.notify_all();
    }
    bool WaitFor(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, timeout, [&] { return stills.size() >= count; });
    }
    std::size_t Count() {
        std::lock_guard lock(mutex);
        return stills.size();
    }
};

QString FilterName(IBaseFilter* filter) {
    FILTER_INFO info;
    if (!filter || FAILED(filter->QueryFilterInfo(&info)))
        return {};
    return info.achName;
}

// The filter on the other side of a pin's connection, or null.
ComPtr<IBaseFilter> PeerFilter(IPin* pin) {
    ComPtr<IPin> peer;
    PIN_INFO info;
    if (!pin || FAILED(pin->ConnectedTo(peer.put())) || FAILED(peer->QueryPinInfo(&info)))
        return nullptr;
    return info.pFilter;
}

ComPtr<IPin> OutputPin(IBaseFilter* filter, int index = 0) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.put())))
        return nullptr;
    int outputs = 0;
    for (;;) {
        ComPtr<IPin> pin;
        if (pins->Next(1, pin.put(), nullptr) != S_OK)
            return nullptr;
        PIN_DIRECTION direction;
        pin->QueryDirection(&direction);
        if (direction == PINDIR_OUTPUT && outputs++ == index)
            return pin;
    }
}

std::vector<QString> FilterNames(IFilterGraph* graph) {
    std::vector<QString> names;
    ComPtr<IEnumFilters> filters;
    if (!graph || FAILED(graph->EnumFilters(filters.put())))
        return names;
    for (;;) {
        ComPtr<IBaseFilter> filter;
        if (filters->Next(1, filter.put(), nullptr) != S_OK)
            return names;
        names.push_back(FilterName(filter.get()));
    }
}

bool Contains(const std::vector<QString>& names, const QString& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class CaptureGraphTest : public ScannerGraphFixture {
protected:
    // Plugs a scanner and prepares a graph on it as the window does.
    void Prepare(VirtualScannerConfig config = {}, bool withHandler = true) {
        AttachScanner(std::move(config));
        if (!graph)
            return;
        graph->callbackMode = kCallbackBuffer;
        graph->callbackContext = &sink;
        if (withHandler)
            graph->stillBufferHandler = &StillSink::Handler;
        SelectCaptureFormat(*graph, kFilmSize135);
        SelectStillFormat(*graph, kFilmSize135);
    }

    HRESULT Run() {
        ComPtr<IMediaControl> control;
        if (FAILED(graph->graph.As(&control)))
            return E_FAIL;
        return RunGraph(control.get());
    }

    HRESULT Trigger() {
        ComPtr<IAMVideoControl> videoControl;
        ComPtr<IPin> stillPin;
        if (FAILED(device.As(&videoControl)) ||
            FAILED(graph->builder->FindPin(device.get(), PINDIR_OUTPUT, &PIN_CATEGORY_STILL,
                                           nullptr, 0, 0, stillPin.put())))
            return E_FAIL;
        return videoControl->SetMode(stillPin.get(), VideoControlFlag_Trigger);
    }

    StillSink sink;
};

TEST_F(CaptureGraphTest, BuildNamesAndConnectsBothBranches) {
    Prepare();
    EXPECT_TRUE(graph->stillPinPresent);
    ASSERT_EQ(graph->Build(), S_OK);
    EXPECT_TRUE(graph->stillWanted);

    const std::vector<QString> names = FilterNames(graph->graph.get());
    EXPECT_TRUE(Contains(names, kDeviceSourceName));
    EXPECT_TRUE(Contains(names, kStillGrabberName));
    EXPECT_TRUE(Contains(names, kNullRendererName));

    ComPtr<IBaseFilter> named;
    ASSERT_EQ(graph->graph->FindFilterByName(kDeviceSourceName, named.put()), S_OK);
    EXPECT_EQ(named.get(), device.get());

    // Still pin -> SG_Still -> Null Render.
    ComPtr<IPin> stillPin = FindStillPin(device.get());
    ASSERT_TRUE(stillPin);
    ComPtr<IBaseFilter> grabber = PeerFilter(stillPin.get());
    EXPECT_EQ(FilterName(grabber.get()), kStillGrabberName);
    EXPECT_EQ(grabber.get(), graph->stillGrabber.get());
    EXPECT_EQ(FilterName(PeerFilter(OutputPin(grabber.get()).get()).get()), kNullRendererName);

    // Capture pin -> ... -> video renderer.
    ComPtr<IPin> capturePin;
    ASSERT_EQ(graph->builder->FindPin(device.get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr,
                                      0, 0, capturePin.put()),
              S_OK);
    ComPtr<IBaseFilter> next = PeerFilter(capturePin.get());
    for (int hop = 0; hop < 4 && next && !VideoRendererWindowOf(next.get()); ++hop)
        next = PeerFilter(OutputPin(next.get()).get());
    ASSERT_TRUE(next);
    EXPECT_NE(VideoRendererWindowOf(next.get()), nullptr);
}

TEST_F(CaptureGraphTest, WithoutStillPinOrHandlerOnlyThePreviewIsBuilt) {
    for (bool stillPin : {false, true}) {
        SCOPED_TRACE(stillPin);
        VirtualScannerConfig config;
        config.hasStillPin = stillPin;
        Prepare(config, /*withHandler=*/!stillPin);
        EXPECT_EQ(graph->stillPinPresent, stillPin);
        EXPECT_EQ(graph->Build(), S_OK);
        EXPECT_FALSE(graph->stillWanted);
        const std::vector<QString> names = FilterNames(graph->graph.get());
        EXPECT_TRUE(Contains(names, kDeviceSourceName));
        EXPECT_FALSE(Contains(names, kStillGrabberName));
        EXPECT_FALSE(Contains(names, kNullRendererName));
        EXPECT_FALSE(graph->stillGrabber);
        ComPtr<IVideoWindow> window;
        EXPECT_EQ(graph->graph.As(&window), S_OK);
        TearDown();
    }
}

TEST_F(CaptureGraphTest, MissingSampleGrabberCleansUpTheGraph) {
    Prepare();
    ScopedComClassOverride noGrabber(CLSID_SampleGrabber, {});
    EXPECT_EQ(graph->Build(), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(graph->graph);
    EXPECT_FALSE(graph->builder);
    EXPECT_FALSE(graph->stillGrabber);
    // The device left the dismantled graph: it can join a new one.
    EXPECT_EQ(graph->Build(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(graph->Stop(), E_FAIL);
}

TEST_F(CaptureGraphTest, EachTriggeredStillReachesTheHandlerOnce) {
    Prepare();
    ASSERT_EQ(graph->Build(), S_OK);
    ASSERT_EQ(Run(), S_OK);
    LONG stillWidth = 0;
    LONG stillHeight = 0;
    ASSERT_TRUE(scanner->CurrentStillSize(&stillWidth, &stillHeight));

    for (std::size_t n = 1; n <= 3; ++n) {
        ASSERT_EQ(Trigger(), S_OK);
        ASSERT_TRUE(sink.WaitFor(n, 5s));
        ASSERT_TRUE(scanner->WaitForStills(static_cast<int>(n), 5s));
    }
    EXPECT_EQ(graph->Stop(), S_OK);
    EXPECT_EQ(sink.Count(), 3u); // nothing more after the last trigger
    for (const QByteArray& still : sink.stills) {
        int width = 0;
        int height = 0;
        ASSERT_TRUE(ReadJpegSize(reinterpret_cast<const std::uint8_t*>(still.constData()),
                                 static_cast<std::size_t>(still.size()), &width, &height));
        EXPECT_EQ(width, stillWidth);
        EXPECT_EQ(height, stillHeight);
        EXPECT_FALSE(DecodeJpeg(reinterpret_cast<const std::uint8_t*>(still.constData()),
                                static_cast<std::size_t>(still.size()))
                         .isNull());
    }
}

TEST_F(CaptureGraphTest, StopAndRemoveDownstreamLeaveOnlyTheSource) {
    Prepare();
    ASSERT_EQ(graph->Build(), S_OK);
    ASSERT_EQ(Run(), S_OK);
    ASSERT_TRUE(scanner->WaitForFrames(1, 5s));
    EXPECT_EQ(graph->Stop(), S_OK);
    graph->RemoveDownstream(graph->sourceFilter.get());
    EXPECT_EQ(FilterNames(graph->graph.get()), std::vector<QString>{kDeviceSourceName});
    EXPECT_FALSE(PeerFilter(FindStillPin(device.get()).get()));

    graph->ReleaseSources();
    EXPECT_EQ(graph->deviceFilter, nullptr);
    EXPECT_FALSE(graph->sourceFilter);
    EXPECT_FALSE(graph->stillPinPresent);
    EXPECT_EQ(graph->sourceKind, kSourceNone);
    ComPtr<IAMStreamConfig> config;
    EXPECT_EQ(graph->CaptureStreamConfig(&config), E_FAIL);
    EXPECT_EQ(graph->StillStreamConfig(&config), E_FAIL);
}

TEST_F(CaptureGraphTest, DestroyWhileRunningStopsTheStreams) {
    Prepare();
    ASSERT_EQ(graph->Build(), S_OK);
    ASSERT_EQ(Run(), S_OK);
    ASSERT_TRUE(scanner->WaitForFrames(2, 5s));
    graph->Destroy();
    graph = nullptr;
    const int frames = scanner->FramesDelivered();
    // Nothing streams any more: a frame request finds no running pin.
    EXPECT_FALSE(scanner->RequestFrame());
    EXPECT_EQ(scanner->FramesDelivered(), frames);
    EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(CaptureGraphTest, BusyDeviceFailsTheRunWithItsLockCode) {
    for (HRESULT code : {HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION),
                         HRESULT_FROM_WIN32(ERROR_NO_SYSTEM_RESOURCES)}) {
        VirtualScannerConfig config;
        config.busy = true;
        config.busyCode = code;
        Prepare(config);
        ASSERT_EQ(graph->Build(), S_OK);
        const HRESULT result = Run();
        EXPECT_EQ(result, code);
        EXPECT_TRUE(IsDeviceLockedResult(result));
        TearDown();
    }
    EXPECT_FALSE(IsDeviceLockedResult(E_FAIL));
    EXPECT_FALSE(IsDeviceLockedResult(S_OK));
}

TEST_F(CaptureGraphTest, SlowStartIsWaitedFor) {
    VirtualScannerConfig config;
    config.startDelay = 250ms;
    Prepare(config);
    ASSERT_EQ(graph->Build(), S_OK);
    EXPECT_EQ(Run(), S_OK);
}

// A media control whose state stays pending for a number of queries.
class ScriptedControl : public ComObject<IMediaControl> {
public:
    HRESULT runAnswer = S_FALSE;
    int pendingQueries = 0; // answers VFW_S_STATE_INTERMEDIATE this often
    HRESULT finalAnswer = S_OK;
    int queries = 0;
    std::vector<LONG> timeouts;

    HRESULT Run() override { return runAnswer; }
    HRESULT Pause() override { return S_OK; }
    HRESULT Stop() override { return S_OK; }
    HRESULT GetState(LONG milliseconds, OAFilterState* state) override {
        ++queries;
        timeouts.push_back(milliseconds);
        *state = State_Running;
        return queries <= pendingQueries ? VFW_S_STATE_INTERMEDIATE : finalAnswer;
    }
};

TEST(RunGraphTest, QueriesThePendingStateAtMost101Times) {
    struct Case {
        const char* name;
        HRESULT run;
        int pending;
        HRESULT final;
        HRESULT expected;
        int queries;
    };
    const HRESULT sharing = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
    const Case cases[] = {
        {"runs at once", S_OK, 0, S_OK, S_OK, 0},
        {"fails at once", sharing, 0, S_OK, sharing, 0},
        {"settles after three", S_FALSE, 3, S_OK, S_OK, 4},
        {"never settles", S_FALSE, 1000, S_OK, VFW_S_STATE_INTERMEDIATE, 101},
        {"settles on the last query", S_FALSE, 100, S_OK, S_OK, 101},
        {"fails while starting", S_FALSE, 2, sharing, sharing, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComPtr<ScriptedControl> control = MakeCom<ScriptedControl>();
        control->runAnswer = c.run;
        control->pendingQueries = c.pending;
        control->finalAnswer = c.final;
        EXPECT_EQ(RunGraph(control.get()), c.expected);
        EXPECT_EQ(control->queries, c.queries);
        for (LONG timeout : control->timeouts)
            EXPECT_EQ(timeout, 100);
    }
}

TEST(PreviewPlacementTest, KeepsTheProportionsWithEqualMargins) {
    struct Case {
        const char* name;
        LONG W, H, w, h;
        PreviewPlacement expected;
    };
    const Case cases[] = {
        // 4:3 in 16:10: side margins only.
        {"4:3 in 16:10", 1600, 1000, 1280, 960, {133, 0, 1334, 1000}},
        {"square in wide", 800, 300, 1600, 1600, {250, 0, 300, 300}},
        {"wide in square", 300, 300, 1600, 900, {0, 66, 300, 168}},
        {"same proportions", 640, 480, 1280, 960, {0, 0, 640, 480}},
        {"top-down picture", 800, 300, 1600, -1600, {250, 0, 300, 300}},
        {"control without size", 0, 0, 1280, 960, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreviewPlacement placement;
        ASSERT_TRUE(ComputePreviewPlacement(c.W, c.H, c.w, c.h, &placement));
        EXPECT_EQ(placement.left, c.expected.left);
        EXPECT_EQ(placement.top, c.expected.top);
        EXPECT_EQ(placement.width, c.expected.width);
        EXPECT_EQ(placement.height, c.expected.height);
    }
    PreviewPlacement placement;
    EXPECT_FALSE(ComputePreviewPlacement(640, 480, 0, 480, &placement));
    EXPECT_FALSE(ComputePreviewPlacement(640, 480, 640, 0, &placement));
}

} // namespace
