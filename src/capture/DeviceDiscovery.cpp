#include "capture/DeviceDiscovery.h"

#include "capture/ExtensionUnitControl.h"
#include "platform/com.h"
#include "platform/devices/DeviceModel.h"
#include "platform/media/MediaGraph.h"

const QStringList& AcceptedUsbIdentifiers() {
    static const QStringList identifiers = {QStringLiteral("vid_8888&pid_0001")};
    return identifiers;
}

bool IsAcceptedDevicePath(const QString& devicePath) {
    for (const QString& identifier : AcceptedUsbIdentifiers()) {
        if (devicePath.contains(identifier, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

namespace {

// The "DevicePath" of a device's property bag; false when it cannot be had.
bool ReadDevicePath(IMoniker* moniker, QString* path) {
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void())) || !bag)
        return false;
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = bag->Read(QStringLiteral("DevicePath"), &value, nullptr);
    const bool ok = SUCCEEDED(hr) && value.vt == VT_BSTR;
    if (ok)
        *path = value.bstrVal;
    VariantClear(&value);
    return ok;
}

} // namespace

bool FindScannerDevice(const QString& wantedPath, QString* pathOut, IBaseFilter** filterOut) {
    if (!filterOut)
        return false;

    ComPtr<ICreateDevEnum> deviceEnum;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC, IID_ICreateDevEnum,
                                deviceEnum.put_void())) ||
        !deviceEnum)
        return false;
    ComPtr<IEnumMoniker> devices;
    if (deviceEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, devices.put(), 0) !=
            S_OK ||
        !devices)
        return false;

    for (;;) {
        ComPtr<IMoniker> moniker;
        if (devices->Next(1, moniker.put(), nullptr) != S_OK || !moniker)
            return false;

        ComPtr<IBaseFilter> filter;
        if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.put_void())) ||
            !filter)
            return false; // a device that cannot be made ends the search

        {
            // The unit lives only while this device is examined.
            ExtensionUnitControl unit;
            if (FAILED(unit.Open(filter.get())) || !IsScannerChip(unit))
                continue;
        }

        QString path;
        if (!ReadDevicePath(moniker.get(), &path))
            continue;
        const bool match =
            IsAcceptedDevicePath(path) &&
            (wantedPath.isEmpty() || path.compare(wantedPath, Qt::CaseInsensitive) == 0);
        if (pathOut)
            *pathOut = path;
        if (match) {
            *filterOut = filter.Detach();
            return true;
        }
    }
}
