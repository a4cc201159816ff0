#include "capture/CSGCallback.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Recorder {
    std::vector<LONG> buffers;
    std::vector<IMediaSample*> samples;
    std::vector<double> times;
    void* lastContext = nullptr;
};

void RecordBuffer(void* context, double time, BYTE* bytes, LONG length) {
    auto* recorder = static_cast<Recorder*>(context);
    recorder->lastContext = context;
    recorder->times.push_back(time);
    recorder->buffers.push_back(bytes ? length : -1);
}

void RecordSample(void* context, double time, IMediaSample* sample) {
    auto* recorder = static_cast<Recorder*>(context);
    recorder->times.push_back(time);
    recorder->samples.push_back(sample);
}

TEST(CSGCallbackTest, QueryInterfaceAnswersItselfWithoutCounting) {
    CSGCallback callback;
    EXPECT_EQ(callback.QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    void* object = nullptr;
    EXPECT_EQ(callback.QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<ISampleGrabberCB*>(&callback));
    object = nullptr;
    EXPECT_EQ(callback.QueryInterface(IID_ISampleGrabberCB, &object), S_OK);
    EXPECT_EQ(object, static_cast<ISampleGrabberCB*>(&callback));
    object = &callback;
    EXPECT_EQ(callback.QueryInterface(IID_IMediaSample, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    // Counting never frees it: it lives inside its owner.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(callback.AddRef(), 2u);
        EXPECT_EQ(callback.Release(), 1u);
        EXPECT_EQ(callback.Release(), 1u);
    }
}

TEST(CSGCallbackTest, ReportsOnlyThroughTheHandlerOfItsMode) {
    Recorder recorder;
    CSGCallback callback;
    callback.context = &recorder;
    callback.bufferHandler = &RecordBuffer;
    callback.sampleHandler = &RecordSample;
    BYTE bytes[3] = {1, 2, 3};
    auto* fakeSample = reinterpret_cast<IMediaSample*>(&bytes);

    callback.mode = kCallbackSample;
    EXPECT_EQ(callback.BufferCB(1.5, bytes, 3), S_OK);
    EXPECT_TRUE(recorder.buffers.empty());
    EXPECT_EQ(callback.SampleCB(2.5, fakeSample), S_OK);
    ASSERT_EQ(recorder.samples.size(), 1u);
    EXPECT_EQ(recorder.samples[0], fakeSample);

    callback.mode = kCallbackBuffer;
    EXPECT_EQ(callback.SampleCB(3.5, fakeSample), S_OK);
    EXPECT_EQ(recorder.samples.size(), 1u);
    EXPECT_EQ(callback.BufferCB(4.5, bytes, 3), S_OK);
    ASSERT_EQ(recorder.buffers.size(), 1u);
    EXPECT_EQ(recorder.buffers[0], 3);
    EXPECT_EQ(recorder.lastContext, &recorder);
    EXPECT_EQ(recorder.times, (std::vector<double>{2.5, 4.5}));

    // A mode without its handler answers S_OK and calls nothing.
    callback.bufferHandler = nullptr;
    EXPECT_EQ(callback.BufferCB(5.5, bytes, 3), S_OK);
    EXPECT_EQ(recorder.buffers.size(), 1u);
}

} // namespace
