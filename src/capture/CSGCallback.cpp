#include "capture/CSGCallback.h"

HRESULT CSGCallback::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_ISampleGrabberCB || iid == IID_IUnknown) {
        *object = static_cast<ISampleGrabberCB*>(this);
        return S_OK;
    }
    // Out pointers are cleared on failure, as every other interface does.
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CSGCallback::SampleCB(double sampleTime, IMediaSample* sample) {
    if (mode == kCallbackSample && sampleHandler)
        sampleHandler(context, sampleTime, sample);
    return S_OK;
}

HRESULT CSGCallback::BufferCB(double sampleTime, BYTE* buffer, LONG length) {
    if (mode == kCallbackBuffer && bufferHandler)
        bufferHandler(context, sampleTime, buffer, length);
    return S_OK;
}
