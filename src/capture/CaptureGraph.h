#pragma once

#include "capture/CSGCallback.h"
#include "platform/com.h"
#include "platform/devices/DeviceModel.h"
#include "platform/media/MediaGraph.h"
#include "platform/media/MediaTypes.h"

#include <QString>

#include <vector>

// The names the graph's filters are added under.
inline const QString kDeviceSourceName = QStringLiteral("Device Source");
inline const QString kStillGrabberName = QStringLiteral("SG_Still");
inline const QString kNullRendererName = QStringLiteral("Null Render");

// Source kinds.
constexpr LONG kSourceCaptureDevice = 0;
constexpr LONG kSourceNone = -1;

// A pin's capabilities in the order the pin reports them; each entry owns
// its media type.
using CapabilityList = std::vector<MediaTypePtr>;

// The filter graph of the open scanner: the device's capture pin feeds the
// live picture, its still pin feeds the still grabber "SG_Still" and a null
// renderer. Made with Create, ended with Destroy.
struct CaptureGraph {
    // The source filter and the device filter are the same object and share
    // one counted reference (held by sourceFilter).
    ComPtr<IBaseFilter> sourceFilter;
    IBaseFilter* deviceFilter = nullptr;
    LONG sourceKind = kSourceCaptureDevice;
    LONG callbackMode = kCallbackSample;
    void* callbackContext = nullptr;
    BufferHandler stillBufferHandler = nullptr;
    SampleHandler stillSampleHandler = nullptr;
    ComPtr<ICaptureGraphBuilder2> builder;
    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> stillGrabber;
    CSGCallback stillCallback;
    bool stillWanted = false;
    bool stillPinPresent = false;

    static CaptureGraph* Create();

    // Takes a reference to the device's filter as both source and device
    // filter, records whether it has a still pin, and sets the source kind.
    void AttachDevice(IBaseFilter* device);

    HRESULT Build();
    // S_OK once stopped, S_FALSE when the graph never reported it stopped,
    // E_FAIL without a graph.
    HRESULT Stop();
    // Removes every filter downstream of `filter`, depth first.
    void RemoveDownstream(IBaseFilter* filter);
    void ReleaseSources();
    // Unhooks the embedded callback from the grabber and drops the grabber.
    void ReleaseStillGrabber();
    // Stops and dismantles the graph and frees the object.
    void Destroy();

    HRESULT CaptureStreamConfig(ComPtr<IAMStreamConfig>* config) const;
    HRESULT StillStreamConfig(ComPtr<IAMStreamConfig>* config) const;
    // Empty when the stream configuration cannot be had.
    CapabilityList GetCaptureCapabilities() const;
    CapabilityList GetStillCapabilities() const;
    HRESULT GetCaptureFormat(MediaTypePtr* format) const;

    CaptureGraph(const CaptureGraph&) = delete;
    CaptureGraph& operator=(const CaptureGraph&) = delete;

private:
    CaptureGraph() = default;
    ~CaptureGraph() = default;
    void RemoveAllFilters();
};

// The capabilities `config` reports, in its order; one that cannot be read
// stays as an empty slot. Empty without a configuration.
CapabilityList GetStreamCapabilities(IAMStreamConfig* config);

// The first output pin of `filter` whose pin category is PIN_CATEGORY_STILL.
ComPtr<IPin> FindStillPin(IBaseFilter* filter);

// Runs the graph: Run, and while that answers S_FALSE up to 101 state
// queries of 100 ms until one answers S_OK. The last answer is the result.
constexpr int kRunStateQueries = 101;
constexpr LONG kStateQueryTimeoutMs = 100;
HRESULT RunGraph(IMediaControl* control);

// The two answers that mean another application holds the device.
bool IsDeviceLockedResult(HRESULT hr);

// Where the live picture goes inside a W x H control so that a w x h picture
// keeps its proportions: equal margins on the sides that have room to spare.
struct PreviewPlacement {
    LONG left = 0;
    LONG top = 0;
    LONG width = 0;
    LONG height = 0;
};
// False for a picture without a positive size.
bool ComputePreviewPlacement(LONG controlWidth, LONG controlHeight, LONG pictureWidth,
                             LONG pictureHeight, PreviewPlacement* placement);
