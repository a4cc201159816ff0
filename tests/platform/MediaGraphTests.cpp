#include "PlatformTestSupport.h"

#include "platform/imaging/Jpeg.h"
#include "platform/media/VideoRenderer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

// A graph with the scanner as "Device Source", plus its builder.
class GraphTest : public VirtualScannerTest {
protected:
    void Build(VirtualScannerConfig config = QuietConfig()) {
        device_ = PlugAndBind(std::move(config));
        ASSERT_TRUE(device_);
        builder_ = Create<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2);
        graph_ = Create<IGraphBuilder>(CLSID_FilterGraph);
        ASSERT_EQ(builder_->SetFiltergraph(graph_.get()), S_OK);
        ASSERT_EQ(graph_->AddFilter(device_.get(), QStringLiteral("Device Source")), S_OK);
        control_ = graph_.As<IMediaControl>();
        ASSERT_TRUE(control_);
    }

    ComPtr<IPin> Pin(const GUID& category, BOOL unconnected = 1) {
        ComPtr<IPin> pin;
        builder_->FindPin(device_.get(), PINDIR_OUTPUT, &category, nullptr, unconnected, 0,
                          pin.put());
        return pin;
    }

    HRESULT RenderPreview() {
        ComPtr<IPin> capture = Pin(PIN_CATEGORY_CAPTURE);
        if (!capture)
            return E_FAIL;
        return builder_->RenderStream(nullptr, nullptr, capture.get(), nullptr, nullptr);
    }

    HRESULT RenderStill(ISampleGrabberCB* callback, LONG mode) {
        grabberFilter_ = Create<IBaseFilter>(CLSID_SampleGrabber);
        auto nullRenderer = Create<IBaseFilter>(CLSID_NullRenderer);
        auto grabber = grabberFilter_.As<ISampleGrabber>();
        EXPECT_TRUE(grabber);
        EXPECT_EQ(grabber->SetCallback(callback, mode), S_OK);
        EXPECT_EQ(graph_->AddFilter(nullRenderer.get(), QStringLiteral("Null Render")), S_OK);
        EXPECT_EQ(graph_->AddFilter(grabberFilter_.get(), QStringLiteral("SG_Still")), S_OK);
        return builder_->RenderStream(&PIN_CATEGORY_STILL, &MEDIATYPE_Video, device_.get(),
                                      grabberFilter_.get(), nullRenderer.get());
    }

    HRESULT Trigger() {
        auto video = device_.As<IAMVideoControl>();
        ComPtr<IPin> still = Pin(PIN_CATEGORY_STILL, 0);
        if (!video || !still)
            return E_FAIL;
        return video->SetMode(still.get(), VideoControlFlag_Trigger);
    }

    void TearDown() override {
        if (control_)
            control_->Stop();
        control_.Reset();
        grabberFilter_.Reset();
        builder_.Reset();
        graph_.Reset();
        device_.Reset();
        VirtualScannerTest::TearDown();
    }

    ComPtr<IBaseFilter> device_;
    ComPtr<ICaptureGraphBuilder2> builder_;
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IBaseFilter> grabberFilter_;
};

// Records what the grabber hands over, and on which thread.
class RecordingCallback : public ComObject<ISampleGrabberCB> {
public:
    HRESULT SampleCB(double, IMediaSample* sample) override {
        std::lock_guard lock(mutex);
        ++sampleCalls;
        sampleLengths.push_back(sample->GetActualDataLength());
        threads.push_back(std::this_thread::get_id());
        return S_OK;
    }
    HRESULT BufferCB(double, BYTE* bytes, LONG length) override {
        std::lock_guard lock(mutex);
        ++bufferCalls;
        buffers.emplace_back(reinterpret_cast<const char*>(bytes), length);
        threads.push_back(std::this_thread::get_id());
        return S_OK;
    }
    std::mutex mutex;
    int sampleCalls = 0;
    int bufferCalls = 0;
    std::vector<LONG> sampleLengths;
    std::vector<QByteArray> buffers;
    std::vector<std::thread::id> threads;
};

// Waits for a state other than intermediate, 100 ms at a time.
HRESULT SettledState(IMediaControl* control, int attempts = 100) {
    OAFilterState state = State_Stopped;
    HRESULT hr = VFW_S_STATE_INTERMEDIATE;
    for (int i = 0; i < attempts && hr == VFW_S_STATE_INTERMEDIATE; ++i)
        hr = control->GetState(100, &state);
    return hr;
}

TEST_F(GraphTest, FilterNamesAreKeptAndDuplicatesNumbered) {
    Build();
    auto a = Create<IBaseFilter>(CLSID_NullRenderer);
    auto b = Create<IBaseFilter>(CLSID_NullRenderer);
    EXPECT_EQ(graph_->AddFilter(a.get(), QStringLiteral("Null Render")), S_OK);
    EXPECT_EQ(graph_->AddFilter(b.get(), QStringLiteral("Null Render")), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(graph_->AddFilter(a.get(), QStringLiteral("again")), E_INVALIDARG);
    EXPECT_EQ(FilterNames(graph_.get()),
              (std::vector<QString>{"Device Source", "Null Render", "Null Render 0001"}));

    ComPtr<IBaseFilter> found;
    EXPECT_EQ(graph_->FindFilterByName(QStringLiteral("Null Render 0001"), found.put()), S_OK);
    EXPECT_EQ(found.get(), b.get());
    FILTER_INFO info;
    a->QueryFilterInfo(&info);
    EXPECT_EQ(info.pGraph.get(), static_cast<IFilterGraph*>(graph_.get()));
}

TEST_F(GraphTest, RemovingWhileEnumeratingEmptiesTheGraph) {
    Build();
    ASSERT_EQ(RenderPreview(), S_OK);
    ComPtr<IEnumFilters> filters;
    ASSERT_EQ(graph_->EnumFilters(filters.put()), S_OK);
    IBaseFilter* filter = nullptr;
    int removed = 0;
    while (filters->Next(1, &filter, nullptr) == S_OK) {
        EXPECT_EQ(graph_->RemoveFilter(filter), S_OK);
        filter->Release();
        ++removed;
    }
    EXPECT_EQ(removed, 3);
    EXPECT_TRUE(FilterNames(graph_.get()).empty());
    // Removing disconnected the device's pins and left the filter usable.
    EXPECT_TRUE(Pin(PIN_CATEGORY_CAPTURE));
    FILTER_INFO info;
    device_->QueryFilterInfo(&info);
    EXPECT_FALSE(info.pGraph);
    EXPECT_EQ(graph_->RemoveFilter(device_.get()), VFW_E_NOT_FOUND);
}

TEST_F(GraphTest, PreviewOfMjpegGetsDecoderAndRenderer) {
    Build();
    ASSERT_EQ(RenderPreview(), S_OK);
    auto names = FilterNames(graph_.get());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<QString>{"Device Source", "MJPEG Decompressor", "Video Renderer"}));
    // The capture pin is connected now; a second unconnected one does not exist.
    EXPECT_FALSE(Pin(PIN_CATEGORY_CAPTURE));
    ComPtr<IPin> capture = Pin(PIN_CATEGORY_CAPTURE, 0);
    ComPtr<IPin> peer;
    ASSERT_EQ(capture->ConnectedTo(peer.put()), S_OK);
    PIN_INFO info;
    peer->QueryPinInfo(&info);
    EXPECT_EQ(NameOf(info.pFilter.get()), "MJPEG Decompressor");
    EXPECT_TRUE(graph_.As<IVideoWindow>());
}

TEST_F(GraphTest, PreviewOfUncompressedFormatGoesStraightToRenderer) {
    auto config = QuietConfig();
    config.captureCaps = {{MEDIASUBTYPE_RGB32, 320, 240, FORMAT_VideoInfo, 88}};
    Build(config);
    ASSERT_EQ(RenderPreview(), S_OK);
    EXPECT_EQ(FilterNames(graph_.get()), (std::vector<QString>{"Device Source", "Video Renderer"}));
    // Bottom-up RGB32 rows arrive upright and unchanged.
    ComPtr<IBaseFilter> renderer;
    graph_->FindFilterByName(QStringLiteral("Video Renderer"), renderer.put());
    VideoRendererWindow* widget = VideoRendererWindowOf(renderer.get());
    ASSERT_NE(widget, nullptr);
    widget->resize(320, 240);
    widget->show();
    QSignalSpy painted(widget, &VideoRendererWindow::framePainted);
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(scanner_->RequestFrame());
    ASSERT_TRUE(painted.wait(10000));
    EXPECT_EQ(widget->CurrentFrame(), scanner_->RenderPicture(320, 240));
    control_->Stop();
}

TEST_F(GraphTest, LivePictureMovesFromFrameToFrame) {
    Build();
    ASSERT_EQ(RenderPreview(), S_OK);
    ComPtr<IBaseFilter> renderer;
    graph_->FindFilterByName(QStringLiteral("Video Renderer"), renderer.put());
    VideoRendererWindow* widget = VideoRendererWindowOf(renderer.get());
    ASSERT_NE(widget, nullptr);
    widget->resize(640, 480);
    widget->show();
    QSignalSpy painted(widget, &VideoRendererWindow::framePainted);
    ASSERT_EQ(control_->Run(), S_OK);
    std::vector<QImage> frames;
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(scanner_->RequestFrame());
        ASSERT_TRUE(painted.wait(10000));
        frames.push_back(widget->CurrentFrame());
    }
    control_->Stop();
    // The strip drifts slowly: over a few frames the picture must change.
    EXPECT_NE(frames.front(), frames.back());
}

TEST_F(GraphTest, NoVideoWindowWithoutRenderer) {
    Build();
    EXPECT_FALSE(graph_.As<IVideoWindow>());
}

TEST_F(GraphTest, StillBranchRunsThroughGrabberToNullRenderer) {
    Build();
    auto callback = MakeCom<RecordingCallback>();
    ASSERT_EQ(RenderStill(callback.get(), 1), S_OK);
    ComPtr<IPin> still = Pin(PIN_CATEGORY_STILL, 0);
    ComPtr<IPin> peer;
    ASSERT_EQ(still->ConnectedTo(peer.put()), S_OK);
    PIN_INFO info;
    peer->QueryPinInfo(&info);
    EXPECT_EQ(NameOf(info.pFilter.get()), "SG_Still");
    // Unconnected-only search no longer finds it; connected-or-not does.
    EXPECT_FALSE(Pin(PIN_CATEGORY_STILL, 1));
    EXPECT_EQ(FilterNames(graph_.get()),
              (std::vector<QString>{"Device Source", "Null Render", "SG_Still"}));
}

TEST_F(GraphTest, StillBranchFailsWithoutStillPin) {
    auto config = QuietConfig();
    config.hasStillPin = false;
    Build(config);
    auto callback = MakeCom<RecordingCallback>();
    EXPECT_TRUE(FAILED(RenderStill(callback.get(), 1)));
    EXPECT_TRUE(FAILED(Trigger()));
}

TEST_F(GraphTest, BufferModeDeliversOneCompleteJpegPerTriggerOnStreamingThread) {
    auto config = QuietConfig();
    config.stillFormatIndex = 2; // 2592 x 1944
    Build(config);
    auto callback = MakeCom<RecordingCallback>();
    ASSERT_EQ(RenderStill(callback.get(), 1), S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(Trigger(), S_OK);
    ASSERT_TRUE(scanner_->WaitForStills(3, 10s));
    ASSERT_EQ(control_->Stop(), S_OK); // joins: every callback has returned
    std::lock_guard lock(callback->mutex);
    EXPECT_EQ(callback->bufferCalls, 3);
    EXPECT_EQ(callback->sampleCalls, 0);
    for (std::size_t i = 0; i < callback->buffers.size(); ++i) {
        const QByteArray& bytes = callback->buffers[i];
        int w = 0, h = 0;
        ASSERT_TRUE(ReadJpegSize(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size()), &w, &h));
        EXPECT_EQ(w, 2592);
        EXPECT_EQ(h, 1944);
        EXPECT_TRUE(bytes.endsWith("\xFF\xD9")); // a complete file
        EXPECT_NE(callback->threads[i], std::this_thread::get_id());
    }
}

TEST_F(GraphTest, SampleModeCallsSampleCallbackOnly) {
    Build();
    auto callback = MakeCom<RecordingCallback>();
    ASSERT_EQ(RenderStill(callback.get(), 0), S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_EQ(Trigger(), S_OK);
    ASSERT_TRUE(scanner_->WaitForStills(1, 10s));
    control_->Stop();
    std::lock_guard lock(callback->mutex);
    EXPECT_EQ(callback->sampleCalls, 1);
    EXPECT_EQ(callback->bufferCalls, 0);
    ASSERT_EQ(callback->sampleLengths.size(), 1u);
    EXPECT_GT(callback->sampleLengths[0], 1000);
}

TEST_F(GraphTest, GrabberBuffersOnlyWhileAskedTo) {
    Build();
    auto callback = MakeCom<RecordingCallback>();
    ASSERT_EQ(RenderStill(callback.get(), 1), S_OK);
    auto grabber = grabberFilter_.As<ISampleGrabber>();
    LONG size = 0;
    EXPECT_EQ(grabber->GetCurrentBuffer(&size, nullptr), VFW_E_WRONG_STATE);
    ASSERT_EQ(grabber->SetBufferSamples(1), S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_EQ(Trigger(), S_OK);
    ASSERT_TRUE(scanner_->WaitForStills(1, 10s));
    control_->Stop();

    ASSERT_EQ(grabber->GetCurrentBuffer(&size, nullptr), S_OK);
    QByteArray copy(size, '\0');
    LONG small = size - 1;
    EXPECT_EQ(grabber->GetCurrentBuffer(&small, reinterpret_cast<LONG*>(copy.data())),
              E_OUTOFMEMORY);
    ASSERT_EQ(grabber->GetCurrentBuffer(&size, reinterpret_cast<LONG*>(copy.data())), S_OK);
    {
        std::lock_guard lock(callback->mutex);
        ASSERT_EQ(callback->buffers.size(), 1u);
        EXPECT_EQ(copy, callback->buffers[0]);
    }
    // Turning buffering off drops the sample; on again, nothing is held yet.
    ASSERT_EQ(grabber->SetBufferSamples(0), S_OK);
    EXPECT_EQ(grabber->GetCurrentBuffer(&size, nullptr), VFW_E_WRONG_STATE);
    ASSERT_EQ(grabber->SetBufferSamples(1), S_OK);
    EXPECT_EQ(grabber->GetCurrentBuffer(&size, nullptr), VFW_E_WRONG_STATE);
}

TEST_F(GraphTest, TriggerOutsideRunIsReportedAndSendsNothing) {
    Build();
    auto callback = MakeCom<RecordingCallback>();
    ASSERT_EQ(RenderStill(callback.get(), 1), S_OK);
    EXPECT_EQ(Trigger(), VFW_E_NOT_RUNNING);
    EXPECT_EQ(scanner_->StillsDelivered(), 0);
}

TEST_F(GraphTest, RunStopAndState) {
    Build();
    ASSERT_EQ(RenderPreview(), S_OK);
    OAFilterState state = -1;
    EXPECT_EQ(control_->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
    ASSERT_EQ(control_->Run(), S_OK);
    EXPECT_EQ(control_->GetState(100, &state), S_OK);
    EXPECT_EQ(state, State_Running);
    // The graph cannot be rearranged while it runs.
    ComPtr<IPin> capture = Pin(PIN_CATEGORY_CAPTURE, 0);
    EXPECT_EQ(graph_->Disconnect(capture.get()), VFW_E_NOT_STOPPED);
    EXPECT_EQ(graph_->RemoveFilter(device_.get()), VFW_E_NOT_STOPPED);
    ASSERT_TRUE(scanner_->RequestFrame());
    ASSERT_TRUE(scanner_->WaitForFrames(1, 10s));
    EXPECT_EQ(control_->Stop(), S_OK);
    EXPECT_EQ(control_->GetState(100, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
    EXPECT_FALSE(scanner_->RequestFrame()); // nothing streams any more
    EXPECT_EQ(graph_->Disconnect(capture.get()), S_OK);
}

TEST_F(GraphTest, RunAnswersSFalseWhileTheSourceStarts) {
    auto config = QuietConfig();
    config.startDelay = 300ms;
    Build(config);
    ASSERT_EQ(RenderPreview(), S_OK);
    EXPECT_EQ(control_->Run(), S_FALSE);
    OAFilterState state = -1;
    EXPECT_EQ(control_->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(SettledState(control_.get()), S_OK);
    control_->GetState(0, &state);
    EXPECT_EQ(state, State_Running);
}

TEST_F(GraphTest, BusyDeviceAnswersTheLockCode) {
    struct Case {
        std::chrono::milliseconds delay;
        HRESULT code;
    };
    const HRESULT sharing = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
    const HRESULT resources = HRESULT_FROM_WIN32(ERROR_NO_SYSTEM_RESOURCES);
    for (const Case& c : {Case{0ms, sharing}, Case{0ms, resources}, Case{200ms, sharing}}) {
        SCOPED_TRACE(c.delay.count());
        auto config = QuietConfig();
        config.busy = true;
        config.busyCode = c.code;
        config.startDelay = c.delay;
        Build(config);
        ASSERT_EQ(RenderPreview(), S_OK);
        const HRESULT run = control_->Run();
        if (c.delay.count() == 0) {
            EXPECT_EQ(run, c.code);
            OAFilterState state = -1;
            control_->GetState(0, &state);
            EXPECT_EQ(state, State_Stopped);
        } else {
            EXPECT_EQ(run, S_FALSE);
            EXPECT_EQ(SettledState(control_.get()), c.code);
        }
        TearDown();
    }
}

TEST_F(GraphTest, SecondFilterOfARunningDeviceGetsSharingViolation) {
    Build();
    ASSERT_EQ(RenderPreview(), S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    auto other = Bind(Devices().front().get());
    auto graph = Create<IGraphBuilder>(CLSID_FilterGraph);
    auto builder = Create<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2);
    builder->SetFiltergraph(graph.get());
    graph->AddFilter(other.get(), QStringLiteral("Device Source"));
    ComPtr<IPin> capture;
    builder->FindPin(other.get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr, 1, 0,
                     capture.put());
    ASSERT_EQ(builder->RenderStream(nullptr, nullptr, capture.get(), nullptr, nullptr), S_OK);
    EXPECT_EQ(graph.As<IMediaControl>()->Run(), HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    // Once the first one stops, the second may run.
    control_->Stop();
    EXPECT_EQ(graph.As<IMediaControl>()->Run(), S_OK);
    graph.As<IMediaControl>()->Stop();
}

TEST_F(GraphTest, RendererWindowIsPlacedInOwnerAndPaintsFrames) {
    Build();
    ASSERT_EQ(RenderPreview(), S_OK);
    QWidget owner;
    owner.resize(640, 480);
    owner.show();
    auto window = graph_.As<IVideoWindow>();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->put_Owner(&owner), S_OK);
    EXPECT_EQ(window->put_MessageDrain(&owner), S_OK);
    EXPECT_EQ(window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS), S_OK);
    EXPECT_EQ(window->SetWindowPosition(0, 30, 320, 240), S_OK);
    ComPtr<IBaseFilter> rendererFilter;
    ASSERT_EQ(graph_->FindFilterByName(QStringLiteral("Video Renderer"), rendererFilter.put()),
              S_OK);
    VideoRendererWindow* widget = VideoRendererWindowOf(rendererFilter.get());
    ASSERT_NE(widget, nullptr);
    // Known to the decoder before the window is shown.
    EXPECT_EQ(widget->TargetSize(), QSize(320, 240));
    EXPECT_EQ(window->put_Visible(OATRUE), S_OK);

    EXPECT_EQ(widget->parentWidget(), &owner);
    EXPECT_EQ(widget->geometry(), QRect(0, 30, 320, 240));
    EXPECT_TRUE(widget->isVisible());
    LONG l, t, w, h;
    window->GetWindowPosition(&l, &t, &w, &h);
    EXPECT_EQ(QRect(l, t, w, h), QRect(0, 30, 320, 240));

    QSignalSpy painted(widget, &VideoRendererWindow::framePainted);
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(scanner_->RequestFrame());
    ASSERT_TRUE(painted.wait(10000));
    // 1280 x 960 decoded at 1/4: just covers the 320 x 240 window.
    EXPECT_EQ(widget->CurrentFrame().size(), QSize(320, 240));
    const QImage shown = widget->grab().toImage();
    EXPECT_NE(shown.pixel(160, 120), QColor(Qt::black).rgb());

    // Hiding and letting go of the owner.
    EXPECT_EQ(window->put_Visible(OAFALSE), S_OK);
    EXPECT_EQ(window->put_MessageDrain(nullptr), S_OK);
    EXPECT_EQ(window->put_Owner(nullptr), S_OK);
    EXPECT_FALSE(widget->isVisible());
    EXPECT_EQ(widget->parentWidget(), nullptr);
    control_->Stop();
}

TEST_F(GraphTest, OwnerDestroyedTakesTheWindowAlongSafely) {
    Build();
    ASSERT_EQ(RenderPreview(), S_OK);
    auto window = graph_.As<IVideoWindow>();
    auto* owner = new QWidget;
    ASSERT_EQ(window->put_Owner(owner), S_OK);
    window->SetWindowPosition(0, 0, 160, 120);
    delete owner;
    EXPECT_EQ(window->put_Visible(OATRUE), E_UNEXPECTED);
    OAHWND current = reinterpret_cast<OAHWND>(1);
    EXPECT_EQ(window->get_Owner(&current), S_OK);
    EXPECT_EQ(current, nullptr);
    // Frames still flow and are dropped at the renderer.
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(scanner_->RequestFrame());
    EXPECT_TRUE(scanner_->WaitForFrames(1, 10s));
    control_->Stop();
}

TEST_F(GraphTest, InputGoesToTheMessageDrainWhileItLives) {
    struct Drain : QWidget {
        void mousePressEvent(QMouseEvent* event) override { presses.push_back(event->position()); }
        std::vector<QPointF> presses;
    };
    auto renderer = Create<IBaseFilter>(CLSID_VideoRenderer);
    auto window = renderer.As<IVideoWindow>();
    QWidget owner;
    owner.resize(200, 200);
    ASSERT_EQ(window->put_Owner(&owner), S_OK);
    ASSERT_EQ(window->SetWindowPosition(20, 30, 100, 80), S_OK);
    ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
    owner.show();
    VideoRendererWindow* widget = VideoRendererWindowOf(renderer.get());

    auto* drain = new Drain;
    drain->setParent(&owner);
    drain->setGeometry(0, 0, 200, 200);
    drain->lower();
    ASSERT_EQ(window->put_MessageDrain(drain), S_OK);
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(5, 6));
    ASSERT_EQ(drain->presses.size(), 1u);
    EXPECT_EQ(drain->presses[0], QPointF(25, 36)); // in the drain's own coordinates

    delete drain;
    OAHWND current = reinterpret_cast<OAHWND>(1);
    EXPECT_EQ(window->get_MessageDrain(&current), S_OK);
    EXPECT_EQ(current, nullptr);
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(5, 6)); // handled by the window itself
}

TEST_F(GraphTest, BurstOfFramesCoalescesIntoFewPaints) {
    auto renderer = Create<IBaseFilter>(CLSID_VideoRenderer);
    VideoRendererWindow* widget = VideoRendererWindowOf(renderer.get());
    ASSERT_NE(widget, nullptr);
    widget->resize(64, 48);
    widget->show();
    QImage frame(64, 48, QImage::Format_RGB32);
    std::thread streaming([&] {
        for (int i = 0; i < 50; ++i) {
            frame.fill(qRgb(i, 0, 0));
            widget->PresentFrame(frame.copy());
        }
    });
    streaming.join();
    QSignalSpy painted(widget, &VideoRendererWindow::framePainted);
    ASSERT_TRUE(painted.wait(5000));
    EXPECT_EQ(widget->FramesPresented(), 50);
    EXPECT_LT(widget->FramesPainted(), 50);
    EXPECT_EQ(widget->CurrentFrame().pixel(0, 0), qRgb(49, 0, 0)); // the newest one
}

TEST_F(GraphTest, CallbackIsReleasedWhenReplaced) {
    struct Counted : ComObject<ISampleGrabberCB> {
        HRESULT SampleCB(double, IMediaSample*) override { return S_OK; }
        HRESULT BufferCB(double, BYTE*, LONG) override { return S_OK; }
    };
    auto callback = MakeCom<Counted>();
    auto grabber = Create<ISampleGrabber>(CLSID_SampleGrabber);
    EXPECT_EQ(grabber->SetCallback(callback.get(), 1), S_OK);
    EXPECT_EQ(callback->AddRef(), 3u); // ours, the grabber's, this one
    callback->Release();
    EXPECT_EQ(grabber->SetCallback(nullptr, 1), S_OK);
    EXPECT_EQ(callback->AddRef(), 2u);
    callback->Release();
    EXPECT_EQ(grabber->SetCallback(callback.get(), 2), E_INVALIDARG);
}

TEST_F(GraphTest, BuilderWithoutGraphMakesItsOwn) {
    auto builder = Create<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2);
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(builder->GetFiltergraph(graph.put()), S_OK);
    EXPECT_TRUE(graph);
    EXPECT_EQ(builder->SetFiltergraph(graph.get()), E_UNEXPECTED);
}

} // namespace
