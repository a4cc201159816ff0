#include "PlatformTestSupport.h"

#include "platform/DeviceNotifier.h"

#include <QTest>

#include <cstring>
#include <limits>
#include <thread>

namespace {

constexpr ULONG kGet = KSPROPERTY_TYPE_GET | KSPROPERTY_TYPE_TOPOLOGY;
constexpr ULONG kSet = KSPROPERTY_TYPE_SET | KSPROPERTY_TYPE_TOPOLOGY;
constexpr ULONG kSetSupport = KSPROPERTY_TYPE_SETSUPPORT | KSPROPERTY_TYPE_TOPOLOGY;
constexpr ULONG kBasicSupport = KSPROPERTY_TYPE_BASICSUPPORT | KSPROPERTY_TYPE_TOPOLOGY;

struct KsAnswer {
    HRESULT hr;
    ULONG returned;
};

KsAnswer Ks(IKsControl* ks, ULONG node, ULONG id, ULONG flags, void* data, ULONG length) {
    KSP_NODE request{};
    request.Property.Set = KSPROPSETID_ScannerExtensionUnit;
    request.Property.Id = id;
    request.Property.Flags = flags;
    request.NodeId = node;
    ULONG returned = 0;
    const HRESULT hr = ks->KsProperty(&request.Property, sizeof request, data, length, &returned);
    return {hr, returned};
}

// The node that answers the set-support probe, or -1.
int FindUnitNode(IBaseFilter* filter) {
    auto topology = ComPtr<IBaseFilter>(filter).As<IKsTopologyInfo>();
    auto ks = ComPtr<IBaseFilter>(filter).As<IKsControl>();
    DWORD count = 0;
    topology->get_NumNodes(&count);
    for (DWORD i = 0; i < count; ++i) {
        GUID type;
        topology->get_NodeType(i, &type);
        ULONG probe = 0;
        if (type == KSNODETYPE_DEV_SPECIFIC &&
            Ks(ks.get(), i, 0, kSetSupport, &probe, sizeof probe).hr == S_OK)
            return static_cast<int>(i);
    }
    return -1;
}

// Writes the identity command and reads the answer control into 64 bytes.
QByteArray IdentityQuery(IBaseFilter* filter) {
    auto ks = ComPtr<IBaseFilter>(filter).As<IKsControl>();
    const int node = FindUnitNode(filter);
    std::uint64_t command = 0x00000008000000D0ull;
    if (node < 0 || Ks(ks.get(), node, 10, kSet, &command, 8).hr != S_OK)
        return {};
    QByteArray answer(64, '\0');
    const KsAnswer read = Ks(ks.get(), node, 11, kGet, answer.data(), 64);
    if (read.hr != S_OK)
        return {};
    return answer.left(8);
}

class DeviceListTest : public VirtualScannerTest {};

TEST_F(DeviceListTest, EmptyCategoryAnswersSFalse) {
    auto devEnum = Create<ICreateDevEnum>(CLSID_SystemDeviceEnum);
    ComPtr<IEnumMoniker> monikers;
    EXPECT_EQ(devEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0),
              S_FALSE);
    EXPECT_FALSE(monikers);
}

TEST_F(DeviceListTest, ListsDevicesInPlugOrderWithPathsAndBroadcasts) {
    std::vector<std::pair<std::uint32_t, QString>> events;
    auto handle =
        SystemDeviceNotifier().Register([&](std::uint32_t event, const DeviceBroadcast* data) {
            events.emplace_back(event, data->name);
        });
    auto webcam = QuietConfig();
    webcam.devicePath = QStringLiteral("virtual:vid_046d&pid_0825:webcam0");
    webcam.hasExtensionUnit = false;
    auto first = VirtualScanner::Plug(webcam);
    auto second = VirtualScanner::Plug(QuietConfig());

    auto devices = Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(PathOf(devices[0].get()), webcam.devicePath);
    EXPECT_EQ(PathOf(devices[1].get()), "virtual:vid_8888&pid_0001:scanner0");
    ComPtr<IPropertyBag> bag;
    devices[1]->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void());
    VARIANT value;
    EXPECT_EQ(bag->Read(QStringLiteral("NoSuchName"), &value, nullptr),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));

    auto filter = Bind(devices[0].get());
    first->Unplug();
    first->Unplug(); // twice is harmless and broadcasts once
    ComPtr<IBaseFilter> late;
    EXPECT_EQ(devices[0]->BindToObject(nullptr, nullptr, IID_IBaseFilter, late.put_void()),
              HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
    // A filter held past the unplug answers, but no longer works.
    auto amp = filter.As<IAMVideoProcAmp>();
    LONG v = 0, f = 0;
    EXPECT_EQ(amp->Get(VideoProcAmp_Brightness, &v, &f),
              HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
    ASSERT_EQ(Devices().size(), 1u);
    EXPECT_EQ(PathOf(Devices()[0].get()), "virtual:vid_8888&pid_0001:scanner0");

    SystemDeviceNotifier().Unregister(handle);
    const std::vector<std::pair<std::uint32_t, QString>> expected = {
        {DBT_DEVICEARRIVAL, webcam.devicePath},
        {DBT_DEVICEARRIVAL, "virtual:vid_8888&pid_0001:scanner0"},
        {DBT_DEVICEREMOVECOMPLETE, webcam.devicePath}};
    EXPECT_EQ(events, expected);
}

TEST_F(DeviceListTest, UnplugFromAnotherThreadIsReportedOnTheUiThread) {
    scanner_ = VirtualScanner::Plug(QuietConfig());
    std::vector<std::thread::id> threads;
    auto handle = SystemDeviceNotifier().Register([&](std::uint32_t event, const DeviceBroadcast*) {
        if (event == DBT_DEVICEREMOVECOMPLETE)
            threads.push_back(std::this_thread::get_id());
    });
    std::thread([this] { scanner_->Unplug(); }).join();
    EXPECT_FALSE(scanner_->IsPlugged());
    EXPECT_TRUE(Devices().empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !threads.empty(); }, 5000));
    SystemDeviceNotifier().Unregister(handle);
    ASSERT_EQ(threads.size(), 1u);
    EXPECT_EQ(threads[0], std::this_thread::get_id());
}

TEST_F(DeviceListTest, UnplugWhileStreamingEndsTheStreamAndStopStillWorks) {
    auto filter = PlugAndBind();
    auto graph = Create<IGraphBuilder>(CLSID_FilterGraph);
    auto builder = Create<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2);
    builder->SetFiltergraph(graph.get());
    graph->AddFilter(filter.get(), QStringLiteral("Device Source"));
    ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, filter.get(), nullptr, nullptr),
              S_OK);
    auto control = graph.As<IMediaControl>();
    ASSERT_EQ(control->Run(), S_OK);
    scanner_->Unplug();
    EXPECT_FALSE(scanner_->RequestFrame());
    EXPECT_EQ(control->Stop(), S_OK);
    EXPECT_EQ(control->Run(), HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
}

// ---- Extension unit -------------------------------------------------------

class ExtensionUnitTest : public VirtualScannerTest {};

TEST_F(ExtensionUnitTest, TopologyProbeAndInfoBlock) {
    auto filter = PlugAndBind();
    auto ks = filter.As<IKsControl>();
    ASSERT_TRUE(ks);
    const int node = FindUnitNode(filter.get());
    ASSERT_GE(node, 0);
    ULONG probe = 0;
    EXPECT_EQ(Ks(ks.get(), 0, 0, kSetSupport, &probe, 4).hr,
              HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND));

    std::uint8_t block[64] = {};
    const KsAnswer info = Ks(ks.get(), node, 0, kGet, block, sizeof block);
    ASSERT_EQ(info.hr, S_OK);
    GUID set;
    std::memcpy(&set, block, sizeof set);
    EXPECT_EQ(set, KSPROPSETID_ScannerExtensionUnit);
    EXPECT_EQ(block[16], 2);     // controls 10 and 11
    const int p = block[17];     // input pins
    const int n = block[18 + p]; // bitmap size
    ASSERT_EQ(n, 2);
    const unsigned bitmap = block[19 + p] | (block[20 + p] << 8);
    EXPECT_EQ(bitmap, (1u << 9) | (1u << 10));
    EXPECT_EQ(info.returned, static_cast<ULONG>(19 + p + n));
}

TEST_F(ExtensionUnitTest, SupportFlagsAndLengthQuery) {
    auto filter = PlugAndBind();
    auto ks = filter.As<IKsControl>();
    const int node = FindUnitNode(filter.get());
    struct Case {
        ULONG id;
        ULONG support;
    };
    for (const Case& c :
         {Case{10, KSPROPERTY_TYPE_GET | KSPROPERTY_TYPE_SET}, Case{11, KSPROPERTY_TYPE_GET}}) {
        SCOPED_TRACE(c.id);
        ULONG flags = 0;
        EXPECT_EQ(Ks(ks.get(), node, c.id, kBasicSupport, &flags, 4).hr, S_OK);
        EXPECT_EQ(flags, c.support);
        const KsAnswer length = Ks(ks.get(), node, c.id, kGet, nullptr, 0);
        EXPECT_EQ(length.hr, HRESULT_FROM_WIN32(ERROR_MORE_DATA));
        EXPECT_EQ(length.returned, 8u);
    }
    ULONG flags = 0;
    EXPECT_EQ(Ks(ks.get(), node, 5, kBasicSupport, &flags, 4).hr,
              HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
    // Without the topology flag the set is not reachable.
    EXPECT_EQ(Ks(ks.get(), node, 10, KSPROPERTY_TYPE_GET, nullptr, 0).hr,
              HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND));
    // The answer control is read-only.
    std::uint64_t value = 1;
    EXPECT_TRUE(FAILED(Ks(ks.get(), node, 11, kSet, &value, 8).hr));
}

TEST_F(ExtensionUnitTest, IdentityQueryAndReset) {
    auto filter = PlugAndBind();
    EXPECT_EQ(IdentityQuery(filter.get()), QByteArray("REALSIL\0", 8));
    auto ks = filter.As<IKsControl>();
    const int node = FindUnitNode(filter.get());
    std::uint64_t reset = 0xFF;
    ASSERT_EQ(Ks(ks.get(), node, 10, kSet, &reset, 8).hr, S_OK);
    EXPECT_EQ(scanner_->UnitControlValue(10), QByteArray("\xFF\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(scanner_->UnitControlValue(11), QByteArray(8, '\0'));
    // The calls were logged in order, with their node.
    const auto calls = scanner_->KsCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().id, 10u);
    EXPECT_EQ(calls.back().flags, kSet);
    EXPECT_EQ(calls.back().nodeId, static_cast<ULONG>(node));
}

TEST_F(ExtensionUnitTest, Faults) {
    struct Case {
        const char* name;
        std::function<void(VirtualScannerConfig&)> configure;
        bool unitFound;
        QByteArray answer; // of the identity query, empty when it fails
    };
    const std::vector<Case> cases = {
        {"webcam without the unit", [](auto& c) { c.hasExtensionUnit = false; }, false, {}},
        {"foreign unit only",
         [](auto& c) {
             c.hasExtensionUnit = false;
             c.foreignNodeFirst = true;
         },
         false,
         {}},
        {"foreign unit first", [](auto& c) { c.foreignNodeFirst = true; }, true,
         QByteArray("REALSIL\0", 8)},
        {"answer without zero byte", [](auto& c) { c.identityAnswer = "REALSILX"; }, true,
         QByteArray("REALSILX")},
        {"4-byte answer control", [](auto& c) { c.unitControls[11].length = 4; }, true,
         QByteArray("REAL\0\0\0\0", 8)},
        {"no answer control", [](auto& c) { c.unitControls.erase(11); }, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto config = QuietConfig();
        c.configure(config);
        auto filter = PlugAndBind(config);
        EXPECT_EQ(FindUnitNode(filter.get()) >= 0, c.unitFound);
        EXPECT_EQ(IdentityQuery(filter.get()), c.answer);
        VirtualScanner::UnplugAll();
    }
}

TEST_F(ExtensionUnitTest, BitmapSizeAndLengthAnswerAreConfigurable) {
    auto config = QuietConfig();
    config.controlBitmapBytes = 5;
    config.lengthQueryError = ERROR_INSUFFICIENT_BUFFER;
    auto filter = PlugAndBind(config);
    auto ks = filter.As<IKsControl>();
    const int node = FindUnitNode(filter.get());
    std::uint8_t block[64] = {};
    ASSERT_EQ(Ks(ks.get(), node, 0, kGet, block, sizeof block).hr, S_OK);
    EXPECT_EQ(block[18 + block[17]], 5);
    const KsAnswer length = Ks(ks.get(), node, 10, kGet, nullptr, 0);
    EXPECT_EQ(length.hr, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(length.returned, 8u);
}

TEST_F(ExtensionUnitTest, NotReadyControlAnswersNotReadyAsConfigured) {
    auto config = QuietConfig();
    VirtualUnitControl slow;
    slow.length = 2;
    slow.notReadyAnswers = 3;
    VirtualUnitControl stuck;
    stuck.length = 1;
    stuck.notReadyAnswers = -1;
    config.unitControls[1] = slow;
    config.unitControls[2] = stuck;
    auto filter = PlugAndBind(config);
    auto ks = filter.As<IKsControl>();
    const int node = FindUnitNode(filter.get());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Ks(ks.get(), node, 1, kGet, nullptr, 0).hr, HRESULT_FROM_WIN32(ERROR_NOT_READY));
    const KsAnswer ready = Ks(ks.get(), node, 1, kGet, nullptr, 0);
    EXPECT_EQ(ready.hr, HRESULT_FROM_WIN32(ERROR_MORE_DATA));
    EXPECT_EQ(ready.returned, 2u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Ks(ks.get(), node, 2, kGet, nullptr, 0).hr, HRESULT_FROM_WIN32(ERROR_NOT_READY));
}

TEST_F(ExtensionUnitTest, MalformedRequestsAreRejected) {
    auto filter = PlugAndBind();
    auto ks = filter.As<IKsControl>();
    EXPECT_EQ(ks->KsProperty(nullptr, 32, nullptr, 0, nullptr), E_POINTER);
    KSPROPERTY shortBlock{KSPROPSETID_ScannerExtensionUnit, 0, kGet};
    EXPECT_EQ(ks->KsProperty(&shortBlock, sizeof shortBlock, nullptr, 0, nullptr), E_INVALIDARG);
    const int node = FindUnitNode(filter.get());
    std::uint8_t small = 0;
    EXPECT_EQ(Ks(ks.get(), node, 10, kSet, &small, 1).hr,
              HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER));
}

// ---- Stream configuration -----------------------------------------------------

class StreamConfigTest : public VirtualScannerTest {
protected:
    ComPtr<IAMStreamConfig> Config(IBaseFilter* filter, const GUID& category) {
        auto builder = Create<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2);
        ComPtr<IPin> pin;
        builder->FindPin(filter, PINDIR_OUTPUT, &category, nullptr, 0, 0, pin.put());
        return pin ? pin.As<IAMStreamConfig>() : nullptr;
    }
};

TEST_F(StreamConfigTest, CapabilitiesCarryVideoInfoAtTheRightOffsets) {
    auto config = QuietConfig();
    config.captureCaps.push_back({MEDIASUBTYPE_MJPG, 640, 480, FORMAT_VideoInfo, 40});
    config.captureCaps.push_back({MEDIASUBTYPE_MJPG, 800, 600, FORMAT_VideoInfo2, 112});
    auto filter = PlugAndBind(config);
    auto stream = Config(filter.get(), PIN_CATEGORY_CAPTURE);
    ASSERT_TRUE(stream);
    int count = 0, size = 0;
    ASSERT_EQ(stream->GetNumberOfCapabilities(&count, &size), S_OK);
    ASSERT_EQ(count, 6);
    EXPECT_EQ(size, static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)));

    struct Expect {
        LONG width, height;
        GUID format;
        ULONG block;
    };
    const Expect expected[] = {
        {1280, 960, FORMAT_VideoInfo, 88},  {1500, 1125, FORMAT_VideoInfo, 88},
        {2592, 1944, FORMAT_VideoInfo, 88}, {1600, 1600, FORMAT_VideoInfo, 88},
        {640, 480, FORMAT_VideoInfo, 40},   {800, 600, FORMAT_VideoInfo2, 112}};
    std::vector<BYTE> scratch(static_cast<std::size_t>(size));
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        AM_MEDIA_TYPE* raw = nullptr;
        ASSERT_EQ(stream->GetStreamCaps(i, &raw, scratch.data()), S_OK);
        MediaTypePtr type(raw);
        EXPECT_EQ(type->majortype, MEDIATYPE_Video);
        EXPECT_EQ(type->subtype, MEDIASUBTYPE_MJPG);
        EXPECT_EQ(type->formattype, expected[i].format);
        EXPECT_EQ(type->cbFormat, expected[i].block);
        if (type->cbFormat >= 60) {
            std::int32_t w = 0, h = 0;
            std::memcpy(&w, type->pbFormat + 52, 4);
            std::memcpy(&h, type->pbFormat + 56, 4);
            EXPECT_EQ(w, expected[i].width);
            EXPECT_EQ(h, expected[i].height);
        }
        EXPECT_EQ(GetVideoInfoSize(*type, nullptr, nullptr),
                  expected[i].format == FORMAT_VideoInfo && expected[i].block >= 88);
    }
    AM_MEDIA_TYPE* past = nullptr;
    EXPECT_EQ(stream->GetStreamCaps(count, &past, scratch.data()), S_FALSE);
    EXPECT_EQ(past, nullptr);
}

TEST_F(StreamConfigTest, BitRateOfAHugeFormatStaysInRange) {
    auto config = QuietConfig();
    config.captureCaps = {{MEDIASUBTYPE_MJPG, 8000, 6000, FORMAT_VideoInfo, 88},
                          {MEDIASUBTYPE_MJPG, 1280, 960, FORMAT_VideoInfo, 88}};
    auto filter = PlugAndBind(config);
    auto stream = Config(filter.get(), PIN_CATEGORY_CAPTURE);
    ASSERT_TRUE(stream);
    const LONG expected[] = {std::numeric_limits<LONG>::max(), 12 * 15 * 1280 * 960};
    for (int i = 0; i < 2; ++i) {
        VIDEO_STREAM_CONFIG_CAPS caps{};
        AM_MEDIA_TYPE* raw = nullptr;
        ASSERT_EQ(stream->GetStreamCaps(i, &raw, reinterpret_cast<BYTE*>(&caps)), S_OK);
        MediaTypePtr owned(raw);
        EXPECT_EQ(caps.MaxBitsPerSecond, expected[i]);
        EXPECT_EQ(caps.MinBitsPerSecond, expected[i]);
    }
}

TEST_F(StreamConfigTest, SetFormatTakesOfferedTypesOnly) {
    auto filter = PlugAndBind();
    for (const GUID* category : {&PIN_CATEGORY_CAPTURE, &PIN_CATEGORY_STILL}) {
        auto stream = Config(filter.get(), *category);
        ASSERT_TRUE(stream);
        AM_MEDIA_TYPE* raw = nullptr;
        ASSERT_EQ(stream->GetStreamCaps(3, &raw, nullptr), S_OK);
        MediaTypePtr square(raw);
        ASSERT_EQ(stream->SetFormat(square.get()), S_OK);
        AM_MEDIA_TYPE* current = nullptr;
        ASSERT_EQ(stream->GetFormat(&current), S_OK);
        MediaTypePtr owned(current);
        LONG w = 0, h = 0;
        ASSERT_TRUE(GetVideoInfoSize(*current, &w, &h));
        EXPECT_EQ(QSize(w, h), QSize(1600, 1600));

        MediaType odd = MediaType::Video(MEDIASUBTYPE_MJPG, 1024, 768);
        AM_MEDIA_TYPE copy = odd.get();
        EXPECT_EQ(stream->SetFormat(&copy), VFW_E_INVALIDMEDIATYPE);
        EXPECT_EQ(stream->SetFormat(nullptr), E_POINTER);
    }
    LONG w = 0, h = 0;
    ASSERT_TRUE(scanner_->CurrentStillSize(&w, &h));
    EXPECT_EQ(QSize(w, h), QSize(1600, 1600));
}

TEST_F(StreamConfigTest, FailingSetFormatLeavesTheFormat) {
    auto config = QuietConfig();
    config.setFormatFails = true;
    auto filter = PlugAndBind(config);
    auto stream = Config(filter.get(), PIN_CATEGORY_CAPTURE);
    AM_MEDIA_TYPE* raw = nullptr;
    stream->GetStreamCaps(2, &raw, nullptr);
    MediaTypePtr type(raw);
    EXPECT_EQ(stream->SetFormat(type.get()), E_FAIL);
    LONG w = 0, h = 0;
    scanner_->CurrentCaptureSize(&w, &h);
    EXPECT_EQ(QSize(w, h), QSize(1280, 960));
}

TEST_F(StreamConfigTest, PinCategoriesAndMissingStillPin) {
    for (bool still : {true, false}) {
        SCOPED_TRACE(still);
        auto config = QuietConfig();
        config.hasStillPin = still;
        auto filter = PlugAndBind(config);
        std::vector<GUID> categories;
        ComPtr<IEnumPins> pins;
        filter->EnumPins(pins.put());
        IPin* pin = nullptr;
        while (pins->Next(1, &pin, nullptr) == S_OK) {
            auto properties = ComPtr<IPin>::Attach(pin).As<IKsPropertySet>();
            GUID category = GUID_NULL;
            DWORD returned = 0;
            EXPECT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0,
                                      &category, sizeof category, &returned),
                      S_OK);
            EXPECT_EQ(returned, sizeof(GUID));
            categories.push_back(category);
        }
        std::vector<GUID> expected = {PIN_CATEGORY_CAPTURE};
        if (still)
            expected.push_back(PIN_CATEGORY_STILL);
        EXPECT_EQ(categories, expected);
        EXPECT_EQ(Config(filter.get(), PIN_CATEGORY_STILL) != nullptr, still);
        EXPECT_TRUE(filter.As<IAMVideoControl>());
        VirtualScanner::UnplugAll();
    }
}

// ---- Picture properties -----------------------------------------------------

class PropertyTest : public VirtualScannerTest {};

TEST_F(PropertyTest, InterfacesTheConfigurationLeavesOut) {
    auto config = QuietConfig();
    config.hasVideoControl = false;
    auto filter = PlugAndBind(config);
    EXPECT_FALSE(filter.As<IAMVideoControl>());
    EXPECT_TRUE(filter.As<IAMVideoProcAmp>());
    // The camera-control face leads back to the filter's other interfaces.
    EXPECT_TRUE(filter.As<IAMCameraControl>().As<IKsControl>());
}

TEST_F(PropertyTest, RangesAndNotFound) {
    auto config = QuietConfig();
    config.procAmp.erase(VideoProcAmp_Contrast);
    auto filter = PlugAndBind(config);
    auto amp = filter.As<IAMVideoProcAmp>();
    auto camera = filter.As<IAMCameraControl>();
    ASSERT_TRUE(amp && camera);
    LONG min, max, step, def, caps;
    ASSERT_EQ(amp->GetRange(VideoProcAmp_Brightness, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_LE(min, -25); // the presets send -25, 2 and 15
    EXPECT_GE(max, 15);
    ASSERT_EQ(amp->GetRange(VideoProcAmp_Gamma, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_LE(min, 300);
    EXPECT_GE(max, 400);
    for (LONG id : {CameraControl_Pan, CameraControl_Tilt, CameraControl_Zoom}) {
        ASSERT_EQ(camera->GetRange(id, &min, &max, &step, &def, &caps), S_OK);
        EXPECT_LE(min, 100);
        EXPECT_GE(max, 145);
    }
    ASSERT_EQ(camera->GetRange(CameraControl_Roll, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_EQ(QPair(min, max), QPair(0, 1));

    const HRESULT notFound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    EXPECT_EQ(notFound, static_cast<HRESULT>(0x80070490u));
    LONG value, flags;
    EXPECT_EQ(amp->GetRange(VideoProcAmp_Contrast, &min, &max, &step, &def, &caps), notFound);
    EXPECT_EQ(amp->Get(VideoProcAmp_Contrast, &value, &flags), notFound);
    EXPECT_EQ(amp->Set(VideoProcAmp_Contrast, 50, 0), notFound);
    EXPECT_EQ(camera->Get(CameraControl_Iris, &value, &flags), notFound);
    // The two interfaces reach different tables: index 0 is Brightness on one
    // and Pan on the other.
    ASSERT_EQ(amp->Set(VideoProcAmp_Brightness, -25, 0), S_OK);
    ASSERT_EQ(camera->Get(CameraControl_Pan, &value, &flags), S_OK);
    EXPECT_EQ(value, 128);
}

TEST_F(PropertyTest, SetValidatesAndIsRecorded) {
    auto filter = PlugAndBind();
    auto amp = filter.As<IAMVideoProcAmp>();
    struct Case {
        LONG property, value, flags;
        HRESULT expected;
    };
    const Case cases[] = {
        {VideoProcAmp_Brightness, 15, 0, S_OK},
        {VideoProcAmp_Brightness, 65, 0, E_INVALIDARG},                       // above the range
        {VideoProcAmp_Saturation, 63, VideoProcAmp_Flags_Auto, E_INVALIDARG}, // no auto mode
        {VideoProcAmp_WhiteBalance, 5000, VideoProcAmp_Flags_Auto, S_OK},
        {VideoProcAmp_Gamma, 400, 0, S_OK},
        {VideoProcAmp_Gamma, 400, 8, E_INVALIDARG}, // unknown flag bit
    };
    for (const Case& c : cases)
        EXPECT_EQ(amp->Set(c.property, c.value, c.flags), c.expected)
            << c.property << " " << c.value;
    EXPECT_EQ(scanner_->PropertyValue(0, VideoProcAmp_Brightness), 15);
    EXPECT_EQ(scanner_->PropertyValue(0, VideoProcAmp_Gamma), 400);
    const auto writes = scanner_->PropertyWrites();
    ASSERT_EQ(writes.size(), std::size(cases));
    EXPECT_EQ(writes[1].result, E_INVALIDARG);
    LONG value = 0, flags = 0;
    ASSERT_EQ(amp->Get(VideoProcAmp_WhiteBalance, &value, &flags), S_OK);
    EXPECT_EQ(QPair(value, flags), QPair(5000, 1));
}

double MeanLuma(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    return sum / (image.width() * image.height());
}

double MeanChroma(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum +=
                std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
        }
    return sum / (image.width() * image.height());
}

TEST_F(PropertyTest, PropertiesChangeThePicture) {
    auto filter = PlugAndBind();
    auto amp = filter.As<IAMVideoProcAmp>();
    auto camera = filter.As<IAMCameraControl>();
    const QImage base = scanner_->RenderPicture(160, 120);
    ASSERT_EQ(base.size(), QSize(160, 120));

    amp->Set(VideoProcAmp_Brightness, 40, 0);
    EXPECT_GT(MeanLuma(scanner_->RenderPicture(160, 120)), MeanLuma(base) + 10);
    amp->Set(VideoProcAmp_Brightness, 0, 0);

    amp->Set(VideoProcAmp_Saturation, 0, 0);
    EXPECT_LT(MeanChroma(scanner_->RenderPicture(160, 120)), 3.0);
    amp->Set(VideoProcAmp_Saturation, 50, 0);
    EXPECT_EQ(scanner_->RenderPicture(160, 120), base);

    camera->Set(CameraControl_Pan, 255, 0); // red gain
    const QImage red = scanner_->RenderPicture(160, 120);
    EXPECT_GT(qRed(red.pixel(80, 60)), qRed(base.pixel(80, 60)));
    camera->Set(CameraControl_Pan, 128, 0);

    // Slide: the device no longer inverts the negative film.
    camera->Set(CameraControl_Roll, 0, 0);
    const QImage raw = scanner_->RenderPicture(160, 120);
    // The white patch of the scene's grey scale is black on the film.
    EXPECT_GT(qGray(base.pixel(80, 102)), 200);
    EXPECT_LT(qGray(raw.pixel(80, 102)), 60);
}

} // namespace
