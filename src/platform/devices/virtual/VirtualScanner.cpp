#include "platform/devices/virtual/VirtualScanner.h"

#include "platform/DeviceNotifier.h"
#include "platform/imaging/Jpeg.h"
#include "platform/media/FilterBase.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>
#include <numbers>

namespace {

constexpr std::uint64_t kIdentityCommand = 0x00000008000000D0ull;
constexpr ULONG kCommandControl = 10;
constexpr ULONG kAnswerControl = 11;

HRESULT NotConnected() {
    return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
}

// Device notifications go out on the UI thread.
void BroadcastOnUiThread(std::uint32_t event, const QString& path) {
    auto send = [event, path] {
        DeviceBroadcast data;
        data.name = path;
        SystemDeviceNotifier().Broadcast(event, data);
    };
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        send();
    else
        QMetaObject::invokeMethod(app, send, Qt::QueuedConnection);
}

struct PropertyState {
    VirtualProperty range;
    LONG value = 0;
    LONG flags = 0;
};

struct UnitControlState {
    VirtualUnitControl config;
    QByteArray bytes;
    int notReadyLeft = 0;
};

// ---- The picture ------------------------------------------------------------

// The scene as it sits on the film: a colour negative with its orange mask,
// inside a strip with sprocket holes.
constexpr double kMask[3] = {1.0, 0.72, 0.45}; // red, green, blue transmission of the base

QImage DrawScene(int width, int height) {
    QImage scene(width, height, QImage::Format_RGB32);
    scene.fill(QColor(18, 18, 18));
    QPainter p(&scene);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = width, h = height;
    // The frame window of the strip.
    const QRectF frame(w * 0.06, h * 0.12, w * 0.88, h * 0.76);
    QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
    sky.setColorAt(0.0, QColor(40, 110, 200));
    sky.setColorAt(0.55, QColor(170, 205, 235));
    sky.setColorAt(1.0, QColor(230, 220, 190));
    p.fillRect(frame, sky);
    p.setClipRect(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 80));
    p.drawEllipse(QPointF(frame.left() + frame.width() * 0.78, frame.top() + frame.height() * 0.22),
                  frame.height() * 0.09, frame.height() * 0.09);
    QPainterPath hills;
    hills.moveTo(frame.bottomLeft());
    hills.lineTo(frame.left(), frame.top() + frame.height() * 0.62);
    hills.cubicTo(frame.left() + frame.width() * 0.3, frame.top() + frame.height() * 0.45,
                  frame.left() + frame.width() * 0.55, frame.top() + frame.height() * 0.75,
                  frame.right(), frame.top() + frame.height() * 0.55);
    hills.lineTo(frame.bottomRight());
    hills.closeSubpath();
    p.setBrush(QColor(60, 140, 55));
    p.drawPath(hills);
    // A red house with a dark roof.
    const QRectF house(frame.left() + frame.width() * 0.2, frame.top() + frame.height() * 0.55,
                       frame.width() * 0.16, frame.height() * 0.2);
    p.setBrush(QColor(200, 40, 35));
    p.drawRect(house);
    QPolygonF roof;
    roof << QPointF(house.left() - house.width() * 0.1, house.top())
         << QPointF(house.center().x(), house.top() - house.height() * 0.55)
         << QPointF(house.right() + house.width() * 0.1, house.top());
    p.setBrush(QColor(70, 45, 40));
    p.drawPolygon(roof);
    // A grey scale and colour patches along the bottom edge.
    const QColor patches[] = {Qt::black,
                              QColor(64, 64, 64),
                              QColor(128, 128, 128),
                              QColor(192, 192, 192),
                              Qt::white,
                              Qt::red,
                              Qt::green,
                              Qt::blue,
                              Qt::yellow};
    const double pw = frame.width() / std::size(patches);
    for (std::size_t i = 0; i < std::size(patches); ++i) {
        p.setBrush(patches[i]);
        p.drawRect(QRectF(frame.left() + i * pw, frame.bottom() - frame.height() * 0.08, pw,
                          frame.height() * 0.08));
    }
    p.setClipping(false);
    p.end();

    // Expose it on the film: invert and tint with the mask (the border of the
    // strip is unexposed base, which is orange on a negative).
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(scene.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb c = line[x];
            line[x] = qRgb(static_cast<int>((255 - qRed(c)) * kMask[0]),
                           static_cast<int>((255 - qGreen(c)) * kMask[1]),
                           static_cast<int>((255 - qBlue(c)) * kMask[2]));
        }
    }
    // Sprocket holes let the lamp through unfiltered.
    QPainter holes(&scene);
    holes.setPen(Qt::NoPen);
    holes.setBrush(QColor(250, 250, 250));
    const double holeW = w * 0.035, holeH = h * 0.055;
    for (double x = w * 0.02; x < w; x += w * 0.075) {
        holes.drawRoundedRect(QRectF(x, h * 0.03, holeW, holeH), holeW * 0.2, holeW * 0.2);
        holes.drawRoundedRect(QRectF(x, h - h * 0.03 - holeH, holeW, holeH), holeW * 0.2,
                              holeW * 0.2);
    }
    return scene;
}

struct PictureSettings {
    LONG brightness = 0, contrast = 50, saturation = 50, gamma = 300;
    LONG red = 128, green = 128, blue = 128;
    LONG filmType = 1; // 1: negative, inverted by the device
};

// Applies the device's settings: one table per channel for inversion, gains,
// brightness, contrast and gamma, then the saturation blend.
QImage ApplySettings(const QImage& film, const PictureSettings& s) {
    std::uint8_t table[3][256];
    const LONG gains[3] = {s.red, s.green, s.blue};
    const double gamma = 300.0 / std::max<LONG>(1, s.gamma);
    for (int c = 0; c < 3; ++c) {
        for (int v = 0; v < 256; ++v) {
            double x = v;
            if (s.filmType != 0)
                x = 255.0 - std::min(255.0, v / kMask[c]);
            x = x * gains[c] / 128.0;
            x += s.brightness * 2.0;
            x = (x - 128.0) * s.contrast / 50.0 + 128.0;
            x = std::clamp(x, 0.0, 255.0);
            x = 255.0 * std::pow(x / 255.0, gamma);
            table[c][v] = static_cast<std::uint8_t>(std::lround(std::clamp(x, 0.0, 255.0)));
        }
    }
    QImage out(film.size(), QImage::Format_RGB32);
    const int sat = std::max<LONG>(0, s.saturation);
    for (int y = 0; y < film.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(film.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < film.width(); ++x) {
            const int r = table[0][qRed(in[x])];
            const int g = table[1][qGreen(in[x])];
            const int b = table[2][qBlue(in[x])];
            const int grey = (r * 77 + g * 151 + b * 28) >> 8;
            auto blend = [&](int v) { return std::clamp(grey + (v - grey) * sat / 50, 0, 255); };
            line[x] = qRgb(blend(r), blend(g), blend(b));
        }
    }
    return out;
}

class VirtualScannerFilter;

} // namespace

// ---- Device state -------------------------------------------------------------

class VirtualScannerDevice {
public:
    explicit VirtualScannerDevice(VirtualScannerConfig config) : config_(std::move(config)) {
        busy_ = config_.busy;
        identityAnswer_ = config_.identityAnswer;
        for (const auto& [id, range] : config_.procAmp)
            properties_[0][id] = {range, range.defaultValue, InitialFlags(range)};
        for (const auto& [id, range] : config_.cameraControl)
            properties_[1][id] = {range, range.defaultValue, InitialFlags(range)};
        for (const auto& [id, control] : config_.unitControls) {
            UnitControlState state{control, control.value, control.notReadyAnswers};
            state.bytes.resize(static_cast<qsizetype>(control.length), '\0');
            units_[id] = state;
        }
        captureIndex_ = config_.captureFormatIndex;
        stillIndex_ = config_.stillFormatIndex;
    }

    static LONG InitialFlags(const VirtualProperty& range) {
        return (range.capsFlags & 2) ? 2 : (range.capsFlags & 1);
    }

    const VirtualScannerConfig& Config() const { return config_; }
    bool Plugged() const { return plugged_.load(); }

    // Streaming ownership: one filter at a time may run the device.
    HRESULT Acquire(VirtualScannerFilter* filter) {
        std::lock_guard lock(mutex_);
        if (!plugged_)
            return NotConnected();
        if (owner_ && owner_ != filter)
            return HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
        owner_ = filter;
        return S_OK;
    }
    void ReleaseOwner(VirtualScannerFilter* filter) {
        std::lock_guard lock(mutex_);
        if (owner_ == filter)
            owner_ = nullptr;
    }
    bool Busy() const {
        std::lock_guard lock(mutex_);
        return busy_;
    }
    void SetBusy(bool busy) {
        std::lock_guard lock(mutex_);
        busy_ = busy;
    }

    void Unplug();
    bool RequestFrame();

    // Properties.
    HRESULT GetRange(int iface, LONG property, LONG* min, LONG* max, LONG* step, LONG* def,
                     LONG* caps) {
        if (!min || !max || !step || !def || !caps)
            return E_POINTER;
        std::lock_guard lock(mutex_);
        if (!plugged_)
            return NotConnected();
        auto it = properties_[iface].find(property);
        if (it == properties_[iface].end())
            return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        const VirtualProperty& r = it->second.range;
        *min = r.min;
        *max = r.max;
        *step = r.step;
        *def = r.defaultValue;
        *caps = r.capsFlags;
        return S_OK;
    }
    HRESULT GetProperty(int iface, LONG property, LONG* value, LONG* flags) {
        if (!value || !flags)
            return E_POINTER;
        std::lock_guard lock(mutex_);
        if (!plugged_)
            return NotConnected();
        auto it = properties_[iface].find(property);
        if (it == properties_[iface].end())
            return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        *value = it->second.value;
        *flags = it->second.flags;
        return S_OK;
    }
    HRESULT SetProperty(int iface, LONG property, LONG value, LONG flags) {
        std::lock_guard lock(mutex_);
        HRESULT hr = S_OK;
        auto it = properties_[iface].find(property);
        if (!plugged_)
            hr = NotConnected();
        else if (it == properties_[iface].end())
            hr = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        else if (value < it->second.range.min || value > it->second.range.max ||
                 (flags & ~3) != 0 || ((flags & 1) && !(it->second.range.capsFlags & 1)))
            hr = E_INVALIDARG;
        if (SUCCEEDED(hr)) {
            it->second.value = value;
            it->second.flags = flags;
            ++generation_;
        }
        writes_.push_back({iface, property, value, flags, hr});
        return hr;
    }
    LONG PropertyValue(int iface, LONG property) const {
        std::lock_guard lock(mutex_);
        auto it = properties_[iface].find(property);
        return it == properties_[iface].end() ? 0 : it->second.value;
    }

    // Extension unit.
    std::vector<GUID> Nodes(ULONG* unitNode) const {
        std::vector<GUID> nodes = {KSNODETYPE_VIDEO_CAMERA_TERMINAL, KSNODETYPE_VIDEO_PROCESSING};
        if (config_.foreignNodeFirst)
            nodes.push_back(KSNODETYPE_DEV_SPECIFIC);
        *unitNode = 0xFFFFFFFFu;
        if (config_.hasExtensionUnit) {
            *unitNode = static_cast<ULONG>(nodes.size());
            nodes.push_back(KSNODETYPE_DEV_SPECIFIC);
        }
        nodes.push_back(KSNODETYPE_VIDEO_STREAMING);
        return nodes;
    }

    QByteArray InfoBlock() const {
        std::uint32_t bitmap = 0;
        int count = 0;
        ULONG highest = 0;
        for (const auto& [id, control] : units_) {
            if (id >= 1 && id <= 32) {
                bitmap |= 1u << (id - 1);
                ++count;
                highest = std::max(highest, id);
            }
        }
        int bytes = config_.controlBitmapBytes;
        if (bytes < 0)
            bytes = std::max<int>(1, static_cast<int>((highest + 7) / 8));
        QByteArray block(reinterpret_cast<const char*>(&KSPROPSETID_ScannerExtensionUnit),
                         sizeof(GUID));
        block.append(static_cast<char>(count));
        block.append(char(1)); // one input pin
        block.append(char(2)); // its source: the processing unit
        block.append(static_cast<char>(bytes));
        for (int i = 0; i < bytes; ++i)
            block.append(static_cast<char>(i < 4 ? (bitmap >> (8 * i)) & 0xFF : 0));
        return block;
    }

    HRESULT KsProperty(KSPROPERTY* property, ULONG propertyLength, void* data, ULONG dataLength,
                       ULONG* bytesReturned) {
        if (!property)
            return E_POINTER;
        if (propertyLength < sizeof(KSPROPERTY))
            return E_INVALIDARG;
        std::lock_guard lock(mutex_);
        VirtualKsCall call;
        call.id = property->Id;
        call.flags = property->Flags;
        call.dataLength = dataLength;
        call.hasData = data != nullptr;
        ULONG returned = 0;
        HRESULT hr = Dispatch(property, propertyLength, data, dataLength, &returned, &call.nodeId);
        call.result = hr;
        call.bytesReturned = returned;
        if (bytesReturned)
            *bytesReturned = returned;
        ks_.push_back(call);
        return hr;
    }

    // Formats.
    const std::vector<VirtualCapability>& Caps(bool still) const {
        return still ? config_.stillCaps : config_.captureCaps;
    }
    int FormatIndex(bool still) const {
        std::lock_guard lock(mutex_);
        return still ? stillIndex_ : captureIndex_;
    }
    void SetFormatIndex(bool still, int index) {
        std::lock_guard lock(mutex_);
        (still ? stillIndex_ : captureIndex_) = index;
    }
    static MediaType TypeOf(const VirtualCapability& cap) {
        return MediaType::Video(cap.subtype, cap.width, cap.height, 666666, cap.formatType,
                                cap.formatSize);
    }
    // The pin's current capability; false when the index is outside the list.
    bool CurrentCap(bool still, VirtualCapability* cap) const {
        const auto& caps = Caps(still);
        const int index = FormatIndex(still);
        if (index < 0 || index >= static_cast<int>(caps.size()))
            return false;
        *cap = caps[static_cast<std::size_t>(index)];
        return true;
    }
    bool CurrentSize(bool still, LONG* width, LONG* height) const {
        VirtualCapability cap;
        if (!CurrentCap(still, &cap))
            return false;
        *width = cap.width;
        *height = cap.height;
        return true;
    }

    // The picture, properties applied; cached while nothing changes.
    QImage Picture(int width, int height) {
        PictureSettings s;
        std::uint64_t generation = 0;
        {
            std::lock_guard lock(mutex_);
            generation = generation_;
            auto value = [&](int iface, LONG id, LONG fallback) {
                auto it = properties_[iface].find(id);
                return it == properties_[iface].end() ? fallback : it->second.value;
            };
            s.brightness = value(0, VideoProcAmp_Brightness, 0);
            s.contrast = value(0, VideoProcAmp_Contrast, 50);
            s.saturation = value(0, VideoProcAmp_Saturation, 50);
            s.gamma = value(0, VideoProcAmp_Gamma, 300);
            s.red = value(1, CameraControl_Pan, 128);
            s.blue = value(1, CameraControl_Tilt, 128);
            s.green = value(1, CameraControl_Zoom, 128);
            s.filmType = value(1, CameraControl_Roll, 1);
        }
        std::lock_guard cacheLock(cacheMutex_);
        for (auto& entry : pictures_)
            if (entry.size == QSize(width, height) && entry.generation == generation)
                return entry.picture;
        QImage film;
        for (auto& entry : films_)
            if (entry.first == QSize(width, height))
                film = entry.second;
        if (film.isNull()) {
            film = DrawScene(width, height);
            films_.emplace_back(QSize(width, height), film);
            if (films_.size() > 3)
                films_.pop_front();
        }
        QImage picture = ApplySettings(film, s);
        pictures_.push_back({QSize(width, height), generation, picture, {}});
        if (pictures_.size() > 3)
            pictures_.pop_front();
        return picture;
    }
    QByteArray Jpeg(int width, int height, int quality) {
        const QImage picture = Picture(width, height);
        std::lock_guard cacheLock(cacheMutex_);
        for (auto& entry : pictures_) {
            if (entry.picture.constBits() == picture.constBits()) {
                if (entry.jpeg.isEmpty())
                    entry.jpeg = EncodeJpeg(picture, quality);
                return entry.jpeg;
            }
        }
        return EncodeJpeg(picture, quality);
    }

    // Counters for tests.
    void CountFrame() {
        std::lock_guard lock(mutex_);
        ++frames_;
        counters_.notify_all();
    }
    void CountStill() {
        std::lock_guard lock(mutex_);
        ++stills_;
        counters_.notify_all();
    }
    void CountTrigger() {
        std::lock_guard lock(mutex_);
        ++triggers_;
    }
    bool WaitFor(const int& counter, int count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return counters_.wait_for(lock, timeout, [&] { return counter >= count; });
    }

    QByteArray IdentityAnswer() const {
        std::lock_guard lock(mutex_);
        return identityAnswer_;
    }
    void SetIdentityAnswer(const QByteArray& answer) {
        std::lock_guard lock(mutex_);
        identityAnswer_ = answer;
    }

    mutable std::mutex mutex_;
    std::condition_variable counters_;
    int frames_ = 0;
    int stills_ = 0;
    int triggers_ = 0;
    std::vector<VirtualKsCall> ks_;
    std::vector<VirtualPropertyWrite> writes_;
    std::map<ULONG, UnitControlState> units_;
    VirtualScannerFilter* owner_ = nullptr;
    std::atomic<bool> plugged_{true};

private:
    HRESULT Dispatch(KSPROPERTY* property, ULONG propertyLength, void* data, ULONG dataLength,
                     ULONG* returned, ULONG* nodeOut) {
        if (!plugged_)
            return NotConnected();
        if (property->Set != KSPROPSETID_ScannerExtensionUnit || !config_.hasExtensionUnit)
            return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
        if (!(property->Flags & KSPROPERTY_TYPE_TOPOLOGY))
            return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
        if (propertyLength < sizeof(KSP_NODE))
            return E_INVALIDARG;
        const auto* node = reinterpret_cast<const KSP_NODE*>(property);
        *nodeOut = node->NodeId;
        ULONG unitNode = 0;
        Nodes(&unitNode);
        if (node->NodeId != unitNode)
            return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
        const ULONG id = property->Id;
        const ULONG op = property->Flags & ~KSPROPERTY_TYPE_TOPOLOGY;

        if (op == KSPROPERTY_TYPE_SETSUPPORT)
            return S_OK;
        if (id == 0) {
            if (op != KSPROPERTY_TYPE_GET)
                return op == KSPROPERTY_TYPE_BASICSUPPORT
                           ? Answer(KSPROPERTY_TYPE_GET, data, dataLength, returned)
                           : E_INVALIDARG;
            const QByteArray block = InfoBlock();
            return Copy(block, data, dataLength, returned, ERROR_MORE_DATA);
        }
        auto it = units_.find(id);
        if (it == units_.end())
            return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        UnitControlState& control = it->second;
        switch (op) {
        case KSPROPERTY_TYPE_BASICSUPPORT:
            if (control.config.support == 0)
                return HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
            return Answer(control.config.support, data, dataLength, returned);
        case KSPROPERTY_TYPE_GET:
            if (!(control.config.support & KSPROPERTY_TYPE_GET))
                return HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
            if (control.notReadyLeft != 0) {
                if (control.notReadyLeft > 0)
                    --control.notReadyLeft;
                return HRESULT_FROM_WIN32(ERROR_NOT_READY);
            }
            return Copy(control.bytes, data, dataLength, returned, config_.lengthQueryError);
        case KSPROPERTY_TYPE_SET: {
            if (!(control.config.support & KSPROPERTY_TYPE_SET))
                return HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
            if (!data || dataLength < control.config.length)
                return HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER);
            std::memcpy(control.bytes.data(), data, control.config.length);
            if (id == kCommandControl)
                RunCommand(control.bytes);
            return S_OK;
        }
        default:
            return E_INVALIDARG;
        }
    }

    static HRESULT Answer(ULONG value, void* data, ULONG dataLength, ULONG* returned) {
        *returned = sizeof(ULONG);
        if (!data || dataLength < sizeof(ULONG))
            return HRESULT_FROM_WIN32(ERROR_MORE_DATA);
        std::memcpy(data, &value, sizeof value);
        return S_OK;
    }

    static HRESULT Copy(const QByteArray& bytes, void* data, ULONG dataLength, ULONG* returned,
                        std::uint32_t shortError) {
        *returned = static_cast<ULONG>(bytes.size());
        if (!data || dataLength < static_cast<ULONG>(bytes.size()))
            return HRESULT_FROM_WIN32(shortError);
        std::memcpy(data, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return S_OK;
    }

    // The chip's identity query: the command control selects what the
    // answer control holds.
    void RunCommand(const QByteArray& command) {
        std::uint64_t value = 0;
        std::memcpy(&value, command.constData(),
                    std::min<std::size_t>(sizeof value, static_cast<std::size_t>(command.size())));
        auto answer = units_.find(kAnswerControl);
        if (answer == units_.end())
            return;
        QByteArray& bytes = answer->second.bytes;
        bytes.fill('\0');
        const std::uint64_t mask =
            command.size() >= 8 ? ~0ull : ((1ull << (8 * command.size())) - 1);
        if (value == (kIdentityCommand & mask)) {
            std::memcpy(bytes.data(), identityAnswer_.constData(),
                        static_cast<std::size_t>(std::min(bytes.size(), identityAnswer_.size())));
        }
    }

    struct CachedPicture {
        QSize size;
        std::uint64_t generation;
        QImage picture;
        QByteArray jpeg;
    };

    VirtualScannerConfig config_;
    bool busy_ = false;
    QByteArray identityAnswer_;
    std::map<LONG, PropertyState> properties_[2];
    int captureIndex_ = 0;
    int stillIndex_ = 0;
    std::uint64_t generation_ = 0;
    std::mutex cacheMutex_;
    std::deque<std::pair<QSize, QImage>> films_;
    std::deque<CachedPicture> pictures_;
};

namespace {

// An output pin with stream configuration.
class ConfigPin : public BasePin, public IAMStreamConfig {
public:
    ConfigPin(BaseFilter* owner, const QString& name, const GUID& category,
              std::shared_ptr<VirtualScannerDevice> device, bool still)
        : BasePin(owner, name, PINDIR_OUTPUT, category), device_(std::move(device)), still_(still) {
    }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object && iid == IID_IAMStreamConfig) {
            *object = static_cast<IAMStreamConfig*>(this);
            AddRef();
            return S_OK;
        }
        return BasePin::QueryInterface(iid, object);
    }
    ULONG AddRef() override { return BasePin::AddRef(); }
    ULONG Release() override { return BasePin::Release(); }

    HRESULT SetFormat(AM_MEDIA_TYPE* type) override {
        if (!type)
            return E_POINTER;
        if (!device_->Plugged())
            return NotConnected();
        if (device_->Config().setFormatFails)
            return E_FAIL;
        if (Owner()->State() != State_Stopped)
            return VFW_E_NOT_STOPPED;
        // The connection was made with the old format.
        if (IsConnected())
            return VFW_E_ALREADY_CONNECTED;
        const auto& caps = device_->Caps(still_);
        for (std::size_t i = 0; i < caps.size(); ++i) {
            const MediaType offered = VirtualScannerDevice::TypeOf(caps[i]);
            const AM_MEDIA_TYPE& o = offered.get();
            if (o.majortype != type->majortype || o.subtype != type->subtype ||
                o.formattype != type->formattype)
                continue;
            LONG w = 0, h = 0;
            const bool sized = GetVideoInfoSize(*type, &w, &h);
            if (sized ? (w == caps[i].width && h == caps[i].height) : MediaTypeMatches(o, *type)) {
                device_->SetFormatIndex(still_, static_cast<int>(i));
                return S_OK;
            }
        }
        return VFW_E_INVALIDMEDIATYPE;
    }

    HRESULT GetFormat(AM_MEDIA_TYPE** type) override {
        if (!type)
            return E_POINTER;
        *type = nullptr;
        if (!device_->Plugged())
            return NotConnected();
        MediaType current;
        if (!Current(&current))
            return E_FAIL;
        *type = current.Copy();
        return *type ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT GetNumberOfCapabilities(int* count, int* size) override {
        if (!count || !size)
            return E_POINTER;
        if (!device_->Plugged())
            return NotConnected();
        *count = static_cast<int>(device_->Caps(still_).size());
        *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
        return S_OK;
    }

    HRESULT GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override {
        if (!type)
            return E_POINTER;
        *type = nullptr;
        if (!device_->Plugged())
            return NotConnected();
        const auto& list = device_->Caps(still_);
        if (index < 0)
            return E_INVALIDARG;
        if (index >= static_cast<int>(list.size()))
            return S_FALSE;
        const VirtualCapability& cap = list[static_cast<std::size_t>(index)];
        *type = VirtualScannerDevice::TypeOf(cap).Copy();
        if (caps) {
            VIDEO_STREAM_CONFIG_CAPS c{};
            c.guid = cap.formatType;
            c.InputSize = {cap.width, cap.height};
            c.MinCroppingSize = c.MaxCroppingSize = c.MinOutputSize = c.MaxOutputSize = c.InputSize;
            c.CropGranularityX = c.CropGranularityY = c.OutputGranularityX = c.OutputGranularityY =
                1;
            c.MinFrameInterval = c.MaxFrameInterval = 666666;
            // 12 bits a pixel at 15 frames a second, held at the field's limit
            // for the largest formats.
            const long long bitRate = 12LL * 15 * cap.width * cap.height;
            c.MinBitsPerSecond = c.MaxBitsPerSecond =
                static_cast<LONG>(std::min<long long>(bitRate, std::numeric_limits<LONG>::max()));
            std::memcpy(caps, &c, sizeof c);
        }
        return *type ? S_OK : E_OUTOFMEMORY;
    }

    bool Current(MediaType* type) const {
        VirtualCapability cap;
        if (!CurrentCap(&cap))
            return false;
        *type = VirtualScannerDevice::TypeOf(cap);
        return true;
    }
    bool CurrentCap(VirtualCapability* cap) const { return device_->CurrentCap(still_, cap); }

private:
    std::shared_ptr<VirtualScannerDevice> device_;
    bool still_;
};

// The capture filter a device moniker binds to.
class VirtualScannerFilter : public BaseFilter,
                             public IKsControl,
                             public IKsTopologyInfo,
                             public IAMVideoProcAmp,
                             public IAMVideoControl {
public:
    QUILLET_FORWARD_IUNKNOWN(BaseFilter)

    explicit VirtualScannerFilter(std::shared_ptr<VirtualScannerDevice> device)
        : device_(std::move(device)) {
        capture_ = AddPin(std::make_unique<ConfigPin>(this, QStringLiteral("Capture"),
                                                      PIN_CATEGORY_CAPTURE, device_, false));
        if (device_->Config().hasStillPin)
            still_ = AddPin(std::make_unique<ConfigPin>(this, QStringLiteral("Still"),
                                                        PIN_CATEGORY_STILL, device_, true));
    }
    ~VirtualScannerFilter() override { BaseFilter::Stop(); }

    // Called by the device (under its lock) when tests ask for a frame or it
    // is unplugged.
    void Wake(bool frame) {
        std::lock_guard lock(streamMutex_);
        if (frame)
            ++frameRequests_;
        streamWake_.notify_all();
    }
    bool Streaming() const { return State() == State_Running && captureThread_.Running(); }

    // Pins.
    HRESULT CheckMediaType(BasePin* pin, const AM_MEDIA_TYPE& type) override {
        MediaType current;
        return static_cast<ConfigPin*>(pin)->Current(&current) &&
                       MediaTypeMatches(current.get(), type)
                   ? S_OK
                   : S_FALSE;
    }
    HRESULT ProposeMediaType(BasePin* pin, int index, MediaType* type) override {
        if (index != 0 || !static_cast<ConfigPin*>(pin)->Current(type))
            return VFW_S_NO_MORE_ITEMS;
        return S_OK;
    }

    // IKsControl
    HRESULT KsProperty(KSPROPERTY* property, ULONG propertyLength, void* data, ULONG dataLength,
                       ULONG* bytesReturned) override {
        return device_->KsProperty(property, propertyLength, data, dataLength, bytesReturned);
    }
    HRESULT KsMethod(KSPROPERTY*, ULONG, void*, ULONG, ULONG* bytesReturned) override {
        if (bytesReturned)
            *bytesReturned = 0;
        return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
    }
    HRESULT KsEvent(KSPROPERTY*, ULONG, void*, ULONG, ULONG* bytesReturned) override {
        if (bytesReturned)
            *bytesReturned = 0;
        return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
    }

    // IKsTopologyInfo
    HRESULT get_NumNodes(DWORD* count) override {
        if (!count)
            return E_POINTER;
        ULONG unit = 0;
        *count = static_cast<DWORD>(device_->Nodes(&unit).size());
        return S_OK;
    }
    HRESULT get_NodeType(DWORD index, GUID* type) override {
        if (!type)
            return E_POINTER;
        ULONG unit = 0;
        const auto nodes = device_->Nodes(&unit);
        if (index >= nodes.size())
            return E_INVALIDARG;
        *type = nodes[index];
        return S_OK;
    }
    HRESULT get_NodeName(DWORD index, QString* name) override {
        if (!name)
            return E_POINTER;
        ULONG unit = 0;
        const auto nodes = device_->Nodes(&unit);
        if (index >= nodes.size())
            return E_INVALIDARG;
        *name =
            index == unit ? QStringLiteral("Extension Unit") : QStringLiteral("Node %1").arg(index);
        return S_OK;
    }

    // IAMVideoProcAmp. IAMCameraControl has the same signatures, so it is
    // answered by a small forwarding object instead.
    HRESULT GetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* def,
                     LONG* caps) override {
        return device_->GetRange(0, property, min, max, step, def, caps);
    }
    HRESULT Set(LONG property, LONG value, LONG flags) override {
        return device_->SetProperty(0, property, value, flags);
    }
    HRESULT Get(LONG property, LONG* value, LONG* flags) override {
        return device_->GetProperty(0, property, value, flags);
    }

    // IAMVideoControl
    // Which of this filter's output pins a video-control call is about.
    enum class PinRole { Still, Capture, Foreign };
    PinRole RoleOf(IPin* pin) const {
        if (still_ && pin == static_cast<IPin*>(still_))
            return PinRole::Still;
        return pin == static_cast<IPin*>(capture_) ? PinRole::Capture : PinRole::Foreign;
    }

    HRESULT GetCaps(IPin* pin, LONG* caps) override {
        if (!pin || !caps)
            return E_POINTER;
        switch (RoleOf(pin)) {
        case PinRole::Still:
            *caps = VideoControlFlag_Trigger | VideoControlFlag_ExternalTriggerEnable;
            return S_OK;
        case PinRole::Capture:
            *caps = 0;
            return S_OK;
        case PinRole::Foreign:
            break;
        }
        return E_INVALIDARG;
    }
    HRESULT SetMode(IPin* pin, LONG mode) override {
        if (!pin)
            return E_POINTER;
        if (const PinRole role = RoleOf(pin); role != PinRole::Still)
            return role == PinRole::Capture && mode == 0 ? S_OK : E_INVALIDARG;
        if (!device_->Plugged())
            return NotConnected();
        stillMode_ = mode & ~VideoControlFlag_Trigger;
        if (!(mode & VideoControlFlag_Trigger))
            return S_OK;
        device_->CountTrigger();
        if (State() != State_Running || !stillThread_.Running())
            return VFW_E_NOT_RUNNING;
        {
            std::lock_guard lock(streamMutex_);
            ++triggers_;
        }
        streamWake_.notify_all();
        return S_OK;
    }
    HRESULT GetMode(IPin* pin, LONG* mode) override {
        if (!pin || !mode)
            return E_POINTER;
        switch (RoleOf(pin)) {
        case PinRole::Still:
            *mode = stillMode_;
            return S_OK;
        case PinRole::Capture:
            *mode = 0;
            return S_OK;
        case PinRole::Foreign:
            break;
        }
        return E_INVALIDARG;
    }

protected:
    HRESULT QueryOtherInterface(REFIID iid, void** object) override;

    HRESULT OnRun() override {
        if (!device_->Plugged())
            return NotConnected();
        const bool delayed = device_->Config().startDelay.count() > 0;
        if (device_->Busy() && !delayed)
            return device_->Config().busyCode;
        HRESULT hr = device_->Acquire(this);
        if (FAILED(hr))
            return hr;
        startAt_ = std::chrono::steady_clock::now() + device_->Config().startDelay;
        {
            std::lock_guard lock(streamMutex_);
            frameRequests_ = 0;
            triggers_ = 0;
        }
        if (delayed && device_->Busy()) {
            // The failure shows once the start would have completed.
            failAfterStart_ = true;
            return S_FALSE;
        }
        failAfterStart_ = false;
        if (capture_->IsConnected())
            captureThread_.Start([this](std::stop_token stop) { CaptureLoop(stop); });
        if (still_ && still_->IsConnected())
            stillThread_.Start([this](std::stop_token stop) { StillLoop(stop); });
        return delayed ? S_FALSE : S_OK;
    }

    void OnStop() override {
        captureThread_.Stop();
        stillThread_.Stop();
        device_->ReleaseOwner(this);
    }

    HRESULT OnGetState(DWORD milliseconds) override {
        const auto now = std::chrono::steady_clock::now();
        if (now < startAt_) {
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                startAt_ - now, std::chrono::milliseconds(milliseconds)));
            if (std::chrono::steady_clock::now() < startAt_)
                return VFW_S_STATE_INTERMEDIATE;
        }
        if (failAfterStart_)
            return device_->Config().busyCode;
        return S_OK;
    }

private:
    bool WaitForStart(std::stop_token& stop) {
        std::unique_lock lock(streamMutex_);
        streamWake_.wait_until(lock, stop, startAt_, [] { return false; });
        return !stop.stop_requested() && device_->Plugged();
    }

    void CaptureLoop(std::stop_token stop) {
        if (!WaitForStart(stop))
            return;
        const auto interval = device_->Config().frameInterval;
        auto next = std::chrono::steady_clock::now();
        while (!stop.stop_requested() && device_->Plugged()) {
            {
                std::unique_lock lock(streamMutex_);
                if (interval.count() > 0) {
                    next += interval;
                    streamWake_.wait_until(lock, stop, next,
                                           [this] { return !device_->Plugged(); });
                } else {
                    streamWake_.wait(lock, stop,
                                     [this] { return frameRequests_ > 0 || !device_->Plugged(); });
                    if (frameRequests_ > 0)
                        --frameRequests_;
                }
            }
            if (stop.stop_requested() || !device_->Plugged())
                break;
            if (interval.count() > 0 && std::chrono::steady_clock::now() > next + interval)
                next = std::chrono::steady_clock::now(); // fell behind: do not burst
            if (Push(static_cast<ConfigPin*>(capture_), 80, frameTime_))
                device_->CountFrame();
        }
    }

    void StillLoop(std::stop_token stop) {
        if (!WaitForStart(stop))
            return;
        while (!stop.stop_requested() && device_->Plugged()) {
            {
                std::unique_lock lock(streamMutex_);
                streamWake_.wait(lock, stop,
                                 [this] { return triggers_ > 0 || !device_->Plugged(); });
                if (stop.stop_requested() || !device_->Plugged())
                    break;
                --triggers_;
            }
            if (Push(static_cast<ConfigPin*>(still_), 92, stillTime_))
                device_->CountStill();
        }
    }

    // One sample of the pin's current format, pushed downstream.
    bool Push(ConfigPin* pin, int quality, REFERENCE_TIME& time) {
        VirtualCapability cap;
        if (!pin->CurrentCap(&cap) || cap.width <= 0 || cap.height <= 0)
            return false;
        std::vector<BYTE> bytes;
        if (cap.subtype == MEDIASUBTYPE_RGB32) {
            const QImage picture = device_->Picture(cap.width, cap.height).mirrored(false, true);
            const auto* bits = picture.constBits();
            bytes.assign(bits, bits + picture.sizeInBytes());
        } else if (cap.subtype == MEDIASUBTYPE_MJPG) {
            // The live picture: the strip drifts a little in its holder, so the
            // stream is seen to be live even when nothing is being changed.
            // Stills show it at rest.
            const QByteArray jpeg =
                pin == capture_
                    ? EncodeJpeg(Drifted(device_->Picture(cap.width, cap.height), liveFrame_++),
                                 quality)
                    : device_->Jpeg(cap.width, cap.height, quality);
            bytes.assign(jpeg.begin(), jpeg.end());
        } else {
            return false; // the device draws MJPEG and RGB32 only
        }
        if (bytes.empty())
            return false;
        auto sample = MakeCom<MediaSample>(std::move(bytes));
        REFERENCE_TIME start = time, end = time + 666666;
        sample->SetTime(&start, &end);
        time = end;
        return SUCCEEDED(pin->Deliver(sample.get()));
    }

    // The picture moved sideways by a slow swing of a few percent of its width;
    // the holder behind the strip shows black.
    static QImage Drifted(const QImage& picture, int frame) {
        constexpr double kSwingFrames = 120.0; // one swing every 8 s at 15 frames/s
        const int amplitude = std::max(1, picture.width() / 40);
        const int offset = static_cast<int>(
            std::lround(amplitude * std::sin(frame * 2.0 * std::numbers::pi / kSwingFrames)));
        QImage moved(picture.size(), picture.format());
        moved.fill(Qt::black);
        QPainter painter(&moved);
        painter.drawImage(offset, 0, picture);
        return moved;
    }

    std::shared_ptr<VirtualScannerDevice> device_;
    int liveFrame_ = 0;
    ConfigPin* capture_ = nullptr;
    ConfigPin* still_ = nullptr;
    StreamingThread captureThread_;
    StreamingThread stillThread_;
    std::mutex streamMutex_;
    std::condition_variable_any streamWake_;
    int frameRequests_ = 0;
    int triggers_ = 0;
    LONG stillMode_ = 0;
    REFERENCE_TIME frameTime_ = 0;
    REFERENCE_TIME stillTime_ = 0;
    std::chrono::steady_clock::time_point startAt_{};
    bool failAfterStart_ = false;
};

// The camera-control face of the filter: same calls, the other property table.
class CameraControlFace : public ComObject<IAMCameraControl> {
public:
    CameraControlFace(ComPtr<IBaseFilter> filter, std::shared_ptr<VirtualScannerDevice> device)
        : filter_(std::move(filter)), device_(std::move(device)) {}

    HRESULT GetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* def,
                     LONG* caps) override {
        return device_->GetRange(1, property, min, max, step, def, caps);
    }
    HRESULT Set(LONG property, LONG value, LONG flags) override {
        return device_->SetProperty(1, property, value, flags);
    }
    HRESULT Get(LONG property, LONG* value, LONG* flags) override {
        return device_->GetProperty(1, property, value, flags);
    }

protected:
    // Back to the filter for everything else, as one object would answer.
    HRESULT QueryOtherInterface(REFIID iid, void** object) override {
        return filter_->QueryInterface(iid, object);
    }

private:
    ComPtr<IBaseFilter> filter_;
    std::shared_ptr<VirtualScannerDevice> device_;
};

HRESULT VirtualScannerFilter::QueryOtherInterface(REFIID iid, void** object) {
    void* face = nullptr;
    if (iid == IID_IKsControl)
        face = static_cast<IKsControl*>(this);
    else if (iid == IID_IKsTopologyInfo)
        face = static_cast<IKsTopologyInfo*>(this);
    else if (iid == IID_IAMVideoProcAmp)
        face = static_cast<IAMVideoProcAmp*>(this);
    else if (iid == IID_IAMVideoControl && device_->Config().hasVideoControl)
        face = static_cast<IAMVideoControl*>(this);
    else if (iid == IID_IAMCameraControl) {
        auto control = MakeCom<CameraControlFace>(ComPtr<IBaseFilter>(this), device_);
        return control->QueryInterface(iid, object);
    }
    if (!face)
        return E_NOINTERFACE;
    *object = face;
    AddRef();
    return S_OK;
}

} // namespace

void VirtualScannerDevice::Unplug() {
    std::lock_guard lock(mutex_);
    plugged_ = false;
    if (owner_)
        owner_->Wake(false);
    counters_.notify_all();
}

bool VirtualScannerDevice::RequestFrame() {
    std::lock_guard lock(mutex_);
    if (!plugged_ || !owner_ || !owner_->Streaming())
        return false;
    owner_->Wake(true);
    return true;
}

// ---- Defaults -----------------------------------------------------------------

std::map<ULONG, VirtualUnitControl> VirtualScannerConfig::DefaultUnitControls() {
    VirtualUnitControl command;
    command.length = 8;
    command.support = KSPROPERTY_TYPE_GET | KSPROPERTY_TYPE_SET;
    VirtualUnitControl answer;
    answer.length = 8;
    answer.support = KSPROPERTY_TYPE_GET;
    return {{kCommandControl, command}, {kAnswerControl, answer}};
}

std::vector<VirtualCapability> VirtualScannerConfig::DefaultCaps() {
    // 135 film takes the non-square ones (live below 1500 pixels wide, stills
    // above; 1500 itself never), 126 film the square one.
    return {{MEDIASUBTYPE_MJPG, 1280, 960, FORMAT_VideoInfo, 88},
            {MEDIASUBTYPE_MJPG, 1500, 1125, FORMAT_VideoInfo, 88},
            {MEDIASUBTYPE_MJPG, 2592, 1944, FORMAT_VideoInfo, 88},
            {MEDIASUBTYPE_MJPG, 1600, 1600, FORMAT_VideoInfo, 88}};
}

std::map<LONG, VirtualProperty> VirtualScannerConfig::DefaultProcAmp() {
    return {
        {VideoProcAmp_Brightness, {-64, 64, 1, 0, VideoProcAmp_Flags_Manual}},
        {VideoProcAmp_Contrast, {0, 100, 1, 50, VideoProcAmp_Flags_Manual}},
        {VideoProcAmp_Hue, {-180, 180, 1, 0, VideoProcAmp_Flags_Manual}},
        {VideoProcAmp_Saturation, {0, 100, 1, 50, VideoProcAmp_Flags_Manual}},
        {VideoProcAmp_Sharpness, {0, 7, 1, 2, VideoProcAmp_Flags_Manual}},
        {VideoProcAmp_Gamma, {100, 500, 1, 300, VideoProcAmp_Flags_Manual}},
        {VideoProcAmp_WhiteBalance,
         {2800, 6500, 10, 4600, VideoProcAmp_Flags_Auto | VideoProcAmp_Flags_Manual}},
    };
}

std::map<LONG, VirtualProperty> VirtualScannerConfig::DefaultCameraControl() {
    return {
        {CameraControl_Pan, {0, 255, 1, 128, CameraControl_Flags_Manual}},  // red
        {CameraControl_Tilt, {0, 255, 1, 128, CameraControl_Flags_Manual}}, // blue
        {CameraControl_Roll, {0, 1, 1, 1, CameraControl_Flags_Manual}},     // film type
        {CameraControl_Zoom, {0, 255, 1, 128, CameraControl_Flags_Manual}}, // green
        {CameraControl_Exposure,
         {-11, -2, 1, -6, CameraControl_Flags_Auto | CameraControl_Flags_Manual}},
    };
}

// ---- The backend ----------------------------------------------------------------

namespace {

class VirtualBackend : public DeviceBackend {
public:
    static VirtualBackend& Instance() {
        static VirtualBackend* backend = [] {
            auto* b = new VirtualBackend; // lives for the whole run
            RegisterDeviceBackend(b);
            return b;
        }();
        return *backend;
    }

    void Add(const std::shared_ptr<VirtualScannerDevice>& device) {
        std::lock_guard lock(mutex_);
        devices_.push_back(device);
    }
    bool Remove(const std::shared_ptr<VirtualScannerDevice>& device) {
        std::lock_guard lock(mutex_);
        const auto before = devices_.size();
        devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
        return devices_.size() != before;
    }
    std::vector<std::shared_ptr<VirtualScannerDevice>> Devices() {
        std::lock_guard lock(mutex_);
        return devices_;
    }

    void AppendVideoInputDevices(std::vector<ComPtr<IMoniker>>& out) override {
        for (const auto& device : Devices()) {
            std::weak_ptr<VirtualScannerDevice> weak = device;
            out.push_back(MakeDeviceMoniker(device->Config().devicePath,
                                            device->Config().friendlyName,
                                            [weak](ComPtr<IBaseFilter>* filter) -> HRESULT {
                                                auto d = weak.lock();
                                                if (!d || !d->Plugged())
                                                    return NotConnected();
                                                *filter = MakeCom<VirtualScannerFilter>(d);
                                                return S_OK;
                                            }));
        }
    }

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<VirtualScannerDevice>> devices_;
};

} // namespace

// ---- VirtualScanner -------------------------------------------------------------

VirtualScanner::VirtualScanner(std::shared_ptr<VirtualScannerDevice> device)
    : device_(std::move(device)) {}

VirtualScanner::~VirtualScanner() = default;

std::shared_ptr<VirtualScanner> VirtualScanner::Plug(VirtualScannerConfig config) {
    auto device = std::make_shared<VirtualScannerDevice>(std::move(config));
    VirtualBackend::Instance().Add(device);
    BroadcastOnUiThread(DBT_DEVICEARRIVAL, device->Config().devicePath);
    return std::shared_ptr<VirtualScanner>(new VirtualScanner(device));
}

std::shared_ptr<VirtualScanner> VirtualScanner::PlugDefault() {
    return Plug({});
}

void VirtualScanner::UnplugAll() {
    for (const auto& device : VirtualBackend::Instance().Devices())
        VirtualScanner(device).Unplug();
}

void VirtualScanner::Unplug() {
    if (!VirtualBackend::Instance().Remove(device_))
        return;
    device_->Unplug();
    BroadcastOnUiThread(DBT_DEVICEREMOVECOMPLETE, device_->Config().devicePath);
}

bool VirtualScanner::IsPlugged() const {
    return device_->Plugged();
}
QString VirtualScanner::DevicePath() const {
    return device_->Config().devicePath;
}
void VirtualScanner::SetBusy(bool busy) {
    device_->SetBusy(busy);
}
void VirtualScanner::SetIdentityAnswer(const QByteArray& answer) {
    device_->SetIdentityAnswer(answer);
}
bool VirtualScanner::RequestFrame() {
    return device_->RequestFrame();
}

bool VirtualScanner::WaitForFrames(int count, std::chrono::milliseconds timeout) const {
    return device_->WaitFor(device_->frames_, count, timeout);
}
bool VirtualScanner::WaitForStills(int count, std::chrono::milliseconds timeout) const {
    return device_->WaitFor(device_->stills_, count, timeout);
}
int VirtualScanner::FramesDelivered() const {
    std::lock_guard lock(device_->mutex_);
    return device_->frames_;
}
int VirtualScanner::StillsDelivered() const {
    std::lock_guard lock(device_->mutex_);
    return device_->stills_;
}
int VirtualScanner::TriggersReceived() const {
    std::lock_guard lock(device_->mutex_);
    return device_->triggers_;
}

std::vector<VirtualKsCall> VirtualScanner::KsCalls() const {
    std::lock_guard lock(device_->mutex_);
    return device_->ks_;
}
void VirtualScanner::ClearKsCalls() {
    std::lock_guard lock(device_->mutex_);
    device_->ks_.clear();
}
std::vector<VirtualPropertyWrite> VirtualScanner::PropertyWrites() const {
    std::lock_guard lock(device_->mutex_);
    return device_->writes_;
}
void VirtualScanner::ClearPropertyWrites() {
    std::lock_guard lock(device_->mutex_);
    device_->writes_.clear();
}
LONG VirtualScanner::PropertyValue(int interfaceIndex, LONG property) const {
    return device_->PropertyValue(interfaceIndex == 0 ? 0 : 1, property);
}
QByteArray VirtualScanner::UnitControlValue(ULONG id) const {
    std::lock_guard lock(device_->mutex_);
    auto it = device_->units_.find(id);
    return it == device_->units_.end() ? QByteArray() : it->second.bytes;
}
bool VirtualScanner::CurrentCaptureSize(LONG* width, LONG* height) const {
    return width && height && device_->CurrentSize(false, width, height);
}
bool VirtualScanner::CurrentStillSize(LONG* width, LONG* height) const {
    return width && height && device_->CurrentSize(true, width, height);
}
QImage VirtualScanner::RenderPicture(int width, int height) const {
    if (width <= 0 || height <= 0)
        return {};
    return device_->Picture(width, height);
}
