#pragma once

#include "platform/com.h"
#include "platform/devices/DeviceModel.h"

#include <array>
#include <chrono>
#include <cstdint>

struct IBaseFilter;

// The scanner chip's vendor extension unit: its property set and the node
// type that carries it.
inline constexpr GUID kExtensionUnitPropertySet = {
    0x1229A78C, 0x47B4, 0x4094, {0xB0, 0xCE, 0xDB, 0x07, 0x38, 0x6F, 0xB9, 0x38}};

// The open extension unit of one device.
struct ExtensionUnitControl {
    static constexpr ULONG kMaxControls = 32;
    // Support-flag bits, as the unit reports them.
    static constexpr ULONG kCanGet = KSPROPERTY_TYPE_GET;
    static constexpr ULONG kCanSet = KSPROPERTY_TYPE_SET;
    // Length queries answered "not ready" are repeated up to this many
    // requests in all, each followed by one pause.
    static constexpr int kLengthQueryAttempts = 10;
    static constexpr std::chrono::milliseconds kLengthQueryPause{100};

    struct ControlEntry {
        ULONG support = 0; // kCanGet / kCanSet bits; 0 = the control is absent
        ULONG length = 0;  // bytes; 0 = not learned
    };

    ComPtr<IKsControl> ksControl;
    LONG nodeId = -1;
    std::array<ControlEntry, kMaxControls> controls{}; // control id n at index n - 1

    // Finds the unit on the device's filter and learns its controls. A
    // failure means the device has no usable extension unit.
    HRESULT Open(IUnknown* filter);
    // Reads a control of 1, 2, 4 or 8 bytes, sign-extended to 64 bits.
    HRESULT Get(ULONG controlId, std::int64_t* value) const;
    // Writes the low bytes of `value` that the control's length covers.
    HRESULT Set(ULONG controlId, std::int64_t value) const;

    bool IsOpen() const { return static_cast<bool>(ksControl); }
    // The entry of a control id, or nullptr outside 1..32.
    const ControlEntry* Entry(ULONG controlId) const;

    // The pause between length queries. Tests replace it to run fast and to
    // count the requests; nullptr restores the real sleep. Returns the one it
    // replaced.
    using PauseFunction = void (*)(std::chrono::milliseconds);
    static PauseFunction SetPauseFunction(PauseFunction pause);

private:
    HRESULT Property(ULONG controlId, ULONG flags, void* data, ULONG dataLength,
                     ULONG* bytesReturned) const;
};

// The identity query: control 10 takes the command, control 11 holds the
// answer; the scanner answers "REALSIL" and a zero byte.
constexpr ULONG kIdentityCommandControl = 10;
constexpr ULONG kIdentityAnswerControl = 11;
constexpr std::int64_t kIdentityCommand = 0x00000008000000D0;
constexpr std::int64_t kIdentityReset = 0xFF;

bool IsScannerChip(const ExtensionUnitControl& unit);
