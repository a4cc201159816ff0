#include "FakeExtensionUnit.h"

#include "capture/DeviceDiscovery.h"
#include "platform/devices/virtual/VirtualScanner.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

VirtualScannerConfig Scanner(const QString& path) {
    VirtualScannerConfig config;
    config.devicePath = path;
    return config;
}

VirtualScannerConfig Webcam() {
    VirtualScannerConfig config;
    config.devicePath = QStringLiteral("virtual:vid_046d&pid_0825:webcam0");
    config.friendlyName = QStringLiteral("Webcam");
    config.hasExtensionUnit = false;
    return config;
}

const QString kFirst = QStringLiteral("virtual:vid_8888&pid_0001:scanner0");
const QString kSecond = QStringLiteral("virtual:vid_8888&pid_0001:scanner1");

class DeviceDiscoveryTest : public testing::Test {
protected:
    void TearDown() override { VirtualScanner::UnplugAll(); }
    CountingPause pause;
};

TEST_F(DeviceDiscoveryTest, PicksTheFirstMatchingScanner) {
    struct Case {
        const char* name;
        std::vector<VirtualScannerConfig> devices;
        QString wanted;
        int expected; // index into devices, -1: nothing found
    };
    VirtualScannerConfig wrongIdentity = Scanner(QStringLiteral("virtual:vid_1234&pid_0001:cam"));
    VirtualScannerConfig capitals = Scanner(QStringLiteral("virtual:VID_8888&PID_0001:SCANNER0"));
    VirtualScannerConfig noZeroByte = Scanner(kFirst);
    noZeroByte.identityAnswer = QByteArray("REALSILX", 8);
    VirtualScannerConfig shortAnswer = Scanner(kFirst);
    shortAnswer.unitControls[kIdentityAnswerControl].length = 4;
    VirtualScannerConfig fiveByteBitmap = Scanner(kFirst);
    fiveByteBitmap.controlBitmapBytes = 5;
    VirtualScannerConfig insufficientBuffer = Scanner(kFirst);
    insufficientBuffer.lengthQueryError = ERROR_INSUFFICIENT_BUFFER;
    VirtualScannerConfig foreignNode = Scanner(kFirst);
    foreignNode.foreignNodeFirst = true;
    VirtualScannerConfig longPath =
        Scanner(QStringLiteral("virtual:vid_8888&pid_0001:") + QString(400, QLatin1Char('x')));

    const Case cases[] = {
        {"webcam listed first", {Webcam(), Scanner(kFirst)}, {}, 1},
        {"webcam only", {Webcam()}, {}, -1},
        {"wrong USB identity", {wrongIdentity}, {}, -1},
        {"identifier in capitals", {capitals}, {}, 0},
        {"wanted path picks the second", {Scanner(kFirst), Scanner(kSecond)}, kSecond, 1},
        {"wanted path in other letter case", {Scanner(kFirst)}, kFirst.toUpper(), 0},
        {"wanted path not present", {Scanner(kFirst)}, kSecond, -1},
        {"first of two without a wanted path", {Scanner(kFirst), Scanner(kSecond)}, {}, 0},
        {"answer without the zero byte", {noZeroByte}, {}, -1},
        {"answer from a 4-byte control", {shortAnswer}, {}, -1},
        {"5-byte control bitmap", {fiveByteBitmap, Scanner(kSecond)}, {}, 1},
        {"length answered as insufficient buffer", {insufficientBuffer}, {}, 0},
        {"foreign dev-specific node first", {foreignNode}, {}, 0},
        {"path longer than 259 characters", {longPath}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const VirtualScannerConfig& config : c.devices)
            VirtualScanner::Plug(config);
        QString path;
        IBaseFilter* filter = nullptr;
        const bool found = FindScannerDevice(c.wanted, &path, &filter);
        EXPECT_EQ(found, c.expected >= 0);
        if (c.expected >= 0) {
            EXPECT_EQ(path, c.devices[static_cast<std::size_t>(c.expected)].devicePath);
            ASSERT_NE(filter, nullptr);
            filter->Release();
        }
        VirtualScanner::UnplugAll();
    }
}

TEST_F(DeviceDiscoveryTest, NeedsAFilterOut) {
    VirtualScanner::Plug(Scanner(kFirst));
    QString path;
    EXPECT_FALSE(FindScannerDevice({}, &path, nullptr));
    EXPECT_TRUE(path.isEmpty());
    // The path is optional.
    IBaseFilter* filter = nullptr;
    ASSERT_TRUE(FindScannerDevice({}, nullptr, &filter));
    filter->Release();
}

TEST_F(DeviceDiscoveryTest, NoDevicesFindsNothing) {
    IBaseFilter* filter = nullptr;
    EXPECT_FALSE(FindScannerDevice({}, nullptr, &filter));
    EXPECT_EQ(filter, nullptr);
}

TEST_F(DeviceDiscoveryTest, NotReadyControlIsAskedTenTimesAndLeftWithoutLength) {
    VirtualScannerConfig config = Scanner(kFirst);
    VirtualUnitControl busy;
    busy.notReadyAnswers = -1;
    config.unitControls[3] = busy;
    auto scanner = VirtualScanner::Plug(config);

    IBaseFilter* filter = nullptr;
    ASSERT_TRUE(FindScannerDevice({}, nullptr, &filter));
    ComPtr<IBaseFilter> held = ComPtr<IBaseFilter>::Attach(filter);

    int lengthQueries = 0;
    int lengthQueriesOfOthers = 0;
    for (const VirtualKsCall& call : scanner->KsCalls()) {
        if (call.flags != (KSPROPERTY_TYPE_GET | KSPROPERTY_TYPE_TOPOLOGY) || call.hasData)
            continue;
        if (call.id == 3)
            ++lengthQueries;
        else if (call.id != 0)
            ++lengthQueriesOfOthers;
    }
    EXPECT_EQ(lengthQueries, ExtensionUnitControl::kLengthQueryAttempts);
    EXPECT_EQ(pause.Count(), lengthQueries + lengthQueriesOfOthers);

    ExtensionUnitControl unit;
    ASSERT_EQ(unit.Open(held.get()), S_OK);
    EXPECT_EQ(unit.Entry(3)->length, 0u);
    EXPECT_EQ(unit.Entry(3)->support, 0u);
}

// A backend of two devices: one whose filter cannot be made, then one that
// stands for the plugged virtual scanner under a path of its own.
class ProxyBackend : public DeviceBackend {
public:
    ProxyBackend(ComPtr<IBaseFilter> scanner, bool failingFirst)
        : scanner_(std::move(scanner)), failingFirst_(failingFirst) {
        RegisterDeviceBackend(this);
    }
    ~ProxyBackend() override { UnregisterDeviceBackend(this); }
    void AppendVideoInputDevices(std::vector<ComPtr<IMoniker>>& devices) override {
        if (failingFirst_) {
            devices.push_back(MakeDeviceMoniker(QStringLiteral("virtual:vid_8888&pid_0001:gone"),
                                                QStringLiteral("Gone"), [](ComPtr<IBaseFilter>*) {
                                                    return HRESULT_FROM_WIN32(
                                                        ERROR_DEVICE_NOT_CONNECTED);
                                                }));
        }
        ComPtr<IBaseFilter> scanner = scanner_;
        devices.push_back(MakeDeviceMoniker(kProxyPath, QStringLiteral("Proxy"),
                                            [scanner](ComPtr<IBaseFilter>* out) {
                                                *out = scanner;
                                                return S_OK;
                                            }));
    }
    static inline const QString kProxyPath = QStringLiteral("virtual:vid_8888&pid_0001:proxy");

private:
    ComPtr<IBaseFilter> scanner_;
    bool failingFirst_;
};

TEST_F(DeviceDiscoveryTest, DeviceThatCannotBeMadeEndsTheSearch) {
    VirtualScanner::Plug(Scanner(kFirst));
    IBaseFilter* raw = nullptr;
    ASSERT_TRUE(FindScannerDevice({}, nullptr, &raw));
    ComPtr<IBaseFilter> scanner = ComPtr<IBaseFilter>::Attach(raw);

    for (bool failingFirst : {false, true}) {
        SCOPED_TRACE(failingFirst);
        ProxyBackend backend(scanner, failingFirst);
        QString path;
        IBaseFilter* filter = nullptr;
        const bool found = FindScannerDevice(ProxyBackend::kProxyPath, &path, &filter);
        EXPECT_EQ(found, !failingFirst);
        if (filter)
            filter->Release();
    }
}

TEST(AcceptedPathTest, IdentifierIsACaseInsensitiveSubstring) {
    EXPECT_TRUE(IsAcceptedDevicePath(QStringLiteral("\\\\?\\usb#VID_8888&PID_0001#6&1#{65e8}")));
    EXPECT_TRUE(IsAcceptedDevicePath(QStringLiteral("v4l2:vid_8888&pid_0001:/devices/x")));
    EXPECT_FALSE(IsAcceptedDevicePath(QStringLiteral("v4l2:vid_8888&pid_0002:/devices/x")));
    EXPECT_FALSE(IsAcceptedDevicePath(QStringLiteral("vid_8888_pid_0001")));
}

} // namespace
