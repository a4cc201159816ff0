#include "platform/media/FilterBase.h"

#include <cstring>

BasePin::BasePin(BaseFilter* owner, QString name, PIN_DIRECTION direction, const GUID& category)
    : owner_(owner), name_(std::move(name)), direction_(direction), category_(category) {}

HRESULT BasePin::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPin)
        *object = static_cast<IPin*>(this);
    else if (iid == IID_IKsPropertySet)
        *object = static_cast<IKsPropertySet*>(this);
    else if (iid == IID_IMemInputPin && direction_ == PINDIR_INPUT)
        *object = static_cast<IMemInputPin*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG BasePin::AddRef() {
    return owner_->AddRef();
}
ULONG BasePin::Release() {
    return owner_->Release();
}

HRESULT BasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) {
    if (!receivePin)
        return E_POINTER;
    if (direction_ != PINDIR_OUTPUT)
        return VFW_E_INVALID_DIRECTION;
    if (peer_)
        return VFW_E_ALREADY_CONNECTED;
    if (owner_->State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    PIN_DIRECTION peerDirection = PINDIR_OUTPUT;
    if (FAILED(receivePin->QueryDirection(&peerDirection)) || peerDirection != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;

    std::vector<MediaType> candidates;
    if (type) {
        if (owner_->CheckMediaType(this, *type) != S_OK)
            return VFW_E_TYPE_NOT_ACCEPTED;
        candidates.emplace_back(*type);
    } else {
        MediaType proposed;
        for (int i = 0; owner_->ProposeMediaType(this, i, &proposed) == S_OK; ++i)
            candidates.push_back(proposed);
    }
    for (const MediaType& candidate : candidates) {
        if (receivePin->ReceiveConnection(this, &candidate.get()) == S_OK) {
            const HRESULT hr = CompleteConnection(receivePin, candidate.get());
            if (FAILED(hr))
                receivePin->Disconnect();
            return hr;
        }
    }
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT BasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
    if (!connector || !type)
        return E_POINTER;
    if (direction_ != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (peer_)
        return VFW_E_ALREADY_CONNECTED;
    if (owner_->State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    if (owner_->CheckMediaType(this, *type) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return CompleteConnection(connector, *type);
}

HRESULT BasePin::CompleteConnection(IPin* peer, const AM_MEDIA_TYPE& type) {
    ComPtr<IMemInputPin> input;
    if (direction_ == PINDIR_OUTPUT) {
        ComPtr<IPin>(peer).As(&input);
        if (!input)
            return E_NOINTERFACE;
    }
    peer_ = peer;
    peerInput_ = input;
    connectionType_ = MediaType(type);
    owner_->OnConnected(this);
    return S_OK;
}

HRESULT BasePin::Disconnect() {
    if (owner_->State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    if (!peer_)
        return S_FALSE;
    peer_.Reset();
    peerInput_.Reset();
    connectionType_ = MediaType();
    owner_->OnDisconnected(this);
    return S_OK;
}

HRESULT BasePin::ConnectedTo(IPin** pin) {
    if (!pin)
        return E_POINTER;
    *pin = nullptr;
    if (!peer_)
        return VFW_E_NOT_CONNECTED;
    *pin = ComPtr<IPin>(peer_).Detach();
    return S_OK;
}

HRESULT BasePin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
    if (!type)
        return E_POINTER;
    std::memset(type, 0, sizeof *type);
    if (!peer_)
        return VFW_E_NOT_CONNECTED;
    return CopyMediaType(type, &connectionType_.get());
}

HRESULT BasePin::QueryPinInfo(PIN_INFO* info) {
    if (!info)
        return E_POINTER;
    info->pFilter = owner_;
    info->dir = direction_;
    info->achName = name_;
    return S_OK;
}

HRESULT BasePin::QueryDirection(PIN_DIRECTION* direction) {
    if (!direction)
        return E_POINTER;
    *direction = direction_;
    return S_OK;
}

HRESULT BasePin::QueryAccept(const AM_MEDIA_TYPE* type) {
    if (!type)
        return E_POINTER;
    return owner_->CheckMediaType(this, *type) == S_OK ? S_OK : S_FALSE;
}

HRESULT BasePin::GetMediaType(int index, AM_MEDIA_TYPE** type) {
    if (!type)
        return E_POINTER;
    *type = nullptr;
    MediaType proposed;
    if (index < 0 || owner_->ProposeMediaType(this, index, &proposed) != S_OK)
        return VFW_S_NO_MORE_ITEMS;
    *type = proposed.Copy();
    return *type ? S_OK : E_OUTOFMEMORY;
}

HRESULT BasePin::Receive(IMediaSample* sample) {
    if (!sample)
        return E_POINTER;
    if (direction_ != PINDIR_INPUT)
        return E_UNEXPECTED;
    if (!peer_)
        return VFW_E_NOT_CONNECTED;
    if (owner_->State() != State_Running)
        return VFW_E_WRONG_STATE;
    return owner_->ReceiveSample(this, sample);
}

HRESULT BasePin::Deliver(IMediaSample* sample) {
    if (!peerInput_)
        return VFW_E_NOT_CONNECTED;
    return peerInput_->Receive(sample);
}

HRESULT BasePin::Set(REFGUID set, DWORD, void*, DWORD, void*, DWORD) {
    return set == AMPROPSETID_Pin ? E_PROP_ID_UNSUPPORTED : E_PROP_SET_UNSUPPORTED;
}

HRESULT BasePin::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataLength,
                     DWORD* returned) {
    if (returned)
        *returned = 0;
    if (set != AMPROPSETID_Pin)
        return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY || category_ == GUID_NULL)
        return E_PROP_ID_UNSUPPORTED;
    if (!data)
        return E_POINTER;
    if (dataLength < sizeof(GUID))
        return E_UNEXPECTED;
    std::memcpy(data, &category_, sizeof(GUID));
    if (returned)
        *returned = sizeof(GUID);
    return S_OK;
}

HRESULT BasePin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    if (set != AMPROPSETID_Pin)
        return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY || category_ == GUID_NULL)
        return E_PROP_ID_UNSUPPORTED;
    if (support)
        *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

// ---- BaseFilter -----------------------------------------------------------

BasePin* BaseFilter::AddPin(const QString& name, PIN_DIRECTION direction, const GUID& category) {
    pins_.push_back(std::make_unique<BasePin>(this, name, direction, category));
    return pins_.back().get();
}

HRESULT BaseFilter::Stop() {
    if (state_.load() == State_Stopped)
        return S_OK;
    // Threads see the state first, then are joined.
    state_ = State_Stopped;
    OnStop();
    return S_OK;
}

HRESULT BaseFilter::Pause() {
    if (state_.load() == State_Running)
        Stop();
    state_ = State_Paused;
    return S_OK;
}

HRESULT BaseFilter::Run(REFERENCE_TIME) {
    if (state_.load() == State_Running)
        return S_OK;
    state_ = State_Running;
    const HRESULT hr = OnRun();
    if (FAILED(hr)) {
        state_ = State_Stopped;
        OnStop();
    }
    return hr;
}

HRESULT BaseFilter::GetState(DWORD milliseconds, FILTER_STATE* state) {
    if (!state)
        return E_POINTER;
    *state = state_.load();
    if (*state != State_Running)
        return S_OK;
    return OnGetState(milliseconds);
}

HRESULT BaseFilter::EnumPins(IEnumPins** pins) {
    if (!pins)
        return E_POINTER;
    std::vector<ComPtr<IPin>> items;
    for (const auto& pin : pins_)
        items.emplace_back(static_cast<IPin*>(pin.get()));
    *pins = MakeCom<SnapshotEnum<IEnumPins, IPin>>(std::move(items)).Detach();
    return S_OK;
}

HRESULT BaseFilter::FindPin(const QString& name, IPin** pin) {
    if (!pin)
        return E_POINTER;
    *pin = nullptr;
    for (const auto& p : pins_) {
        if (p->Name() == name) {
            *pin = ComPtr<IPin>(p.get()).Detach();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT BaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info)
        return E_POINTER;
    info->achName = name_;
    info->pGraph = graph_;
    return S_OK;
}

HRESULT BaseFilter::JoinFilterGraph(IFilterGraph* graph, const QString& name) {
    graph_ = graph;
    name_ = graph ? name : QString();
    return S_OK;
}

HRESULT BaseFilter::CheckMediaType(BasePin*, const AM_MEDIA_TYPE&) {
    return S_OK;
}

HRESULT BaseFilter::ProposeMediaType(BasePin*, int, MediaType*) {
    return VFW_S_NO_MORE_ITEMS;
}

HRESULT BaseFilter::ReceiveSample(BasePin*, IMediaSample*) {
    return S_OK;
}

// ---- MediaSample ----------------------------------------------------------

MediaSample::MediaSample(std::vector<BYTE> bytes)
    : bytes_(std::move(bytes)), actual_(static_cast<LONG>(bytes_.size())) {}

MediaSample::MediaSample(QImage image)
    : image_(std::move(image)), actual_(static_cast<LONG>(image_.sizeInBytes())) {}

HRESULT MediaSample::GetPointer(BYTE** buffer) {
    if (!buffer)
        return E_POINTER;
    // constBits: never detach the shared picture.
    *buffer = image_.isNull() ? bytes_.data() : const_cast<BYTE*>(image_.constBits());
    return S_OK;
}

LONG MediaSample::GetSize() {
    return image_.isNull() ? static_cast<LONG>(bytes_.size())
                           : static_cast<LONG>(image_.sizeInBytes());
}

LONG MediaSample::GetActualDataLength() {
    return actual_;
}

HRESULT MediaSample::SetActualDataLength(LONG length) {
    if (length < 0 || length > GetSize())
        return E_INVALIDARG;
    actual_ = length;
    return S_OK;
}

HRESULT MediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
    if (!start || !end)
        return E_POINTER;
    if (!timed_)
        return VFW_E_WRONG_STATE;
    *start = start_;
    *end = end_;
    return S_OK;
}

HRESULT MediaSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
    timed_ = start != nullptr;
    start_ = start ? *start : 0;
    end_ = end ? *end : start_ + 1;
    return S_OK;
}

HRESULT MediaSample::GetMediaType(AM_MEDIA_TYPE** type) {
    if (!type)
        return E_POINTER;
    *type = nullptr;
    return S_FALSE;
}

const QImage* MediaSample::ImageOf(IMediaSample* sample) {
    // A sample of some other filter is no MediaSample.
    auto* own = dynamic_cast<MediaSample*>(sample);
    return own && !own->image_.isNull() ? &own->image_ : nullptr;
}

// ---- StreamingThread ------------------------------------------------------

void StreamingThread::Start(std::function<void(std::stop_token)> body) {
    Stop();
    thread_ = std::jthread(std::move(body));
}

void StreamingThread::Stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}
