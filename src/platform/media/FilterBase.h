#pragma once

#include "platform/media/MediaGraph.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

// Building blocks of our own filters: a filter with named pins, pins that
// delegate their reference count to the filter, samples, and the streaming
// thread of a source pin.

// An IUnknown implementation that forwards to `Base` (for classes that add
// interfaces next to a ComObject base).
#define QUILLET_FORWARD_IUNKNOWN(Base)                                                             \
    HRESULT QueryInterface(REFIID iid, void** object) override {                                   \
        return Base::QueryInterface(iid, object);                                                  \
    }                                                                                              \
    ULONG AddRef() override {                                                                      \
        return Base::AddRef();                                                                     \
    }                                                                                              \
    ULONG Release() override {                                                                     \
        return Base::Release();                                                                    \
    }

class BaseFilter;

class BasePin : public IPin, public IMemInputPin, public IKsPropertySet {
public:
    BasePin(BaseFilter* owner, QString name, PIN_DIRECTION direction, const GUID& category);
    virtual ~BasePin() = default;
    BasePin(const BasePin&) = delete;
    BasePin& operator=(const BasePin&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
    HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT QueryPinInfo(PIN_INFO* info) override;
    HRESULT QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE** type) override;

    HRESULT Receive(IMediaSample* sample) override;

    HRESULT Set(REFGUID set, DWORD id, void* instance, DWORD instanceLength, void* data,
                DWORD dataLength) override;
    HRESULT Get(REFGUID set, DWORD id, void* instance, DWORD instanceLength, void* data,
                DWORD dataLength, DWORD* returned) override;
    HRESULT QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

    // Output pins: pushes a sample to the connected input (streaming thread).
    HRESULT Deliver(IMediaSample* sample);

    bool IsConnected() const { return peer_ != nullptr; }
    IPin* Peer() const { return peer_.get(); }
    const MediaType& ConnectionType() const { return connectionType_; }
    PIN_DIRECTION Direction() const { return direction_; }
    const QString& Name() const { return name_; }
    const GUID& Category() const { return category_; }
    BaseFilter* Owner() const { return owner_; }

private:
    HRESULT CompleteConnection(IPin* peer, const AM_MEDIA_TYPE& type);

    BaseFilter* owner_;
    QString name_;
    PIN_DIRECTION direction_;
    GUID category_;
    ComPtr<IPin> peer_;
    ComPtr<IMemInputPin> peerInput_;
    MediaType connectionType_;
};

class BaseFilter : public ComObject<IBaseFilter> {
public:
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;
    HRESULT EnumPins(IEnumPins** pins) override;
    HRESULT FindPin(const QString& name, IPin** pin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, const QString& name) override;

    FILTER_STATE State() const { return state_.load(); }

    // Hooks for the pins.
    virtual HRESULT CheckMediaType(BasePin* pin, const AM_MEDIA_TYPE& type);
    virtual HRESULT ProposeMediaType(BasePin* pin, int index, MediaType* type);
    virtual HRESULT ReceiveSample(BasePin* pin, IMediaSample* sample);
    virtual void OnConnected(BasePin*) {}
    virtual void OnDisconnected(BasePin*) {}

protected:
    BaseFilter() = default;
    BasePin* AddPin(const QString& name, PIN_DIRECTION direction, const GUID& category = GUID_NULL);
    // A pin of a derived class (one that answers more interfaces).
    template <class Pin> Pin* AddPin(std::unique_ptr<Pin> pin) {
        Pin* raw = pin.get();
        pins_.push_back(std::move(pin));
        return raw;
    }

    // State changes: OnRun may answer S_FALSE (still starting) or fail (the
    // filter then stays stopped); OnStop joins the filter's threads.
    virtual HRESULT OnRun() { return S_OK; }
    virtual void OnStop() {}
    virtual HRESULT OnGetState(DWORD) { return S_OK; }

private:
    std::vector<std::unique_ptr<BasePin>> pins_;
    std::atomic<FILTER_STATE> state_{State_Stopped};
    IFilterGraph* graph_ = nullptr; // not counted: the graph holds us
    QString name_;
};

// A sample that owns its bytes, or wraps a picture (our decoder's output: the
// renderer takes the QImage without a copy).
class MediaSample : public ComObject<IMediaSample> {
public:
    explicit MediaSample(std::vector<BYTE> bytes);
    explicit MediaSample(QImage image);

    HRESULT GetPointer(BYTE** buffer) override;
    LONG GetSize() override;
    LONG GetActualDataLength() override;
    HRESULT SetActualDataLength(LONG length) override;
    HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE** type) override;

    const QImage& Image() const { return image_; }
    // The picture of a sample made by us; null for any other sample.
    static const QImage* ImageOf(IMediaSample* sample);

private:
    std::vector<BYTE> bytes_;
    QImage image_;
    LONG actual_ = 0;
    REFERENCE_TIME start_ = 0;
    REFERENCE_TIME end_ = 0;
    bool timed_ = false;
};

// The streaming thread of one source pin.
class StreamingThread {
public:
    ~StreamingThread() { Stop(); }
    void Start(std::function<void(std::stop_token)> body);
    // Requests the stop and joins. Never call from the thread itself.
    void Stop();
    bool Running() const { return thread_.joinable(); }

private:
    std::jthread thread_;
};

// A snapshot enumerator over counted references.
template <class Enum, class Item> class SnapshotEnum : public ComObject<Enum> {
public:
    explicit SnapshotEnum(std::vector<ComPtr<Item>> items) : items_(std::move(items)) {}
    HRESULT Next(ULONG count, Item** out, ULONG* fetched) override {
        if (!out)
            return E_POINTER;
        ULONG n = 0;
        while (n < count && position_ < items_.size()) {
            out[n] = items_[position_++].get();
            out[n]->AddRef();
            ++n;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override {
        position_ = std::min<std::size_t>(items_.size(), position_ + count);
        return position_ < items_.size() ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        position_ = 0;
        return S_OK;
    }

private:
    std::vector<ComPtr<Item>> items_;
    std::size_t position_ = 0;
};
