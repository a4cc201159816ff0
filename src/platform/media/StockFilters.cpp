#include "platform/media/StockFilters.h"

#include "platform/imaging/Jpeg.h"
#include "platform/media/FilterBase.h"
#include "platform/media/VideoRenderer.h"

#include <QPointer>
#include <QThread>

#include <cstring>
#include <mutex>

namespace {

// ---- Sample grabber ---------------------------------------------------------

class SampleGrabber : public BaseFilter, public ISampleGrabber {
public:
    QUILLET_FORWARD_IUNKNOWN(BaseFilter)

    SampleGrabber() {
        input_ = AddPin(QStringLiteral("Input"), PINDIR_INPUT);
        output_ = AddPin(QStringLiteral("Output"), PINDIR_OUTPUT);
    }
    ~SampleGrabber() override {
        BaseFilter::Stop();
        SetCallback(nullptr, 0);
    }

    HRESULT SetOneShot(BOOL oneShot) override {
        std::lock_guard lock(mutex_);
        oneShot_ = oneShot != 0;
        shotTaken_ = false;
        return S_OK;
    }
    HRESULT SetMediaType(const AM_MEDIA_TYPE* type) override {
        std::lock_guard lock(mutex_);
        accept_ = type ? MediaType(*type) : MediaType();
        return S_OK;
    }
    HRESULT GetConnectedMediaType(AM_MEDIA_TYPE* type) override {
        if (!type)
            return E_POINTER;
        if (!input_->IsConnected())
            return VFW_E_NOT_CONNECTED;
        return input_->ConnectionMediaType(type);
    }
    HRESULT SetBufferSamples(BOOL buffer) override {
        std::lock_guard lock(mutex_);
        bufferSamples_ = buffer != 0;
        if (!bufferSamples_) {
            buffered_.clear();
            hasBuffer_ = false;
        }
        return S_OK;
    }
    HRESULT GetCurrentBuffer(LONG* size, LONG* buffer) override {
        if (!size)
            return E_POINTER;
        std::lock_guard lock(mutex_);
        if (!bufferSamples_ || !hasBuffer_)
            return VFW_E_WRONG_STATE;
        const auto needed = static_cast<LONG>(buffered_.size());
        if (!buffer) {
            *size = needed;
            return S_OK;
        }
        if (*size < needed)
            return E_OUTOFMEMORY;
        std::memcpy(buffer, buffered_.data(), buffered_.size());
        *size = needed;
        return S_OK;
    }
    HRESULT SetCallback(ISampleGrabberCB* callback, LONG which) override {
        if (which != 0 && which != 1)
            return E_INVALIDARG;
        ComPtr<ISampleGrabberCB> previous;
        {
            std::lock_guard lock(mutex_);
            previous = std::move(callback_);
            callback_ = callback;
            which_ = which;
        }
        return S_OK;
    }

    HRESULT CheckMediaType(BasePin* pin, const AM_MEDIA_TYPE& type) override {
        if (pin == input_) {
            std::lock_guard lock(mutex_);
            return accept_.get().majortype == GUID_NULL || MediaTypeMatches(accept_.get(), type)
                       ? S_OK
                       : S_FALSE;
        }
        // The output passes on exactly what comes in.
        return input_->IsConnected() && MediaTypeMatches(input_->ConnectionType().get(), type)
                   ? S_OK
                   : S_FALSE;
    }
    HRESULT ProposeMediaType(BasePin* pin, int index, MediaType* type) override {
        if (pin != output_ || index != 0 || !input_->IsConnected())
            return VFW_S_NO_MORE_ITEMS;
        *type = input_->ConnectionType();
        return S_OK;
    }

    HRESULT ReceiveSample(BasePin*, IMediaSample* sample) override {
        BYTE* bytes = nullptr;
        sample->GetPointer(&bytes);
        const LONG length = sample->GetActualDataLength();
        REFERENCE_TIME start = 0, end = 0;
        const double time = SUCCEEDED(sample->GetTime(&start, &end)) ? start / 1e7 : 0.0;

        ComPtr<ISampleGrabberCB> callback;
        LONG which = 0;
        {
            std::lock_guard lock(mutex_);
            if (oneShot_ && shotTaken_)
                return S_OK;
            shotTaken_ = true;
            if (bufferSamples_) {
                buffered_.assign(bytes, bytes + std::max<LONG>(0, length));
                hasBuffer_ = true;
            }
            callback = callback_;
            which = which_;
        }
        // The callback runs unlocked, so it may call SetCallback itself.
        if (callback) {
            if (which == 1)
                callback->BufferCB(time, bytes, length);
            else
                callback->SampleCB(time, sample);
        }
        if (output_->IsConnected())
            output_->Deliver(sample);
        return S_OK;
    }

protected:
    HRESULT QueryOtherInterface(REFIID iid, void** object) override {
        if (iid == IID_ISampleGrabber) {
            *object = static_cast<ISampleGrabber*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

private:
    BasePin* input_;
    BasePin* output_;
    std::mutex mutex_;
    ComPtr<ISampleGrabberCB> callback_;
    LONG which_ = 0;
    MediaType accept_;
    bool oneShot_ = false;
    bool shotTaken_ = false;
    bool bufferSamples_ = false;
    bool hasBuffer_ = false;
    std::vector<BYTE> buffered_;
};

// ---- Null renderer ----------------------------------------------------------

class NullRenderer : public BaseFilter {
public:
    NullRenderer() { AddPin(QStringLiteral("In"), PINDIR_INPUT); }
};

// ---- MJPEG decoder ----------------------------------------------------------

// Decodes MJPEG to RGB32 at the cheapest scale that still covers the window of
// the renderer it feeds.
class MjpegDecoder : public BaseFilter {
public:
    MjpegDecoder() {
        input_ = AddPin(QStringLiteral("XForm In"), PINDIR_INPUT);
        output_ = AddPin(QStringLiteral("XForm Out"), PINDIR_OUTPUT);
    }
    ~MjpegDecoder() override { BaseFilter::Stop(); }

    HRESULT CheckMediaType(BasePin* pin, const AM_MEDIA_TYPE& type) override {
        if (pin == input_)
            return type.majortype == MEDIATYPE_Video && type.subtype == MEDIASUBTYPE_MJPG &&
                           GetVideoInfoSize(type, nullptr, nullptr)
                       ? S_OK
                       : S_FALSE;
        MediaType own;
        return ProposeMediaType(output_, 0, &own) == S_OK && MediaTypeMatches(own.get(), type)
                   ? S_OK
                   : S_FALSE;
    }
    HRESULT ProposeMediaType(BasePin* pin, int index, MediaType* type) override {
        LONG w = 0, h = 0;
        if (pin != output_ || index != 0 || !input_->IsConnected() ||
            !GetVideoInfoSize(input_->ConnectionType().get(), &w, &h))
            return VFW_S_NO_MORE_ITEMS;
        *type = MediaType::Video(MEDIASUBTYPE_RGB32, w, h);
        return S_OK;
    }
    void OnConnected(BasePin* pin) override {
        if (pin == output_) {
            PIN_INFO info;
            if (SUCCEEDED(output_->Peer()->QueryPinInfo(&info)))
                window_ = VideoRendererWindowOf(info.pFilter.get());
        }
    }
    void OnDisconnected(BasePin* pin) override {
        if (pin == output_)
            window_ = nullptr;
    }

    HRESULT ReceiveSample(BasePin*, IMediaSample* sample) override {
        BYTE* bytes = nullptr;
        if (FAILED(sample->GetPointer(&bytes)) || !output_->IsConnected())
            return S_OK;
        const LONG length = sample->GetActualDataLength();
        VideoRendererWindow* window = window_.data();
        const QSize target = window ? window->TargetSize() : QSize();
        QImage picture =
            DecodeJpegCovering(bytes, static_cast<std::size_t>(std::max<LONG>(0, length)), target);
        if (picture.isNull())
            return S_OK; // a damaged frame is dropped; the stream goes on
        auto out = MakeCom<MediaSample>(std::move(picture));
        REFERENCE_TIME start = 0, end = 0;
        if (SUCCEEDED(sample->GetTime(&start, &end)))
            out->SetTime(&start, &end);
        output_->Deliver(out.get());
        return S_OK;
    }

private:
    BasePin* input_;
    BasePin* output_;
    // Set while stopped (connection time), read by the streaming thread; the
    // window goes away with its owner.
    QPointer<VideoRendererWindow> window_;
};

// ---- Video renderer ---------------------------------------------------------

class VideoRenderer : public BaseFilter, public IVideoWindow {
public:
    QUILLET_FORWARD_IUNKNOWN(BaseFilter)

    VideoRenderer() : window_(new VideoRendererWindow) {
        input_ = AddPin(QStringLiteral("Input"), PINDIR_INPUT);
    }
    ~VideoRenderer() override {
        BaseFilter::Stop();
        if (VideoRendererWindow* window = window_.data()) {
            if (QThread::currentThread() == window->thread())
                delete window;
            else
                window->deleteLater();
        }
    }

    VideoRendererWindow* Window() const { return window_.data(); }

    HRESULT CheckMediaType(BasePin*, const AM_MEDIA_TYPE& type) override {
        LONG w = 0, h = 0;
        return type.majortype == MEDIATYPE_Video && type.subtype == MEDIASUBTYPE_RGB32 &&
                       GetVideoInfoSize(type, &w, &h) && w > 0 && h != 0
                   ? S_OK
                   : S_FALSE;
    }

    HRESULT ReceiveSample(BasePin*, IMediaSample* sample) override {
        QImage frame;
        if (const QImage* picture = MediaSample::ImageOf(sample)) {
            frame = *picture;
        } else {
            // A plain RGB32 buffer in the connection's layout (bottom-up for
            // a positive height).
            LONG w = 0, h = 0;
            BYTE* bytes = nullptr;
            if (!GetVideoInfoSize(input_->ConnectionType().get(), &w, &h) ||
                FAILED(sample->GetPointer(&bytes)))
                return S_OK;
            const LONG rows = h < 0 ? -h : h;
            const qsizetype stride = static_cast<qsizetype>(w) * 4;
            if (sample->GetActualDataLength() < stride * rows)
                return S_OK;
            frame = QImage(bytes, w, rows, stride, QImage::Format_RGB32).copy();
            if (h > 0)
                frame = frame.mirrored(false, true);
        }
        if (VideoRendererWindow* window = window_.data())
            window->PresentFrame(std::move(frame));
        return S_OK;
    }

    HRESULT put_WindowStyle(LONG style) override {
        style_ = style;
        return S_OK;
    }
    HRESULT get_WindowStyle(LONG* style) override {
        if (!style)
            return E_POINTER;
        *style = style_;
        return S_OK;
    }
    HRESULT put_Visible(LONG visible) override {
        if (!window_)
            return E_UNEXPECTED;
        visible_ = visible != OAFALSE;
        window_->setVisible(visible_);
        return S_OK;
    }
    HRESULT get_Visible(LONG* visible) override {
        if (!visible)
            return E_POINTER;
        *visible = visible_ ? OATRUE : OAFALSE;
        return S_OK;
    }
    HRESULT put_Owner(OAHWND owner) override {
        if (!window_)
            return E_UNEXPECTED;
        const QRect geometry = window_->geometry();
        window_->setParent(owner);
        window_->setGeometry(geometry);
        owner_ = owner;
        // Reparenting hides a widget; keep what was asked for.
        if (visible_)
            window_->show();
        return S_OK;
    }
    HRESULT get_Owner(OAHWND* owner) override {
        if (!owner)
            return E_POINTER;
        *owner = owner_.data();
        return S_OK;
    }
    HRESULT put_MessageDrain(OAHWND drain) override {
        if (!window_)
            return E_UNEXPECTED;
        window_->SetMessageDrain(drain);
        return S_OK;
    }
    HRESULT get_MessageDrain(OAHWND* drain) override {
        if (!drain)
            return E_POINTER;
        *drain = window_ ? window_->MessageDrain() : nullptr;
        return S_OK;
    }
    HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override {
        if (!window_)
            return E_UNEXPECTED;
        if (width < 0 || height < 0)
            return E_INVALIDARG;
        window_->setGeometry(left, top, width, height);
        window_->NoteGeometry();
        return S_OK;
    }
    HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) override {
        if (!left || !top || !width || !height)
            return E_POINTER;
        if (!window_)
            return E_UNEXPECTED;
        const QRect g = window_->geometry();
        *left = g.x();
        *top = g.y();
        *width = g.width();
        *height = g.height();
        return S_OK;
    }

protected:
    HRESULT QueryOtherInterface(REFIID iid, void** object) override {
        if (iid == IID_IVideoWindow) {
            *object = static_cast<IVideoWindow*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

private:
    BasePin* input_;
    QPointer<VideoRendererWindow> window_;
    QPointer<QWidget> owner_;
    LONG style_ = 0;
    bool visible_ = false;
};

} // namespace

ComPtr<IBaseFilter> CreateSampleGrabberFilter() {
    return MakeCom<SampleGrabber>();
}
ComPtr<IBaseFilter> CreateNullRendererFilter() {
    return MakeCom<NullRenderer>();
}
ComPtr<IBaseFilter> CreateMjpegDecoderFilter() {
    return MakeCom<MjpegDecoder>();
}
ComPtr<IBaseFilter> CreateVideoRendererFilter() {
    return MakeCom<VideoRenderer>();
}

bool IsVideoRendererFilter(IBaseFilter* filter) {
    return dynamic_cast<VideoRenderer*>(filter) != nullptr;
}

VideoRendererWindow* VideoRendererWindowOf(IBaseFilter* renderer) {
    auto* own = dynamic_cast<VideoRenderer*>(renderer);
    return own ? own->Window() : nullptr;
}
