#include "capture/ExtensionUnitControl.h"

#include "platform/media/MediaGraph.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <thread>

// Control values travel as little-endian bytes.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr ULONG kInfoBlockRequest = 64;
// Byte offsets in the unit's info block.
constexpr std::size_t kInfoControlCount = 16;
constexpr std::size_t kInfoPinCount = 17;
constexpr std::size_t kInfoSourceIds = 18;
constexpr std::size_t kMaxBitmapBytes = 4;

void SleepPause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

ExtensionUnitControl::PauseFunction g_pause = &SleepPause;

} // namespace

ExtensionUnitControl::PauseFunction
ExtensionUnitControl::SetPauseFunction(ExtensionUnitControl::PauseFunction pause) {
    PauseFunction previous = g_pause;
    g_pause = pause ? pause : &SleepPause;
    return previous;
}

const ExtensionUnitControl::ControlEntry* ExtensionUnitControl::Entry(ULONG controlId) const {
    if (controlId < 1 || controlId > kMaxControls)
        return nullptr;
    return &controls[controlId - 1];
}

HRESULT ExtensionUnitControl::Property(ULONG controlId, ULONG flags, void* data, ULONG dataLength,
                                       ULONG* bytesReturned) const {
    KSP_NODE block{};
    block.Property.Set = kExtensionUnitPropertySet;
    block.Property.Id = controlId;
    block.Property.Flags = flags | KSPROPERTY_TYPE_TOPOLOGY;
    block.NodeId = static_cast<ULONG>(nodeId);
    block.Reserved = 0;
    ULONG returned = 0;
    const HRESULT hr =
        ksControl->KsProperty(&block.Property, sizeof(block), data, dataLength, &returned);
    if (bytesReturned)
        *bytesReturned = returned;
    return hr;
}

HRESULT ExtensionUnitControl::Open(IUnknown* filter) {
    *this = ExtensionUnitControl{};
    if (!filter)
        return E_POINTER;

    ComPtr<IKsControl> control;
    HRESULT hr = filter->QueryInterface(IID_IKsControl, control.put_void());
    if (FAILED(hr))
        return hr;
    ComPtr<IKsTopologyInfo> topology;
    hr = filter->QueryInterface(IID_IKsTopologyInfo, topology.put_void());
    if (FAILED(hr))
        return hr;

    // The properties are sent through the member while the unit is examined;
    // it is kept only when the open succeeds.
    ksControl = control;
    DWORD nodeCount = 0;
    if (FAILED(topology->get_NumNodes(&nodeCount)))
        nodeCount = 0;
    bool found = false;
    for (DWORD node = 0; node < nodeCount && !found; ++node) {
        GUID type{};
        if (FAILED(topology->get_NodeType(node, &type)) || !(type == KSNODETYPE_DEV_SPECIFIC))
            continue;
        nodeId = static_cast<LONG>(node);
        ULONG probe = 0;
        found = Property(0, KSPROPERTY_TYPE_SETSUPPORT, &probe, sizeof(probe), nullptr) == S_OK;
    }
    if (!found) {
        *this = ExtensionUnitControl{};
        return E_FAIL;
    }

    std::uint8_t info[kInfoBlockRequest] = {};
    ULONG infoLength = 0;
    hr = Property(0, KSPROPERTY_TYPE_GET, info, sizeof(info), &infoLength);
    if (FAILED(hr)) {
        *this = ExtensionUnitControl{};
        return hr;
    }
    // The bitmap's place depends on the pin count the device reports; a
    // block too short to hold it is treated like a missing unit rather than
    // read past what the device returned.
    const std::size_t available = std::min<std::size_t>(infoLength, sizeof(info));
    const std::size_t pinCount = info[kInfoPinCount];
    const std::size_t bitmapSizeAt = kInfoSourceIds + pinCount;
    const std::size_t bitmapBytes = bitmapSizeAt < available ? info[bitmapSizeAt] : 0;
    if (bitmapBytes == 0 || bitmapBytes > kMaxBitmapBytes ||
        bitmapSizeAt + 1 + bitmapBytes > available) {
        *this = ExtensionUnitControl{};
        return E_FAIL;
    }
    std::uint32_t bitmap = 0;
    for (std::size_t i = 0; i < bitmapBytes; ++i)
        bitmap |= static_cast<std::uint32_t>(info[bitmapSizeAt + 1 + i]) << (8 * i);

    const unsigned controlCount = info[kInfoControlCount];
    unsigned learned = 0;
    for (ULONG bit = 0; bit < kMaxControls && learned < controlCount; ++bit) {
        if (!(bitmap & (1u << bit)))
            continue;
        ControlEntry& entry = controls[bit];
        const ULONG id = bit + 1;
        ULONG support = 0;
        if (FAILED(
                Property(id, KSPROPERTY_TYPE_BASICSUPPORT, &support, sizeof(support), nullptr))) {
            entry.support = 0;
            continue;
        }
        entry.support = support;
        if (entry.support == 0)
            continue;

        // The length: a read without a buffer answers "more data" with the
        // size the control needs; a busy control answers "not ready" first.
        HRESULT lengthResult = S_OK;
        ULONG lengthReturned = 0;
        for (int attempt = 0; attempt < kLengthQueryAttempts; ++attempt) {
            lengthResult = Property(id, KSPROPERTY_TYPE_GET, nullptr, 0, &lengthReturned);
            g_pause(kLengthQueryPause);
            if (lengthResult != HRESULT_FROM_WIN32(ERROR_NOT_READY))
                break;
        }
        if ((lengthResult == HRESULT_FROM_WIN32(ERROR_MORE_DATA) ||
             lengthResult == HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER)) &&
            lengthReturned != 0) {
            entry.length = lengthReturned;
            ++learned;
        } else {
            entry.length = 0;
            if (FAILED(lengthResult))
                entry.support = 0;
        }
    }
    return S_OK;
}

HRESULT ExtensionUnitControl::Get(ULONG controlId, std::int64_t* value) const {
    if (!IsOpen())
        return E_FAIL;
    const ControlEntry* entry = Entry(controlId);
    if (!entry || !(entry->support & kCanGet))
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    if (!value)
        return E_POINTER;
    const ULONG length = entry->length;
    if (length != 1 && length != 2 && length != 4 && length != 8)
        return E_FAIL;

    std::uint8_t bytes[8] = {};
    const HRESULT hr = Property(controlId, KSPROPERTY_TYPE_GET, bytes, length, nullptr);
    if (FAILED(hr))
        return hr;
    switch (length) {
    case 1: {
        std::int8_t v;
        std::memcpy(&v, bytes, 1);
        *value = v;
        break;
    }
    case 2: {
        std::int16_t v;
        std::memcpy(&v, bytes, 2);
        *value = v;
        break;
    }
    case 4: {
        std::int32_t v;
        std::memcpy(&v, bytes, 4);
        *value = v;
        break;
    }
    default:
        std::memcpy(value, bytes, 8);
        break;
    }
    return hr;
}

HRESULT ExtensionUnitControl::Set(ULONG controlId, std::int64_t value) const {
    if (!IsOpen())
        return E_FAIL;
    const ControlEntry* entry = Entry(controlId);
    if (!entry || !(entry->support & kCanSet))
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    const ULONG length = entry->length;
    if (length != 1 && length != 2 && length != 4 && length != 8)
        return E_FAIL;
    // Little-endian: the low bytes come first.
    std::uint8_t bytes[8];
    std::memcpy(bytes, &value, sizeof(bytes));
    return Property(controlId, KSPROPERTY_TYPE_SET, bytes, length, nullptr);
}

bool IsScannerChip(const ExtensionUnitControl& unit) {
    if (SUCCEEDED(unit.Set(kIdentityCommandControl, kIdentityCommand))) {
        // The answer lands in the first 8 bytes of a zeroed buffer.
        std::uint8_t answer[64] = {};
        std::int64_t value = 0;
        if (SUCCEEDED(unit.Get(kIdentityAnswerControl, &value))) {
            std::memcpy(answer, &value, sizeof(value));
            static constexpr std::uint8_t kExpected[8] = {'R', 'E', 'A', 'L', 'S', 'I', 'L', 0};
            return std::memcmp(answer, kExpected, sizeof(kExpected)) == 0;
        }
    }
    std::int64_t discarded = 0;
    unit.Get(kIdentityCommandControl, &discarded);
    unit.Set(kIdentityCommandControl, kIdentityReset);
    return false;
}
