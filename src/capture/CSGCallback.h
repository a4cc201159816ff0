#pragma once

#include "platform/media/MediaGraph.h"

// Handlers through which the still grabber reports; plain functions, their
// return value is ignored.
using SampleHandler = void (*)(void* context, double sampleTime, IMediaSample* sample);
using BufferHandler = void (*)(void* context, double sampleTime, BYTE* bytes, LONG length);

// Callback modes, also the second argument of ISampleGrabber::SetCallback.
constexpr LONG kCallbackSample = 0;
constexpr LONG kCallbackBuffer = 1;

// The sample grabber's callback object. It is embedded in its owner and not
// reference-counted: AddRef and Release change nothing, and it is never freed
// on its own.
class CSGCallback final : public ISampleGrabberCB {
public:
    LONG mode = kCallbackSample;
    void* context = nullptr;
    SampleHandler sampleHandler = nullptr;
    BufferHandler bufferHandler = nullptr;

    CSGCallback() = default;
    CSGCallback(const CSGCallback&) = delete;
    CSGCallback& operator=(const CSGCallback&) = delete;
    ~CSGCallback() = default;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT SampleCB(double sampleTime, IMediaSample* sample) override;
    HRESULT BufferCB(double sampleTime, BYTE* buffer, LONG length) override;
};
