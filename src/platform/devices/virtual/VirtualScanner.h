#pragma once

#include "platform/devices/DeviceModel.h"
#include "platform/media/MediaTypes.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

// An in-process film scanner that the device list shows like a plugged-in
// one. It draws a film frame with a scene, applies its picture properties to
// it, streams MJPEG on its capture pin and answers every trigger with one
// complete JPEG file of the still format on its still pin. Tests configure
// every fault through VirtualScannerConfig.

// The vendor extension unit's property set.
inline constexpr GUID KSPROPSETID_ScannerExtensionUnit = {
    0x1229A78C, 0x47B4, 0x4094, {0xB0, 0xCE, 0xDB, 0x07, 0x38, 0x6F, 0xB9, 0x38}};

struct VirtualCapability {
    GUID subtype = MEDIASUBTYPE_MJPG; // MJPG or RGB32 stream (others are listed, never sent)
    LONG width = 0;
    LONG height = 0;
    GUID formatType = FORMAT_VideoInfo; // FORMAT_VideoInfo2 makes an odd one
    ULONG formatSize = 88;              // < 88: a short block
};

struct VirtualProperty {
    LONG min = 0;
    LONG max = 0;
    LONG step = 1;
    LONG defaultValue = 0;
    LONG capsFlags = 2; // manual
};

// One extension-unit control.
struct VirtualUnitControl {
    ULONG length = 1;                                          // bytes
    ULONG support = KSPROPERTY_TYPE_GET | KSPROPERTY_TYPE_SET; // 0: basic support fails
    QByteArray value;                                          // initial bytes (zero-filled)
    int notReadyAnswers = 0; // length queries answered ERROR_NOT_READY first (-1: always)
};

struct VirtualScannerConfig {
    QString devicePath = QStringLiteral("virtual:vid_8888&pid_0001:scanner0");
    QString friendlyName = QStringLiteral("Virtual Film Scanner");

    // Extension unit. Without it the device looks like a plain webcam.
    bool hasExtensionUnit = true;
    // A dev-specific node of some other vendor set placed before the unit.
    bool foreignNodeFirst = false;
    // Controls by id (1..32); the command (10) and answer (11) controls
    // make the identity query work.
    std::map<ULONG, VirtualUnitControl> unitControls = DefaultUnitControls();
    // Size of the control bitmap in the info block (1..4 usable; 0 or 5
    // make the unit unusable). -1: as small as the controls need.
    int controlBitmapBytes = -1;
    // The length query's answer code: ERROR_MORE_DATA or
    // ERROR_INSUFFICIENT_BUFFER.
    std::uint32_t lengthQueryError = 234; // ERROR_MORE_DATA
    // What the answer control holds after the identity command (its first
    // `length` bytes are read).
    QByteArray identityAnswer = QByteArray("REALSIL\0", 8);

    // Pins and formats.
    bool hasStillPin = true;
    std::vector<VirtualCapability> captureCaps = DefaultCaps();
    std::vector<VirtualCapability> stillCaps = DefaultCaps();
    int captureFormatIndex = 0; // current format at start
    int stillFormatIndex = 0;
    bool setFormatFails = false; // SetFormat answers E_FAIL

    // Picture properties by index; a missing entry answers ERROR_NOT_FOUND.
    std::map<LONG, VirtualProperty> procAmp = DefaultProcAmp();
    std::map<LONG, VirtualProperty> cameraControl = DefaultCameraControl();
    bool hasVideoControl = true;

    // Running.
    bool busy = false; // Run fails: another application holds the device
    HRESULT busyCode = static_cast<HRESULT>(0x80070020u); // sharing violation
    std::chrono::milliseconds startDelay{0};              // Run answers S_FALSE this long
    // Live frames: automatic at this interval, or only on RequestFrame when 0.
    std::chrono::milliseconds frameInterval{66};

    static std::map<ULONG, VirtualUnitControl> DefaultUnitControls();
    static std::vector<VirtualCapability> DefaultCaps();
    static std::map<LONG, VirtualProperty> DefaultProcAmp();
    static std::map<LONG, VirtualProperty> DefaultCameraControl();
};

// One extension-unit property call as the device saw it.
struct VirtualKsCall {
    ULONG id = 0;
    ULONG flags = 0;
    ULONG nodeId = 0;
    ULONG dataLength = 0;
    bool hasData = false;
    HRESULT result = S_OK;
    ULONG bytesReturned = 0;
};

// One Set on a picture property.
struct VirtualPropertyWrite {
    int interfaceIndex = 0; // 0 proc amp, 1 camera control
    LONG property = 0;
    LONG value = 0;
    LONG flags = 0;
    HRESULT result = S_OK;
};

class VirtualScannerDevice;

// A handle to one plugged scanner. The handle does not own the plug: the
// scanner stays in the device list until Unplug or UnplugAll. Arrival and
// removal are broadcast through SystemDeviceNotifier() on the UI thread (at
// once when called there, queued otherwise).
class VirtualScanner {
public:
    // Plugs in a new scanner (listed after those already plugged) and
    // broadcasts its arrival.
    static std::shared_ptr<VirtualScanner> Plug(VirtualScannerConfig config = {});
    // The one call for `quillet --virtual-scanner`: a default scanner that
    // stays plugged for the rest of the run.
    static std::shared_ptr<VirtualScanner> PlugDefault();
    // Unplugs every virtual scanner (tests' tear-down).
    static void UnplugAll();

    ~VirtualScanner();

    // Removes it from the device list, ends its streams and broadcasts the
    // removal. Filters still held answer ERROR_DEVICE_NOT_CONNECTED from
    // then on. Safe at any moment and more than once.
    void Unplug();
    bool IsPlugged() const;

    QString DevicePath() const;

    // Changing faults while plugged.
    void SetBusy(bool busy);
    void SetIdentityAnswer(const QByteArray& answer);

    // Live frames when frameInterval is 0: asks the capture pin's streaming
    // thread for one frame. Returns false when nothing streams.
    bool RequestFrame();
    // Waits (bounded) until that many frames / stills in all went out.
    bool WaitForFrames(int count, std::chrono::milliseconds timeout) const;
    bool WaitForStills(int count, std::chrono::milliseconds timeout) const;
    int FramesDelivered() const;
    int StillsDelivered() const;
    int TriggersReceived() const;

    // Observation.
    std::vector<VirtualKsCall> KsCalls() const;
    void ClearKsCalls();
    std::vector<VirtualPropertyWrite> PropertyWrites() const;
    void ClearPropertyWrites();
    LONG PropertyValue(int interfaceIndex, LONG property) const;
    QByteArray UnitControlValue(ULONG id) const;
    // The current formats of the two pins (kept by the device, shared by
    // every filter bound to it).
    bool CurrentCaptureSize(LONG* width, LONG* height) const;
    bool CurrentStillSize(LONG* width, LONG* height) const;

    // The picture the device would send now at that size, properties applied.
    QImage RenderPicture(int width, int height) const;

    std::shared_ptr<VirtualScannerDevice> Device() const { return device_; }

private:
    explicit VirtualScanner(std::shared_ptr<VirtualScannerDevice> device);
    std::shared_ptr<VirtualScannerDevice> device_;
};
