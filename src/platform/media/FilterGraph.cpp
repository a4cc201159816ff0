#include "platform/media/FilterBase.h"
#include "platform/media/StockFilters.h"

#include <chrono>
#include <vector>

namespace {

ComPtr<IBaseFilter> OwnerOf(IPin* pin) {
    PIN_INFO info;
    if (!pin || FAILED(pin->QueryPinInfo(&info)))
        return nullptr;
    return info.pFilter;
}

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter) {
    std::vector<ComPtr<IPin>> result;
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.put())))
        return result;
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK)
        result.push_back(ComPtr<IPin>::Attach(pin));
    return result;
}

bool HasConnectedInput(IBaseFilter* filter) {
    for (const auto& pin : PinsOf(filter)) {
        PIN_DIRECTION dir;
        ComPtr<IPin> peer;
        if (SUCCEEDED(pin->QueryDirection(&dir)) && dir == PINDIR_INPUT &&
            SUCCEEDED(pin->ConnectedTo(peer.put())))
            return true;
    }
    return false;
}

class FilterGraph : public ComObject<IGraphBuilder, IMediaControl>, public IVideoWindow {
public:
    QUILLET_FORWARD_IUNKNOWN(ComObject)

    ~FilterGraph() override {
        StopAll();
        for (auto& entry : filters_) {
            for (const auto& pin : PinsOf(entry.filter.get()))
                pin->Disconnect();
            entry.filter->JoinFilterGraph(nullptr, {});
        }
        filters_.clear();
    }

    // IFilterGraph
    HRESULT AddFilter(IBaseFilter* filter, const QString& name) override {
        if (!filter)
            return E_POINTER;
        if (state_ != State_Stopped)
            return VFW_E_NOT_STOPPED;
        if (Find(filter) >= 0)
            return E_INVALIDARG;
        QString unique = name.isEmpty() ? QStringLiteral("Filter") : name;
        HRESULT result = S_OK;
        for (int n = 1; NameTaken(unique); ++n) {
            unique = QStringLiteral("%1 %2")
                         .arg(name.isEmpty() ? QStringLiteral("Filter") : name)
                         .arg(n, 4, 10, QLatin1Char('0'));
            result = name.isEmpty() ? S_OK : VFW_S_DUPLICATE_NAME;
        }
        const HRESULT joined = filter->JoinFilterGraph(this, unique);
        if (FAILED(joined))
            return joined;
        filters_.push_back({ComPtr<IBaseFilter>(filter), unique});
        return result;
    }

    HRESULT RemoveFilter(IBaseFilter* filter) override {
        const int index = Find(filter);
        if (index < 0)
            return VFW_E_NOT_FOUND;
        if (state_ != State_Stopped)
            return VFW_E_NOT_STOPPED;
        ComPtr<IBaseFilter> keep = filters_[static_cast<std::size_t>(index)].filter;
        for (const auto& pin : PinsOf(filter)) {
            ComPtr<IPin> peer;
            if (SUCCEEDED(pin->ConnectedTo(peer.put())))
                peer->Disconnect();
            pin->Disconnect();
        }
        filters_.erase(filters_.begin() + index);
        keep->JoinFilterGraph(nullptr, {});
        return S_OK;
    }

    HRESULT EnumFilters(IEnumFilters** filters) override {
        if (!filters)
            return E_POINTER;
        std::vector<ComPtr<IBaseFilter>> items;
        for (const auto& entry : filters_)
            items.push_back(entry.filter);
        *filters = MakeCom<SnapshotEnum<IEnumFilters, IBaseFilter>>(std::move(items)).Detach();
        return S_OK;
    }

    HRESULT FindFilterByName(const QString& name, IBaseFilter** filter) override {
        if (!filter)
            return E_POINTER;
        *filter = nullptr;
        for (const auto& entry : filters_) {
            if (entry.name == name) {
                *filter = ComPtr<IBaseFilter>(entry.filter).Detach();
                return S_OK;
            }
        }
        return VFW_E_NOT_FOUND;
    }

    HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) override {
        if (!output || !input)
            return E_POINTER;
        if (state_ != State_Stopped)
            return VFW_E_NOT_STOPPED;
        if (Find(OwnerOf(output).get()) < 0 || Find(OwnerOf(input).get()) < 0)
            return VFW_E_NOT_IN_GRAPH;
        PIN_DIRECTION outDir, inDir;
        if (FAILED(output->QueryDirection(&outDir)) || FAILED(input->QueryDirection(&inDir)) ||
            outDir != PINDIR_OUTPUT || inDir != PINDIR_INPUT)
            return VFW_E_INVALID_DIRECTION;
        return output->Connect(input, type);
    }

    HRESULT Disconnect(IPin* pin) override {
        if (!pin)
            return E_POINTER;
        if (state_ != State_Stopped)
            return VFW_E_NOT_STOPPED;
        return pin->Disconnect();
    }

    // IGraphBuilder
    HRESULT Connect(IPin* output, IPin* input) override {
        HRESULT hr = ConnectDirect(output, input, nullptr);
        if (hr != VFW_E_TYPE_NOT_ACCEPTED || !OutputIsCompressed(output))
            return hr;
        ComPtr<IBaseFilter> decoder = CreateMjpegDecoderFilter();
        if (FAILED(hr = AddFilter(decoder.get(), QStringLiteral("MJPEG Decompressor"))))
            return hr;
        auto pins = PinsOf(decoder.get());
        if (pins.size() < 2 || FAILED(ConnectDirect(output, pins[0].get(), nullptr)) ||
            FAILED(ConnectDirect(pins[1].get(), input, nullptr))) {
            RemoveFilter(decoder.get());
            return VFW_E_CANNOT_CONNECT;
        }
        return S_OK;
    }

    HRESULT Render(IPin* output) override {
        if (!output)
            return E_POINTER;
        if (state_ != State_Stopped)
            return VFW_E_NOT_STOPPED;
        if (Find(OwnerOf(output).get()) < 0)
            return VFW_E_NOT_IN_GRAPH;
        ComPtr<IPin> peer;
        if (SUCCEEDED(output->ConnectedTo(peer.put())))
            return VFW_E_ALREADY_CONNECTED;
        ComPtr<IBaseFilter> renderer = CreateVideoRendererFilter();
        HRESULT hr = AddFilter(renderer.get(), QStringLiteral("Video Renderer"));
        if (FAILED(hr))
            return hr;
        auto pins = PinsOf(renderer.get());
        if (pins.empty() || FAILED(Connect(output, pins[0].get()))) {
            RemoveFilter(renderer.get());
            return VFW_E_CANNOT_RENDER;
        }
        return S_OK;
    }

    // IMediaControl
    HRESULT Run() override {
        if (state_ == State_Running)
            return S_OK;
        HRESULT result = S_OK;
        // Downstream filters first, so that sources find them running.
        for (bool sources : {false, true}) {
            for (const auto& entry : filters_) {
                if (IsSource(entry.filter.get()) != sources)
                    continue;
                const HRESULT hr = entry.filter->Run(0);
                if (FAILED(hr)) {
                    StopAll();
                    return hr;
                }
                if (hr == S_FALSE)
                    result = S_FALSE;
            }
        }
        state_ = State_Running;
        return result;
    }

    HRESULT Pause() override {
        for (const auto& entry : filters_)
            entry.filter->Pause();
        state_ = State_Paused;
        return S_OK;
    }

    HRESULT Stop() override {
        StopAll();
        return S_OK;
    }

    HRESULT GetState(LONG milliseconds, OAFilterState* state) override {
        if (!state)
            return E_POINTER;
        *state = state_;
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::milliseconds(std::max<LONG>(0, milliseconds));
        HRESULT result = S_OK;
        for (const auto& entry : filters_) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            FILTER_STATE fs;
            const HRESULT hr = entry.filter->GetState(
                static_cast<DWORD>(std::max<long long>(0, left.count())), &fs);
            if (FAILED(hr))
                return hr;
            if (hr == VFW_S_STATE_INTERMEDIATE)
                result = VFW_S_STATE_INTERMEDIATE;
        }
        return result;
    }

    // IVideoWindow, forwarded to the graph's first video renderer.
    HRESULT put_WindowStyle(LONG style) override {
        return WithWindow([&](IVideoWindow* w) { return w->put_WindowStyle(style); });
    }
    HRESULT get_WindowStyle(LONG* style) override {
        return WithWindow([&](IVideoWindow* w) { return w->get_WindowStyle(style); });
    }
    HRESULT put_Visible(LONG visible) override {
        return WithWindow([&](IVideoWindow* w) { return w->put_Visible(visible); });
    }
    HRESULT get_Visible(LONG* visible) override {
        return WithWindow([&](IVideoWindow* w) { return w->get_Visible(visible); });
    }
    HRESULT put_Owner(OAHWND owner) override {
        return WithWindow([&](IVideoWindow* w) { return w->put_Owner(owner); });
    }
    HRESULT get_Owner(OAHWND* owner) override {
        return WithWindow([&](IVideoWindow* w) { return w->get_Owner(owner); });
    }
    HRESULT put_MessageDrain(OAHWND drain) override {
        return WithWindow([&](IVideoWindow* w) { return w->put_MessageDrain(drain); });
    }
    HRESULT get_MessageDrain(OAHWND* drain) override {
        return WithWindow([&](IVideoWindow* w) { return w->get_MessageDrain(drain); });
    }
    HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override {
        return WithWindow(
            [&](IVideoWindow* w) { return w->SetWindowPosition(left, top, width, height); });
    }
    HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) override {
        return WithWindow(
            [&](IVideoWindow* w) { return w->GetWindowPosition(left, top, width, height); });
    }

protected:
    HRESULT QueryOtherInterface(REFIID iid, void** object) override {
        if (iid == IID_IVideoWindow && Renderer()) {
            *object = static_cast<IVideoWindow*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

private:
    struct Entry {
        ComPtr<IBaseFilter> filter;
        QString name;
    };

    int Find(IBaseFilter* filter) const {
        for (std::size_t i = 0; filter && i < filters_.size(); ++i)
            if (filters_[i].filter.get() == filter)
                return static_cast<int>(i);
        return -1;
    }
    bool NameTaken(const QString& name) const {
        for (const auto& entry : filters_)
            if (entry.name == name)
                return true;
        return false;
    }
    static bool IsSource(IBaseFilter* filter) { return !HasConnectedInput(filter); }

    static bool OutputIsCompressed(IPin* output) {
        AM_MEDIA_TYPE* type = nullptr;
        for (int i = 0; output->GetMediaType(i, &type) == S_OK; ++i) {
            MediaTypePtr owned(type);
            if (type->majortype == MEDIATYPE_Video && IsCompressedVideo(type->subtype))
                return true;
        }
        return false;
    }

    void StopAll() {
        // Sources first: that joins their streaming threads before anything
        // downstream stops taking samples.
        for (bool sources : {true, false})
            for (const auto& entry : filters_)
                if (IsSource(entry.filter.get()) == sources)
                    entry.filter->Stop();
        state_ = State_Stopped;
    }

    ComPtr<IVideoWindow> Renderer() const {
        for (const auto& entry : filters_)
            if (IsVideoRendererFilter(entry.filter.get()))
                return entry.filter.As<IVideoWindow>();
        return nullptr;
    }

    template <class F> HRESULT WithWindow(F&& call) {
        ComPtr<IVideoWindow> window = Renderer();
        return window ? call(window.get()) : E_NOINTERFACE;
    }

    std::vector<Entry> filters_;
    OAFilterState state_ = State_Stopped;
};

// ---- Capture graph builder --------------------------------------------------

bool PinMatches(IPin* pin, PIN_DIRECTION direction, const GUID* category, const GUID* type,
                BOOL unconnected) {
    PIN_DIRECTION dir;
    if (FAILED(pin->QueryDirection(&dir)) || dir != direction)
        return false;
    if (unconnected) {
        ComPtr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer.put())))
            return false;
    }
    if (category) {
        ComPtr<IKsPropertySet> properties;
        GUID pinCategory = GUID_NULL;
        DWORD returned = 0;
        if (FAILED(ComPtr<IPin>(pin).As(&properties)) ||
            FAILED(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0,
                                   &pinCategory, sizeof pinCategory, &returned)) ||
            pinCategory != *category)
            return false;
    }
    if (type) {
        bool found = false;
        AM_MEDIA_TYPE* mt = nullptr;
        for (int i = 0; !found && pin->GetMediaType(i, &mt) == S_OK; ++i) {
            MediaTypePtr owned(mt);
            found = mt->majortype == *type;
        }
        if (!found)
            return false;
    }
    return true;
}

ComPtr<IPin> FirstUnconnected(IBaseFilter* filter, PIN_DIRECTION direction) {
    for (const auto& pin : PinsOf(filter))
        if (PinMatches(pin.get(), direction, nullptr, nullptr, 1))
            return pin;
    return nullptr;
}

class CaptureGraphBuilder : public ComObject<ICaptureGraphBuilder2> {
public:
    HRESULT SetFiltergraph(IGraphBuilder* graph) override {
        if (!graph)
            return E_POINTER;
        if (graph_)
            return E_UNEXPECTED;
        graph_ = graph;
        return S_OK;
    }

    HRESULT GetFiltergraph(IGraphBuilder** graph) override {
        if (!graph)
            return E_POINTER;
        if (!graph_)
            graph_ = CreateFilterGraph();
        *graph = ComPtr<IGraphBuilder>(graph_).Detach();
        return S_OK;
    }

    HRESULT FindPin(IUnknown* source, PIN_DIRECTION direction, const GUID* category,
                    const GUID* type, BOOL unconnected, int index, IPin** pin) override {
        if (!source || !pin)
            return E_POINTER;
        *pin = nullptr;
        ComPtr<IUnknown> unknown(source);
        if (ComPtr<IPin> asPin = unknown.As<IPin>()) {
            if (index == 0 && PinMatches(asPin.get(), direction, category, type, unconnected)) {
                *pin = asPin.Detach();
                return S_OK;
            }
            return E_FAIL;
        }
        ComPtr<IBaseFilter> filter = unknown.As<IBaseFilter>();
        if (!filter)
            return E_NOINTERFACE;
        int seen = 0;
        for (const auto& candidate : PinsOf(filter.get())) {
            if (PinMatches(candidate.get(), direction, category, type, unconnected) &&
                seen++ == index) {
                *pin = ComPtr<IPin>(candidate).Detach();
                return S_OK;
            }
        }
        return E_FAIL;
    }

    HRESULT RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                         IBaseFilter* intermediate, IBaseFilter* sink) override {
        if (!source)
            return E_POINTER;
        ComPtr<IGraphBuilder> graph;
        GetFiltergraph(graph.put());
        for (IBaseFilter* filter : {intermediate, sink})
            if (filter && !InGraph(filter))
                return VFW_E_NOT_IN_GRAPH;

        ComPtr<IPin> current;
        if (FAILED(FindPin(source, PINDIR_OUTPUT, category, type, 1, 0, current.put())))
            return E_FAIL;
        if (!InGraph(OwnerOf(current.get()).get()))
            return VFW_E_NOT_IN_GRAPH;

        if (intermediate) {
            ComPtr<IPin> in = FirstUnconnected(intermediate, PINDIR_INPUT);
            if (!in)
                return E_FAIL;
            HRESULT hr = graph->Connect(current.get(), in.get());
            if (FAILED(hr))
                return hr;
            current = FirstUnconnected(intermediate, PINDIR_OUTPUT);
            if (!current)
                return sink ? E_FAIL : S_OK;
        }
        if (sink) {
            ComPtr<IPin> in = FirstUnconnected(sink, PINDIR_INPUT);
            if (!in)
                return E_FAIL;
            return graph->Connect(current.get(), in.get());
        }
        return graph->Render(current.get());
    }

private:
    bool InGraph(IBaseFilter* filter) const {
        FILTER_INFO info;
        return filter && SUCCEEDED(filter->QueryFilterInfo(&info)) && info.pGraph &&
               info.pGraph.get() == static_cast<IFilterGraph*>(graph_.get());
    }

    ComPtr<IGraphBuilder> graph_;
};

} // namespace

ComPtr<IGraphBuilder> CreateFilterGraph() {
    return MakeCom<FilterGraph>();
}

ComPtr<ICaptureGraphBuilder2> CreateCaptureGraphBuilder() {
    return MakeCom<CaptureGraphBuilder>();
}
