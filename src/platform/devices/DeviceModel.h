#pragma once

#include "platform/com.h"
#include "platform/media/MediaGraph.h"

#include <QString>

#include <functional>
#include <vector>

// The device model: the video-input device list (monikers with a property
// bag holding "DevicePath" that bind to a capture filter), kernel-streaming
// style property access with topology nodes, stream configuration per pin,
// proc-amp / camera-control properties and the video control trigger.
// Backends (the virtual scanner, later V4L2) register themselves; the system
// device enumerator lists the devices of every registered backend.

inline constexpr CLSID CLSID_SystemDeviceEnum = {
    0x62BE5D10, 0x60EB, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr CLSID CLSID_VideoInputDeviceCategory = {
    0x860BB310, 0x5D01, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr GUID KSCATEGORY_CAPTURE = {
    0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

// Topology node types.
inline constexpr GUID KSNODETYPE_DEV_SPECIFIC = {
    0x941C7AC0, 0xC559, 0x11D0, {0x8A, 0x2B, 0x00, 0xA0, 0xC9, 0x25, 0x5A, 0xC1}};
inline constexpr GUID KSNODETYPE_VIDEO_CAMERA_TERMINAL = {
    0xDFF229E1, 0xF70F, 0x11D0, {0xB9, 0x17, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
inline constexpr GUID KSNODETYPE_VIDEO_PROCESSING = {
    0xDFF229E5, 0xF70F, 0x11D0, {0xB9, 0x17, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
inline constexpr GUID KSNODETYPE_VIDEO_STREAMING = {
    0xDFF229E4, 0xF70F, 0x11D0, {0xB9, 0x17, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

inline constexpr IID IID_ICreateDevEnum = {
    0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 1}};
inline constexpr IID IID_IEnumMoniker = {
    0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 2}};
inline constexpr IID IID_IMoniker = {0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 3}};
inline constexpr IID IID_IPropertyBag = {
    0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 4}};
inline constexpr IID IID_IKsControl = {0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 5}};
inline constexpr IID IID_IKsTopologyInfo = {
    0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 6}};
inline constexpr IID IID_IAMStreamConfig = {
    0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 7}};
inline constexpr IID IID_IAMVideoProcAmp = {
    0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 8}};
inline constexpr IID IID_IAMCameraControl = {
    0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 9}};
inline constexpr IID IID_IAMVideoControl = {
    0x51A90002, 0x7C1E, 0x4B5A, {0x9E, 0x02, 0, 0, 0, 0, 0, 10}};

// ---- Device list -----------------------------------------------------------

struct IMoniker;

struct IEnumMoniker : IUnknown {
    static constexpr const GUID& Iid = IID_IEnumMoniker;
    // S_OK when all `count` were fetched, S_FALSE at the end.
    virtual HRESULT Next(ULONG count, IMoniker** monikers, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
};

struct ICreateDevEnum : IUnknown {
    static constexpr const GUID& Iid = IID_ICreateDevEnum;
    // S_OK with an enumerator of the category's devices in plug order;
    // S_FALSE and a null enumerator when the category is empty.
    virtual HRESULT CreateClassEnumerator(REFCLSID category, IEnumMoniker** devices,
                                          DWORD flags) = 0;
};

struct IMoniker : IUnknown {
    static constexpr const GUID& Iid = IID_IMoniker;
    // IID_IBaseFilter: a new capture filter of the device. Fails with
    // HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED) once it is unplugged.
    virtual HRESULT BindToObject(IUnknown* bindContext, IMoniker* left, REFIID iid,
                                 void** object) = 0;
    // IID_IPropertyBag: the device's property bag.
    virtual HRESULT BindToStorage(IUnknown* bindContext, IMoniker* left, REFIID iid,
                                  void** object) = 0;
};

struct IPropertyBag : IUnknown {
    static constexpr const GUID& Iid = IID_IPropertyBag;
    // "DevicePath", "FriendlyName": VT_BSTR. Unknown names:
    // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) (E_INVALIDARG for a null value).
    virtual HRESULT Read(const QString& name, VARIANT* value, IUnknown* errorLog) = 0;
};

// One kind of device source. The system device enumerator asks every
// registered backend, in registration order, for its video-input devices.
class DeviceBackend {
public:
    virtual ~DeviceBackend() = default;
    virtual void AppendVideoInputDevices(std::vector<ComPtr<IMoniker>>& devices) = 0;
};

void RegisterDeviceBackend(DeviceBackend* backend);
void UnregisterDeviceBackend(DeviceBackend* backend);

// A moniker for a backend's device: a property bag of the two names and a
// binder that makes the capture filter.
ComPtr<IMoniker> MakeDeviceMoniker(const QString& devicePath, const QString& friendlyName,
                                   std::function<HRESULT(ComPtr<IBaseFilter>*)> bindFilter);

// ---- Kernel-streaming properties and topology ------------------------------

struct KSPROPERTY {
    GUID Set;
    ULONG Id;
    ULONG Flags;
};
static_assert(sizeof(KSPROPERTY) == 24);

struct KSP_NODE {
    KSPROPERTY Property;
    ULONG NodeId;
    ULONG Reserved;
};
static_assert(sizeof(KSP_NODE) == 32);

constexpr ULONG KSPROPERTY_TYPE_GET = 0x00000001;
constexpr ULONG KSPROPERTY_TYPE_SET = 0x00000002;
constexpr ULONG KSPROPERTY_TYPE_SETSUPPORT = 0x00000100;
constexpr ULONG KSPROPERTY_TYPE_BASICSUPPORT = 0x00000200;
constexpr ULONG KSPROPERTY_TYPE_TOPOLOGY = 0x10000000;

// Property calls of the extension unit, addressed to a topology node with a
// KSP_NODE block (KSPROPERTY_TYPE_TOPOLOGY set; property length >= 32):
// - SETSUPPORT, id 0, 4 data bytes: S_OK on the node that carries the set.
// - GET, id 0: the unit's info block (bytes returned = its length).
// - BASICSUPPORT, id n, 4 data bytes: the control's support flags
//   (KSPROPERTY_TYPE_GET | KSPROPERTY_TYPE_SET bits) as a ULONG.
// - GET, id n, no data buffer (or one shorter than the control):
//   HRESULT_FROM_WIN32(ERROR_MORE_DATA) with bytes returned = the control's
//   length (a device may answer ERROR_INSUFFICIENT_BUFFER or, while busy,
//   ERROR_NOT_READY instead).
// - GET / SET, id n, with a buffer of at least the control's length: the
//   control's bytes (bytes returned = its length).
// Unknown set or node: HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND); unknown
// control id: HRESULT_FROM_WIN32(ERROR_NOT_FOUND); a bad block:
// E_INVALIDARG / E_POINTER.
struct IKsControl : IUnknown {
    static constexpr const GUID& Iid = IID_IKsControl;
    virtual HRESULT KsProperty(KSPROPERTY* property, ULONG propertyLength, void* data,
                               ULONG dataLength, ULONG* bytesReturned) = 0;
    virtual HRESULT KsMethod(KSPROPERTY* method, ULONG methodLength, void* data, ULONG dataLength,
                             ULONG* bytesReturned) = 0;
    virtual HRESULT KsEvent(KSPROPERTY* event, ULONG eventLength, void* data, ULONG dataLength,
                            ULONG* bytesReturned) = 0;
};

struct IKsTopologyInfo : IUnknown {
    static constexpr const GUID& Iid = IID_IKsTopologyInfo;
    virtual HRESULT get_NumNodes(DWORD* count) = 0;
    // E_INVALIDARG past the last node.
    virtual HRESULT get_NodeType(DWORD index, GUID* type) = 0;
    virtual HRESULT get_NodeName(DWORD index, QString* name) = 0;
};

// ---- Stream configuration (asked of an output pin) -------------------------

struct SIZE {
    LONG cx;
    LONG cy;
};

struct VIDEO_STREAM_CONFIG_CAPS {
    GUID guid; // format type
    ULONG VideoStandard;
    SIZE InputSize;
    SIZE MinCroppingSize;
    SIZE MaxCroppingSize;
    int CropGranularityX;
    int CropGranularityY;
    int CropAlignX;
    int CropAlignY;
    SIZE MinOutputSize;
    SIZE MaxOutputSize;
    int OutputGranularityX;
    int OutputGranularityY;
    int StretchTapsX;
    int StretchTapsY;
    int ShrinkTapsX;
    int ShrinkTapsY;
    LONGLONG MinFrameInterval;
    LONGLONG MaxFrameInterval;
    LONG MinBitsPerSecond;
    LONG MaxBitsPerSecond;
};

struct IAMStreamConfig : IUnknown {
    static constexpr const GUID& Iid = IID_IAMStreamConfig;
    // Must match one of the capabilities (major type, subtype, format type
    // and, for video info blocks, width and height): VFW_E_INVALIDMEDIATYPE
    // otherwise; VFW_E_NOT_STOPPED while streaming.
    virtual HRESULT SetFormat(AM_MEDIA_TYPE* type) = 0;
    // A new media type (release with DeleteMediaType).
    virtual HRESULT GetFormat(AM_MEDIA_TYPE** type) = 0;
    // The number of capabilities and sizeof(VIDEO_STREAM_CONFIG_CAPS).
    virtual HRESULT GetNumberOfCapabilities(int* count, int* size) = 0;
    // Capability `index` as a new media type; `caps` (may be null) receives
    // a VIDEO_STREAM_CONFIG_CAPS. S_FALSE past the end.
    virtual HRESULT GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) = 0;
};

// ---- Picture properties (asked of the capture filter) ----------------------

enum VideoProcAmpProperty {
    VideoProcAmp_Brightness = 0,
    VideoProcAmp_Contrast = 1,
    VideoProcAmp_Hue = 2,
    VideoProcAmp_Saturation = 3,
    VideoProcAmp_Sharpness = 4,
    VideoProcAmp_Gamma = 5,
    VideoProcAmp_ColorEnable = 6,
    VideoProcAmp_WhiteBalance = 7,
    VideoProcAmp_BacklightCompensation = 8,
    VideoProcAmp_Gain = 9,
};
enum VideoProcAmpFlags { VideoProcAmp_Flags_Auto = 0x0001, VideoProcAmp_Flags_Manual = 0x0002 };

enum CameraControlProperty {
    CameraControl_Pan = 0,
    CameraControl_Tilt = 1,
    CameraControl_Roll = 2,
    CameraControl_Zoom = 3,
    CameraControl_Exposure = 4,
    CameraControl_Iris = 5,
    CameraControl_Focus = 6,
};
enum CameraControlFlags { CameraControl_Flags_Auto = 0x0001, CameraControl_Flags_Manual = 0x0002 };

// Both interfaces: a property the device does not have answers
// HRESULT_FROM_WIN32(ERROR_NOT_FOUND) (0x80070490) to all three calls; Set
// with a value outside the range or unknown flag bits answers E_INVALIDARG
// and changes nothing.
struct IAMVideoProcAmp : IUnknown {
    static constexpr const GUID& Iid = IID_IAMVideoProcAmp;
    virtual HRESULT GetRange(LONG property, LONG* min, LONG* max, LONG* steppingDelta,
                             LONG* defaultValue, LONG* capsFlags) = 0;
    virtual HRESULT Set(LONG property, LONG value, LONG flags) = 0;
    virtual HRESULT Get(LONG property, LONG* value, LONG* flags) = 0;
};

struct IAMCameraControl : IUnknown {
    static constexpr const GUID& Iid = IID_IAMCameraControl;
    virtual HRESULT GetRange(LONG property, LONG* min, LONG* max, LONG* steppingDelta,
                             LONG* defaultValue, LONG* capsFlags) = 0;
    virtual HRESULT Set(LONG property, LONG value, LONG flags) = 0;
    virtual HRESULT Get(LONG property, LONG* value, LONG* flags) = 0;
};

enum VideoControlFlags {
    VideoControlFlag_FlipHorizontal = 0x0001,
    VideoControlFlag_FlipVertical = 0x0002,
    VideoControlFlag_ExternalTriggerEnable = 0x0004,
    VideoControlFlag_Trigger = 0x0008,
};

struct IAMVideoControl : IUnknown {
    static constexpr const GUID& Iid = IID_IAMVideoControl;
    virtual HRESULT GetCaps(IPin* pin, LONG* capsFlags) = 0;
    // VideoControlFlag_Trigger on the still pin: the device pushes one still
    // out of that pin (VFW_E_NOT_RUNNING when the pin is not streaming;
    // E_INVALIDARG for a pin that is not the device's still pin).
    virtual HRESULT SetMode(IPin* pin, LONG mode) = 0;
    virtual HRESULT GetMode(IPin* pin, LONG* mode) = 0;
};
