#pragma once

#include "platform/devices/DeviceModel.h"
#include "platform/devices/virtual/VirtualScanner.h"
#include "platform/media/MediaGraph.h"

#include <gtest/gtest.h>

#include <QString>

#include <chrono>
#include <vector>

using namespace std::chrono_literals;

// Every test starts and ends with no virtual scanner plugged.
class VirtualScannerTest : public ::testing::Test {
protected:
    void SetUp() override { VirtualScanner::UnplugAll(); }
    void TearDown() override { VirtualScanner::UnplugAll(); }

    // A scanner whose live frames come only on RequestFrame.
    static VirtualScannerConfig QuietConfig() {
        VirtualScannerConfig config;
        config.frameInterval = 0ms;
        return config;
    }

    static std::vector<ComPtr<IMoniker>> Devices() {
        ComPtr<ICreateDevEnum> devEnum;
        EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC,
                                   IID_ICreateDevEnum, devEnum.put_void()),
                  S_OK);
        std::vector<ComPtr<IMoniker>> result;
        ComPtr<IEnumMoniker> monikers;
        if (devEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0) !=
            S_OK)
            return result;
        IMoniker* moniker = nullptr;
        while (monikers->Next(1, &moniker, nullptr) == S_OK)
            result.push_back(ComPtr<IMoniker>::Attach(moniker));
        return result;
    }

    static QString PathOf(IMoniker* moniker) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void())))
            return {};
        VARIANT value;
        VariantInit(&value);
        if (FAILED(bag->Read(QStringLiteral("DevicePath"), &value, nullptr)))
            return {};
        QString path = value.bstrVal;
        VariantClear(&value);
        return path;
    }

    static ComPtr<IBaseFilter> Bind(IMoniker* moniker) {
        ComPtr<IBaseFilter> filter;
        EXPECT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.put_void()),
                  S_OK);
        return filter;
    }

    // Plugs a scanner and binds its capture filter.
    ComPtr<IBaseFilter> PlugAndBind(VirtualScannerConfig config = QuietConfig()) {
        scanner_ = VirtualScanner::Plug(std::move(config));
        auto devices = Devices();
        EXPECT_EQ(devices.size(), 1u);
        return devices.empty() ? nullptr : Bind(devices.back().get());
    }

    std::shared_ptr<VirtualScanner> scanner_;
};

template <class T> ComPtr<T> Create(const CLSID& clsid) {
    ComPtr<T> object;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, T::Iid, object.put_void()),
              S_OK);
    return object;
}

inline QString NameOf(IBaseFilter* filter) {
    FILTER_INFO info;
    filter->QueryFilterInfo(&info);
    return info.achName;
}

inline std::vector<QString> FilterNames(IFilterGraph* graph) {
    std::vector<QString> names;
    ComPtr<IEnumFilters> filters;
    graph->EnumFilters(filters.put());
    IBaseFilter* filter = nullptr;
    while (filters->Next(1, &filter, nullptr) == S_OK) {
        names.push_back(NameOf(filter));
        filter->Release();
    }
    return names;
}
