#include "capture/CaptureGraph.h"

#include <algorithm>
#include <cstdlib>

CaptureGraph* CaptureGraph::Create() {
    return new CaptureGraph();
}

ComPtr<IPin> FindStillPin(IBaseFilter* filter) {
    if (!filter)
        return nullptr;
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.put())) || !pins)
        return nullptr;
    for (;;) {
        ComPtr<IPin> pin;
        if (pins->Next(1, pin.put(), nullptr) != S_OK || !pin)
            return nullptr;
        PIN_DIRECTION direction = PINDIR_INPUT;
        if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_OUTPUT)
            continue;
        ComPtr<IKsPropertySet> properties;
        if (FAILED(pin.As(&properties)) || !properties)
            continue;
        GUID category{};
        DWORD returned = 0;
        if (SUCCEEDED(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0,
                                      &category, sizeof(category), &returned)) &&
            returned >= sizeof(category) && category == PIN_CATEGORY_STILL)
            return pin;
    }
}

void CaptureGraph::AttachDevice(IBaseFilter* device) {
    sourceFilter = device;
    deviceFilter = device;
    stillPinPresent = static_cast<bool>(FindStillPin(device));
    sourceKind = device ? kSourceCaptureDevice : kSourceNone;
}

void CaptureGraph::RemoveAllFilters() {
    if (!graph)
        return;
    ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(filters.put())) || !filters)
        return;
    for (;;) {
        ComPtr<IBaseFilter> filter;
        if (filters->Next(1, filter.put(), nullptr) != S_OK || !filter)
            return;
        graph->RemoveFilter(filter.get());
    }
}

HRESULT CaptureGraph::Build() {
    stillWanted = deviceFilter && stillPinPresent && (stillBufferHandler || stillSampleHandler);

    if (!builder) {
        HRESULT hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ICaptureGraphBuilder2, builder.put_void());
        if (FAILED(hr))
            return hr;
        hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                              graph.put_void());
        if (FAILED(hr)) {
            builder = nullptr;
            return hr;
        }
        hr = builder->SetFiltergraph(graph.get());
        if (FAILED(hr)) {
            graph = nullptr;
            builder = nullptr;
            return hr;
        }
    }
    if (!graph)
        return E_FAIL;

    HRESULT hr = S_OK;
    if (sourceKind == kSourceCaptureDevice && sourceFilter)
        hr = graph->AddFilter(sourceFilter.get(), kDeviceSourceName);

    if (SUCCEEDED(hr) && stillWanted && !stillGrabber) {
        hr = CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              stillGrabber.put_void());
        ComPtr<ISampleGrabber> grabber;
        if (SUCCEEDED(hr))
            hr = stillGrabber.As(&grabber);
        if (SUCCEEDED(hr)) {
            stillCallback.mode = callbackMode;
            stillCallback.context = callbackContext;
            if (callbackMode == kCallbackBuffer)
                stillCallback.bufferHandler = stillBufferHandler;
            else
                stillCallback.sampleHandler = stillSampleHandler;
            hr = grabber->SetCallback(&stillCallback, callbackMode);
        }
    }
    if (FAILED(hr)) {
        RemoveAllFilters();
        stillGrabber = nullptr;
        graph = nullptr;
        builder = nullptr;
        return hr;
    }

    if (!deviceFilter)
        return E_FAIL;
    ComPtr<IPin> capturePin;
    hr = builder->FindPin(deviceFilter, PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr, 1, 0,
                          capturePin.put());
    if (FAILED(hr))
        return hr;
    if (!capturePin)
        return E_FAIL;
    hr = builder->RenderStream(nullptr, nullptr, capturePin.get(), nullptr, nullptr);
    if (FAILED(hr))
        return hr;

    if (stillWanted) {
        ComPtr<IBaseFilter> nullRenderer;
        hr = CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              nullRenderer.put_void());
        if (FAILED(hr))
            return hr;
        hr = graph->AddFilter(nullRenderer.get(), kNullRendererName);
        if (FAILED(hr))
            return hr;
        hr = graph->AddFilter(stillGrabber.get(), kStillGrabberName);
        if (FAILED(hr))
            return hr;
        hr = builder->RenderStream(&PIN_CATEGORY_STILL, &MEDIATYPE_Video, deviceFilter,
                                   stillGrabber.get(), nullRenderer.get());
    }
    return hr;
}

HRESULT CaptureGraph::Stop() {
    if (!graph)
        return E_FAIL;
    ComPtr<IMediaControl> control;
    const HRESULT hr = graph.As(&control);
    if (FAILED(hr) || !control)
        return FAILED(hr) ? hr : E_FAIL;
    control->Stop();
    for (int query = 0; query < kRunStateQueries; ++query) {
        OAFilterState state = State_Running;
        if (control->GetState(kStateQueryTimeoutMs, &state) == S_OK && state == State_Stopped)
            return S_OK;
    }
    return S_FALSE;
}

void CaptureGraph::RemoveDownstream(IBaseFilter* filter) {
    if (!filter || !graph)
        return;
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.put())) || !pins)
        return;
    for (;;) {
        ComPtr<IPin> pin;
        if (pins->Next(1, pin.put(), nullptr) != S_OK || !pin)
            return;
        ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.put())) || !peer)
            continue;
        PIN_DIRECTION direction = PINDIR_OUTPUT;
        if (FAILED(peer->QueryDirection(&direction)) || direction != PINDIR_INPUT)
            continue;
        PIN_INFO info;
        if (FAILED(peer->QueryPinInfo(&info)) || !info.pFilter)
            continue;
        RemoveDownstream(info.pFilter.get());
        graph->Disconnect(peer.get());
        graph->Disconnect(pin.get());
        graph->RemoveFilter(info.pFilter.get());
    }
}

void CaptureGraph::ReleaseSources() {
    deviceFilter = nullptr;
    sourceFilter = nullptr;
    stillPinPresent = false;
    sourceKind = kSourceNone;
}

void CaptureGraph::ReleaseStillGrabber() {
    if (!stillGrabber)
        return;
    // The grabber keeps a pointer to the embedded callback, and something
    // else may still hold the grabber: unhook the callback so that nothing
    // can reach this object once it is freed.
    if (ComPtr<ISampleGrabber> grabber = stillGrabber.As<ISampleGrabber>())
        grabber->SetCallback(nullptr, callbackMode);
    stillGrabber = nullptr;
}

void CaptureGraph::Destroy() {
    if (builder)
        Stop();
    RemoveDownstream(sourceFilter.get());
    ReleaseStillGrabber();
    ReleaseSources();
    graph = nullptr;
    builder = nullptr;
    delete this;
}

namespace {

HRESULT StreamConfigOf(IPin* pin, ComPtr<IAMStreamConfig>* config) {
    if (!pin)
        return E_FAIL;
    const HRESULT hr = pin->QueryInterface(IID_IAMStreamConfig, config->put_void());
    if (SUCCEEDED(hr) && !*config)
        return E_FAIL;
    return hr;
}

} // namespace

CapabilityList GetStreamCapabilities(IAMStreamConfig* config) {
    CapabilityList list;
    if (!config)
        return list;
    int count = 0;
    int size = 0;
    if (FAILED(config->GetNumberOfCapabilities(&count, &size)) || count <= 0)
        return list;
    // One scratch structure of the reported size serves every call; never
    // smaller than the structure the pin writes.
    std::vector<BYTE> scratch(std::max<std::size_t>(static_cast<std::size_t>(std::max(size, 0)),
                                                    sizeof(VIDEO_STREAM_CONFIG_CAPS)));
    for (int index = 0; index < count; ++index) {
        AM_MEDIA_TYPE* type = nullptr;
        if (config->GetStreamCaps(index, &type, scratch.data()) != S_OK || !type) {
            DeleteMediaType(type);
            // Keep the positions of later entries: an unreadable one stays
            // as an empty slot.
            list.emplace_back(nullptr);
            continue;
        }
        list.emplace_back(type);
    }
    return list;
}

HRESULT CaptureGraph::CaptureStreamConfig(ComPtr<IAMStreamConfig>* config) const {
    if (!config)
        return E_POINTER;
    config->Reset();
    if (!sourceFilter || sourceKind != kSourceCaptureDevice)
        return E_FAIL;
    ComPtr<IEnumPins> pins;
    HRESULT hr = sourceFilter->EnumPins(pins.put());
    if (FAILED(hr) || !pins)
        return FAILED(hr) ? hr : E_FAIL;
    for (;;) {
        ComPtr<IPin> pin;
        if (pins->Next(1, pin.put(), nullptr) != S_OK || !pin)
            return E_FAIL;
        PIN_INFO info;
        if (SUCCEEDED(pin->QueryPinInfo(&info)) && info.dir == PINDIR_OUTPUT)
            return StreamConfigOf(pin.get(), config);
    }
}

HRESULT CaptureGraph::StillStreamConfig(ComPtr<IAMStreamConfig>* config) const {
    if (!config)
        return E_POINTER;
    config->Reset();
    if (!sourceFilter || sourceKind != kSourceCaptureDevice)
        return E_FAIL;
    return StreamConfigOf(FindStillPin(deviceFilter).get(), config);
}

CapabilityList CaptureGraph::GetCaptureCapabilities() const {
    ComPtr<IAMStreamConfig> config;
    if (FAILED(CaptureStreamConfig(&config)))
        return {};
    return GetStreamCapabilities(config.get());
}

CapabilityList CaptureGraph::GetStillCapabilities() const {
    ComPtr<IAMStreamConfig> config;
    if (FAILED(StillStreamConfig(&config)))
        return {};
    return GetStreamCapabilities(config.get());
}

HRESULT CaptureGraph::GetCaptureFormat(MediaTypePtr* format) const {
    if (!format)
        return E_POINTER;
    format->reset();
    ComPtr<IAMStreamConfig> config;
    HRESULT hr = CaptureStreamConfig(&config);
    if (FAILED(hr))
        return hr;
    AM_MEDIA_TYPE* type = nullptr;
    hr = config->GetFormat(&type);
    if (FAILED(hr)) {
        DeleteMediaType(type);
        return hr;
    }
    if (!type)
        return E_FAIL;
    format->reset(type);
    return hr;
}

HRESULT RunGraph(IMediaControl* control) {
    if (!control)
        return E_POINTER;
    HRESULT hr = control->Run();
    if (hr != S_FALSE)
        return hr;
    for (int query = 0; query < kRunStateQueries; ++query) {
        OAFilterState state = State_Stopped;
        hr = control->GetState(kStateQueryTimeoutMs, &state);
        // A failure is as settled as S_OK: asking again cannot change it.
        if (hr == S_OK || FAILED(hr))
            break;
    }
    return hr;
}

bool IsDeviceLockedResult(HRESULT hr) {
    return hr == HRESULT_FROM_WIN32(ERROR_NO_SYSTEM_RESOURCES) ||
           hr == HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
}

bool ComputePreviewPlacement(LONG controlWidth, LONG controlHeight, LONG pictureWidth,
                             LONG pictureHeight, PreviewPlacement* placement) {
    if (!placement)
        return false;
    // A top-down picture carries a negative height; its proportions are the
    // same. A picture without area has none to keep.
    const long long w = std::llabs(pictureWidth);
    const long long h = std::llabs(pictureHeight);
    if (w == 0 || h == 0)
        return false;
    const long long W = std::max<LONG>(controlWidth, 0);
    const long long H = std::max<LONG>(controlHeight, 0);
    if (W == 0 || H == 0) {
        *placement = {0, 0, static_cast<LONG>(W), static_cast<LONG>(H)};
        return true;
    }
    long long left = 0;
    long long top = 0;
    if (static_cast<double>(w) / static_cast<double>(W) -
            static_cast<double>(h) / static_cast<double>(H) >
        0) {
        top = (H - (W * h) / w) / 2; // wider than the control: bars above and below
    } else {
        left = (W - (H * w) / h) / 2;
    }
    placement->left = static_cast<LONG>(left);
    placement->top = static_cast<LONG>(top);
    placement->width = static_cast<LONG>(W - 2 * left);
    placement->height = static_cast<LONG>(H - 2 * top);
    return true;
}
