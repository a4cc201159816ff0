#pragma once

#include "FakeExtensionUnit.h"

#include "capture/CaptureGraph.h"
#include "capture/DeviceDiscovery.h"
#include "platform/devices/virtual/VirtualScanner.h"

#include <gtest/gtest.h>

#include <memory>

// A virtual scanner found by discovery and a fresh capture graph holding it as
// its device; the graph is destroyed and the scanner unplugged after each test.
class ScannerGraphFixture : public testing::Test {
protected:
    void TearDown() override {
        if (graph)
            graph->Destroy();
        graph = nullptr;
        device = nullptr;
        VirtualScanner::UnplugAll();
    }

    // Leaves `graph` null when discovery does not find the scanner.
    void AttachScanner(VirtualScannerConfig config) {
        scanner = VirtualScanner::Plug(std::move(config));
        IBaseFilter* filter = nullptr;
        ASSERT_TRUE(FindScannerDevice({}, nullptr, &filter));
        device = ComPtr<IBaseFilter>::Attach(filter);
        graph = CaptureGraph::Create();
        graph->AttachDevice(device.get());
    }

    CountingPause pause;
    std::shared_ptr<VirtualScanner> scanner;
    ComPtr<IBaseFilter> device;
    CaptureGraph* graph = nullptr;
};
