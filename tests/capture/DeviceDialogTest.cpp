#include "FakeExtensionUnit.h"
#include "mainwindow/WindowTestFixture.h"

#include "capture/CaptureGraph.h"
#include "controls/CSkinLabel.h"
#include "mainwindow/CQuilletDlg.h"
#include "platform/devices/virtual/VirtualScanner.h"
#include "platform/imaging/Jpeg.h"
#include "platform/media/VideoRenderer.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The window with its device-facing operations and members in reach.
class CaptureDialog : public CQuilletDlg {
public:
    using CQuilletDlg::CloseDevice;
    using CQuilletDlg::CQuilletDlg;
    using CQuilletDlg::ShowPreview;
    using CQuilletDlg::StartCapture;
    using CQuilletDlg::StopCapture;
    using CQuilletDlg::TriggerStill;

    bool DeviceOpen() const { return static_cast<bool>(m_openDevice); }
    const QString& DevicePath() const { return m_devicePath; }
    CaptureGraph* Graph() const { return m_captureGraph; }
    int ScanCounter() const { return m_scanCounter.load(); }
    void SetScanCounter(int value) { m_scanCounter = value; }
    int ScanTimerId() const { return m_scanTimerId; }
    void StartScanTimer() { m_scanTimerId = startTimer(kScanTimeoutMs); }
    QSize StillSize() const {
        return m_stillFrameInfo ? QSize(m_stillFrameInfo->width, m_stillFrameInfo->height)
                                : QSize();
    }
    void SetFilmSize(int index) { m_filmSizeIndex = index; }
};

// Runs the UI thread's events until `done` holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::yieldCurrentThread();
    }
    return true;
}

VirtualScannerConfig ScannerAt(const QString& path) {
    VirtualScannerConfig config;
    config.devicePath = path;
    return config;
}

// A capture device without the scanner's extension unit.
VirtualScannerConfig WebcamConfig() {
    VirtualScannerConfig config = ScannerAt(QStringLiteral("virtual:vid_046d&pid_0825:webcam0"));
    config.hasExtensionUnit = false;
    return config;
}

const QString kScanner = QStringLiteral("virtual:vid_8888&pid_0001:scanner0");
const QString kSecondScanner = QStringLiteral("virtual:vid_8888&pid_0001:scanner1");

class DeviceDialogTest : public WindowTestBase<CaptureDialog> {
protected:
    void TearDown() override {
        dialog.reset();
        VirtualScanner::UnplugAll();
        QCoreApplication::processEvents();
        WindowTestBase::TearDown();
    }

    CaptureDialog& Show() {
        dialog = std::make_unique<CaptureDialog>();
        dialog->show();
        QCoreApplication::processEvents();
        return *dialog;
    }

    QWidget* LivePicture() const { return Item(IDC_LIVE_PICTURE); }

    QList<VideoRendererWindow*> Renderers() const {
        return LivePicture()->findChildren<VideoRendererWindow*>(Qt::FindDirectChildrenOnly);
    }
    VideoRendererWindow* Renderer() const {
        const auto renderers = Renderers();
        return renderers.size() == 1 ? renderers.front() : nullptr;
    }

    // Where the live picture of a w x h format belongs in control 1001 now.
    QRect ExpectedPlacement(int w, int h) const {
        PreviewPlacement p;
        ComputePreviewPlacement(LivePicture()->width(), LivePicture()->height(), w, h, &p);
        return QRect(p.left, p.top, p.width, p.height);
    }

    // The device-open state as the window shows it.
    void ExpectDeviceOpen(bool open) {
        EXPECT_EQ(dialog->DeviceOpen(), open);
        EXPECT_EQ(Item(IDC_NO_DEVICE_PICTURE)->isHidden(), open);
        EXPECT_EQ(Item(IDC_NO_DEVICE_LABEL)->isHidden(), open);
        EXPECT_EQ(Item(IDC_SCAN)->isEnabled(), open);
        EXPECT_EQ(Item(IDC_LIVE_PICTURE)->isEnabled(), open);
        EXPECT_TRUE(Item(IDC_BROWSE)->isEnabled()); // always left alone
    }

    CountingPause pause;
};

TEST_F(DeviceDialogTest, StartUpOpensTheScannerWithItsLivePictureLetterboxed) {
    auto scanner = VirtualScanner::Plug(ScannerAt(kScanner));
    CaptureDialog& dlg = Show();
    ExpectDeviceOpen(true);
    EXPECT_EQ(dlg.DevicePath(), kScanner);
    ASSERT_NE(dlg.Graph(), nullptr);
    EXPECT_EQ(dlg.StillSize(), QSize(2592, 1944));

    VideoRendererWindow* renderer = Renderer();
    ASSERT_NE(renderer, nullptr);
    EXPECT_TRUE(renderer->isVisible());
    EXPECT_EQ(renderer->geometry(), ExpectedPlacement(1280, 960));
    EXPECT_EQ(renderer->MessageDrain(), LivePicture());
    EXPECT_EQ(static_cast<CSkinLabel*>(LivePicture())->BackgroundColor(), COLORREF{0});
    // The live picture arrives and keeps arriving.
    EXPECT_TRUE(WaitUntil([&] { return renderer->FramesPainted() >= 3; }));
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(DeviceDialogTest, PlugAndUnplugSwitchBetweenTheTwoStates) {
    CaptureDialog& dlg = Show();
    ExpectDeviceOpen(false);
    EXPECT_EQ(dlg.Graph(), nullptr);
    EXPECT_TRUE(Renderers().empty());

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        auto scanner = VirtualScanner::Plug(ScannerAt(kScanner));
        ExpectDeviceOpen(true);
        ASSERT_NE(Renderer(), nullptr);
        EXPECT_TRUE(scanner->WaitForFrames(1, 5s));

        dlg.SetScanCounter(5);
        dlg.StartScanTimer();
        scanner->Unplug();
        ExpectDeviceOpen(false);
        EXPECT_EQ(dlg.ScanCounter(), 0);
        EXPECT_EQ(dlg.ScanTimerId(), 0);
        EXPECT_EQ(dlg.Graph(), nullptr);
        EXPECT_TRUE(WaitUntil([&] { return Renderers().empty(); }));
    }
}

TEST_F(DeviceDialogTest, OtherDevicesComingAndGoingLeaveTheOpenScannerAlone) {
    VirtualScanner::Plug(ScannerAt(kScanner));
    CaptureDialog& dlg = Show();
    CaptureGraph* graph = dlg.Graph();
    ASSERT_NE(graph, nullptr);

    auto second = VirtualScanner::Plug(ScannerAt(kSecondScanner));
    auto webcam = VirtualScanner::Plug(WebcamConfig());
    webcam->Unplug();
    second->Unplug();
    EXPECT_EQ(dlg.DevicePath(), kScanner);
    EXPECT_EQ(dlg.Graph(), graph);
    ExpectDeviceOpen(true);

    // A removal naming the open scanner in other letters closes it.
    Remove(kScanner.toUpper());
    ExpectDeviceOpen(false);
}

TEST_F(DeviceDialogTest, ArrivalOfAWebcamWhileNoDeviceChangesNothing) {
    CaptureDialog& dlg = Show();
    VirtualScanner::Plug(WebcamConfig());
    ExpectDeviceOpen(false);
    EXPECT_EQ(dlg.Graph(), nullptr);
}

TEST_F(DeviceDialogTest, LongDevicePathIsKeptWholeAndMatchedOnRemoval) {
    const QString path = QStringLiteral("virtual:vid_8888&pid_0001:") + QString(400, u'p');
    CaptureDialog& dlg = Show();
    auto scanner = VirtualScanner::Plug(ScannerAt(path));
    ExpectDeviceOpen(true);
    EXPECT_EQ(dlg.DevicePath(), path);
    scanner->Unplug();
    ExpectDeviceOpen(false);
}

TEST_F(DeviceDialogTest, StartingAgainReplacesTheGraphAndFollowsTheFilmSize) {
    auto scanner = VirtualScanner::Plug(ScannerAt(kScanner));
    CaptureDialog& dlg = Show();
    QPointer<VideoRendererWindow> old = Renderer();
    ASSERT_TRUE(old);

    dlg.SetFilmSize(1); // 126: square formats on both pins
    EXPECT_EQ(dlg.StartCapture(), S_OK);
    EXPECT_TRUE(WaitUntil([&] { return !old; })); // the old graph's window is gone
    VideoRendererWindow* renderer = Renderer();
    ASSERT_NE(renderer, nullptr);
    LONG w = 0, h = 0;
    ASSERT_TRUE(scanner->CurrentCaptureSize(&w, &h));
    EXPECT_EQ(QSize(w, h), QSize(1600, 1600));
    EXPECT_EQ(dlg.StillSize(), QSize(1600, 1600));
    // A square picture in the wide control: margins at the sides only.
    const QRect placed = renderer->geometry();
    EXPECT_EQ(placed, ExpectedPlacement(1600, 1600));
    EXPECT_EQ(placed.top(), 0);
    EXPECT_GT(placed.left(), 0);
    EXPECT_EQ(placed.width(), placed.height());
    EXPECT_TRUE(WaitUntil([&] { return renderer->FramesPainted() >= 1; }));
}

TEST_F(DeviceDialogTest, PreviewFollowsTheWindowSizeAndDetaches) {
    VirtualScanner::Plug(ScannerAt(kScanner));
    CaptureDialog& dlg = Show();
    VideoRendererWindow* renderer = Renderer();
    ASSERT_NE(renderer, nullptr);
    const QSize before = LivePicture()->size();
    dlg.resize(dlg.size() + QSize(300, 40));
    QCoreApplication::processEvents();
    ASSERT_NE(LivePicture()->size(), before);
    EXPECT_EQ(renderer->geometry(), ExpectedPlacement(1280, 960));

    EXPECT_EQ(dlg.ShowPreview(false), S_OK);
    EXPECT_FALSE(renderer->isVisible());
    EXPECT_TRUE(Renderers().empty());
    EXPECT_EQ(dlg.ShowPreview(true), S_OK);
    EXPECT_EQ(Renderer(), renderer);

    dlg.StopCapture();
    EXPECT_EQ(dlg.ShowPreview(true), E_FAIL);
}

TEST_F(DeviceDialogTest, LockedDeviceShowsOneMessagePerStartAndStaysOpen) {
    for (HRESULT code : {HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION),
                         HRESULT_FROM_WIN32(ERROR_NO_SYSTEM_RESOURCES)}) {
        SCOPED_TRACE(code);
        shell.messages.clear();
        VirtualScannerConfig config = ScannerAt(kScanner);
        config.busy = true;
        config.busyCode = code;
        VirtualScanner::Plug(config);
        CaptureDialog& dlg = Show();
        ASSERT_EQ(shell.messages.size(), 1u);
        EXPECT_EQ(shell.messages[0].first,
                  QStringLiteral("Device is locked by another application"));
        EXPECT_EQ(shell.messages[0].second, QStringLiteral("ERROR"));
        ExpectDeviceOpen(true);

        dlg.StartCapture();
        EXPECT_EQ(shell.messages.size(), 2u);
        ExpectDeviceOpen(true);
        TearDown();
        SetUp();
    }
}

TEST_F(DeviceDialogTest, EachTriggeredStillReachesTheWindowOnceAsAJpegOfTheStillSize) {
    auto scanner = VirtualScanner::Plug(ScannerAt(kScanner));
    CaptureDialog& dlg = Show();
    std::vector<QByteArray> stills;
    bool offThread = false;
    QObject::connect(&dlg, &CQuilletDlg::stillFrameReceived, [&](const QByteArray& bytes) {
        offThread = offThread || QThread::currentThread() != qApp->thread();
        stills.push_back(bytes);
    });

    for (std::size_t n = 1; n <= 3; ++n) {
        dlg.TriggerStill();
        ASSERT_TRUE(WaitUntil([&] { return stills.size() >= n; }));
    }
    ASSERT_TRUE(scanner->WaitForStills(3, 5s));
    QCoreApplication::processEvents();
    EXPECT_EQ(stills.size(), 3u);
    EXPECT_EQ(scanner->TriggersReceived(), 3);
    EXPECT_FALSE(offThread);
    for (const QByteArray& still : stills) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(still.constData());
        const QImage picture = DecodeJpeg(data, static_cast<std::size_t>(still.size()));
        EXPECT_EQ(picture.size(), QSize(2592, 1944));
        EXPECT_EQ(picture.size(), dlg.StillSize());
    }
}

TEST_F(DeviceDialogTest, ScannerWithoutStillPinGivesAPreviewOnly) {
    VirtualScannerConfig config = ScannerAt(kScanner);
    config.hasStillPin = false;
    auto scanner = VirtualScanner::Plug(config);
    CaptureDialog& dlg = Show();
    ExpectDeviceOpen(true);
    VideoRendererWindow* renderer = Renderer();
    ASSERT_NE(renderer, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return renderer->FramesPainted() >= 1; }));

    int received = 0;
    QObject::connect(&dlg, &CQuilletDlg::stillFrameReceived, [&] { ++received; });
    dlg.TriggerStill();
    QCoreApplication::processEvents();
    EXPECT_EQ(scanner->TriggersReceived(), 0);
    EXPECT_EQ(received, 0);
    // Without a still pin the still size cannot be read: a failure, yet the
    // window stays open with its live picture.
    EXPECT_TRUE(FAILED(dlg.StartCapture()));
    ExpectDeviceOpen(true);
    EXPECT_NE(Renderer(), nullptr);
}

TEST_F(DeviceDialogTest, UnplugWithStillsUnderWayEndsCleanly) {
    auto scanner = VirtualScanner::Plug(ScannerAt(kScanner));
    CaptureDialog& dlg = Show();
    int received = 0;
    QObject::connect(&dlg, &CQuilletDlg::stillFrameReceived, [&] { ++received; });
    for (int i = 0; i < 3; ++i)
        dlg.TriggerStill();
    scanner->Unplug();
    ExpectDeviceOpen(false);
    QCoreApplication::processEvents();
    EXPECT_LE(received, 3);
    dlg.TriggerStill(); // no graph: nothing happens
    EXPECT_EQ(dlg.Graph(), nullptr);
}

TEST_F(DeviceDialogTest, ClosingTheWindowWhileStreamingStopsTheGraph) {
    auto scanner = VirtualScanner::Plug(ScannerAt(kScanner));
    CaptureDialog& dlg = Show();
    ASSERT_TRUE(scanner->WaitForFrames(1, 5s));
    dlg.TriggerStill();
    dialog.reset(); // stills posted to a window that is gone are dropped
    QCoreApplication::processEvents();
    EXPECT_FALSE(scanner->RequestFrame());
}

} // namespace
