#include "platform/devices/DeviceModel.h"

#include "platform/media/FilterBase.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex backendsMutex;
std::vector<DeviceBackend*>& Backends() {
    static std::vector<DeviceBackend*> backends;
    return backends;
}

class DevicePropertyBag : public ComObject<IPropertyBag> {
public:
    DevicePropertyBag(QString path, QString friendlyName)
        : path_(std::move(path)), friendlyName_(std::move(friendlyName)) {}

    HRESULT Read(const QString& name, VARIANT* value, IUnknown*) override {
        if (!value)
            return E_POINTER;
        if (name == QLatin1String("DevicePath") || name == QLatin1String("FriendlyName")) {
            VariantClear(value);
            value->vt = VT_BSTR;
            value->bstrVal = name == QLatin1String("DevicePath") ? path_ : friendlyName_;
            return S_OK;
        }
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }

private:
    QString path_;
    QString friendlyName_;
};

class DeviceMoniker : public ComObject<IMoniker> {
public:
    DeviceMoniker(QString path, QString friendlyName,
                  std::function<HRESULT(ComPtr<IBaseFilter>*)> bind)
        : path_(std::move(path)), friendlyName_(std::move(friendlyName)), bind_(std::move(bind)) {}

    HRESULT BindToObject(IUnknown*, IMoniker*, REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        ComPtr<IBaseFilter> filter;
        const HRESULT hr = bind_ ? bind_(&filter) : E_FAIL;
        if (FAILED(hr))
            return hr;
        if (!filter)
            return E_FAIL;
        return filter->QueryInterface(iid, object);
    }

    HRESULT BindToStorage(IUnknown*, IMoniker*, REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IPropertyBag && iid != IID_IUnknown)
            return E_NOINTERFACE;
        return MakeCom<DevicePropertyBag>(path_, friendlyName_)->QueryInterface(iid, object);
    }

private:
    QString path_;
    QString friendlyName_;
    std::function<HRESULT(ComPtr<IBaseFilter>*)> bind_;
};

class SystemDeviceEnum : public ComObject<ICreateDevEnum> {
public:
    HRESULT CreateClassEnumerator(REFCLSID category, IEnumMoniker** devices, DWORD) override {
        if (!devices)
            return E_POINTER;
        *devices = nullptr;
        if (category != CLSID_VideoInputDeviceCategory)
            return S_FALSE;
        std::vector<DeviceBackend*> backends;
        {
            std::lock_guard lock(backendsMutex);
            backends = Backends();
        }
        std::vector<ComPtr<IMoniker>> found;
        for (DeviceBackend* backend : backends)
            backend->AppendVideoInputDevices(found);
        found.erase(std::remove(found.begin(), found.end(), nullptr), found.end());
        if (found.empty())
            return S_FALSE;
        *devices = MakeCom<SnapshotEnum<IEnumMoniker, IMoniker>>(std::move(found)).Detach();
        return S_OK;
    }
};

} // namespace

void RegisterDeviceBackend(DeviceBackend* backend) {
    std::lock_guard lock(backendsMutex);
    auto& list = Backends();
    if (backend && std::find(list.begin(), list.end(), backend) == list.end())
        list.push_back(backend);
}

void UnregisterDeviceBackend(DeviceBackend* backend) {
    std::lock_guard lock(backendsMutex);
    auto& list = Backends();
    list.erase(std::remove(list.begin(), list.end(), backend), list.end());
}

ComPtr<IMoniker> MakeDeviceMoniker(const QString& devicePath, const QString& friendlyName,
                                   std::function<HRESULT(ComPtr<IBaseFilter>*)> bindFilter) {
    return MakeCom<DeviceMoniker>(devicePath, friendlyName, std::move(bindFilter));
}

ComPtr<IUnknown> CreateSystemDeviceEnum() {
    return MakeCom<SystemDeviceEnum>().As<IUnknown>();
}
