#include "platform/com.h"
#include "platform/devices/DeviceModel.h"
#include "platform/media/StockFilters.h"

// The system device enumerator lives with the device model.
ComPtr<IUnknown> CreateSystemDeviceEnum();

namespace {
template <class T> ComClassFactory Factory(ComPtr<T> (*create)()) {
    return [create](REFIID iid, void** object) -> HRESULT {
        ComPtr<T> instance = create();
        if (!instance)
            return E_OUTOFMEMORY;
        return instance->QueryInterface(iid, object);
    };
}
} // namespace

ComClassFactory BuiltinComClassFactory(REFCLSID clsid) {
    if (clsid == CLSID_FilterGraph)
        return Factory(&CreateFilterGraph);
    if (clsid == CLSID_CaptureGraphBuilder2)
        return Factory(&CreateCaptureGraphBuilder);
    if (clsid == CLSID_SampleGrabber)
        return Factory(&CreateSampleGrabberFilter);
    if (clsid == CLSID_NullRenderer)
        return Factory(&CreateNullRendererFilter);
    if (clsid == CLSID_VideoRenderer)
        return Factory(&CreateVideoRendererFilter);
    if (clsid == CLSID_MjpegDec)
        return Factory(&CreateMjpegDecoderFilter);
    if (clsid == CLSID_SystemDeviceEnum)
        return Factory(&CreateSystemDeviceEnum);
    return {};
}
