#pragma once

#include "capture/ExtensionUnitControl.h"
#include "platform/com.h"
#include "platform/devices/DeviceModel.h"

#include <QByteArray>

#include <cstring>
#include <map>
#include <vector>

// A scripted kernel-streaming unit: topology nodes, an info block returned
// as given, and controls with support flags, lengths and bytes. Records every
// property call.
class FakeExtensionUnit : public ComObject<IKsControl, IKsTopologyInfo> {
public:
    struct Control {
        ULONG support = KSPROPERTY_TYPE_GET | KSPROPERTY_TYPE_SET;
        bool basicSupportFails = false;
        ULONG length = 1;
        QByteArray bytes;
        // Answer of the length query: this code with `length` bytes
        // returned; ERROR_NOT_READY this many times first (-1: always).
        HRESULT lengthAnswer = HRESULT_FROM_WIN32(ERROR_MORE_DATA);
        int notReady = 0;
    };
    struct Call {
        ULONG id;
        ULONG flags;
        ULONG nodeId;
        bool hasData;
        ULONG dataLength;
    };

    IUnknown* Unknown() { return static_cast<IKsControl*>(this); }

    std::vector<GUID> nodes = {KSNODETYPE_VIDEO_CAMERA_TERMINAL, KSNODETYPE_DEV_SPECIFIC};
    std::vector<ULONG> unitNodes = {1}; // nodes that answer the set-support probe
    QByteArray infoBlock;
    std::map<ULONG, Control> controls;
    std::vector<Call> calls;

    // An info block for `controlCount` controls, `pins` source pins and the
    // bitmap bytes given.
    static QByteArray InfoBlock(int controlCount, int pins, const QByteArray& bitmap) {
        QByteArray block(16, '\x42'); // the unit's GUID
        block.append(static_cast<char>(controlCount));
        block.append(static_cast<char>(pins));
        block.append(QByteArray(pins, '\x01'));
        block.append(static_cast<char>(bitmap.size()));
        block.append(bitmap);
        return block;
    }

    // The controls of a scanner: command 10 and answer 11 (8 bytes each).
    void MakeScanner(const QByteArray& answer = QByteArray("REALSIL\0", 8)) {
        controls[10] = Control{KSPROPERTY_TYPE_GET | KSPROPERTY_TYPE_SET, false, 8, {}};
        controls[11] = Control{KSPROPERTY_TYPE_GET, false, 8, answer};
        infoBlock = InfoBlock(2, 1, Bitmap());
    }
    QByteArray Bitmap(int bytes = 2) const {
        std::uint32_t mask = 0;
        for (const auto& [id, control] : controls)
            mask |= 1u << (id - 1);
        QByteArray bitmap;
        for (int i = 0; i < bytes; ++i)
            bitmap.append(i < 4 ? static_cast<char>((mask >> (8 * i)) & 0xFF) : '\0');
        return bitmap;
    }

    int CountCalls(ULONG id, ULONG flags, bool hasData) const {
        int count = 0;
        for (const Call& call : calls)
            count += call.id == id && call.flags == flags && call.hasData == hasData;
        return count;
    }

    HRESULT KsProperty(KSPROPERTY* property, ULONG propertyLength, void* data, ULONG dataLength,
                       ULONG* bytesReturned) override {
        if (!property || propertyLength < sizeof(KSP_NODE))
            return E_INVALIDARG;
        KSP_NODE node;
        std::memcpy(&node, property, sizeof(node));
        calls.push_back(
            {node.Property.Id, node.Property.Flags, node.NodeId, data != nullptr, dataLength});
        if (bytesReturned)
            *bytesReturned = 0;
        if (!(node.Property.Set == kExtensionUnitPropertySet) ||
            !(node.Property.Flags & KSPROPERTY_TYPE_TOPOLOGY))
            return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
        bool isUnit = false;
        for (ULONG unit : unitNodes)
            isUnit = isUnit || unit == node.NodeId;
        if (!isUnit)
            return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
        const ULONG type = node.Property.Flags & ~KSPROPERTY_TYPE_TOPOLOGY;
        if (node.Property.Id == 0) {
            if (type == KSPROPERTY_TYPE_SETSUPPORT)
                return S_OK;
            if (type != KSPROPERTY_TYPE_GET || !data)
                return E_INVALIDARG;
            const ULONG n = std::min<ULONG>(dataLength, static_cast<ULONG>(infoBlock.size()));
            std::memcpy(data, infoBlock.constData(), n);
            if (bytesReturned)
                *bytesReturned = n;
            return S_OK;
        }
        auto found = controls.find(node.Property.Id);
        if (found == controls.end())
            return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        Control& control = found->second;
        if (type == KSPROPERTY_TYPE_BASICSUPPORT) {
            if (control.basicSupportFails)
                return E_FAIL;
            if (!data || dataLength < 4)
                return E_INVALIDARG;
            std::memcpy(data, &control.support, 4);
            if (bytesReturned)
                *bytesReturned = 4;
            return S_OK;
        }
        if (type == KSPROPERTY_TYPE_GET && (!data || dataLength < control.length)) {
            if (control.notReady != 0) {
                if (control.notReady > 0)
                    --control.notReady;
                return HRESULT_FROM_WIN32(ERROR_NOT_READY);
            }
            if (bytesReturned)
                *bytesReturned = control.length;
            return control.lengthAnswer;
        }
        QByteArray& bytes = control.bytes;
        if (bytes.size() < static_cast<int>(control.length))
            bytes.append(QByteArray(static_cast<int>(control.length) - bytes.size(), '\0'));
        if (type == KSPROPERTY_TYPE_GET) {
            std::memcpy(data, bytes.constData(), control.length);
        } else if (type == KSPROPERTY_TYPE_SET) {
            if (!data || dataLength < control.length)
                return E_INVALIDARG;
            std::memcpy(bytes.data(), data, control.length);
        } else {
            return E_INVALIDARG;
        }
        if (bytesReturned)
            *bytesReturned = control.length;
        return S_OK;
    }
    HRESULT KsMethod(KSPROPERTY*, ULONG, void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT KsEvent(KSPROPERTY*, ULONG, void*, ULONG, ULONG*) override { return E_NOTIMPL; }

    HRESULT get_NumNodes(DWORD* count) override {
        *count = static_cast<DWORD>(nodes.size());
        return S_OK;
    }
    HRESULT get_NodeType(DWORD index, GUID* type) override {
        if (index >= nodes.size())
            return E_INVALIDARG;
        *type = nodes[index];
        return S_OK;
    }
    HRESULT get_NodeName(DWORD, QString*) override { return E_NOTIMPL; }
};

// Replaces the length-query pause for the life of the object and counts it.
class CountingPause {
public:
    CountingPause() {
        count_ = 0;
        previous_ = ExtensionUnitControl::SetPauseFunction(&OnPause);
    }
    ~CountingPause() { ExtensionUnitControl::SetPauseFunction(previous_); }
    CountingPause(const CountingPause&) = delete;
    CountingPause& operator=(const CountingPause&) = delete;
    int Count() const { return count_; }

private:
    static void OnPause(std::chrono::milliseconds duration) {
        if (duration == ExtensionUnitControl::kLengthQueryPause)
            ++count_;
    }
    static inline int count_ = 0;
    ExtensionUnitControl::PauseFunction previous_ = nullptr;
};
