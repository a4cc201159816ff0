#include "capture/StreamFormats.h"

#include <cstdio>

bool CaptureFormatFits(int filmSizeIndex, LONG width, LONG height) {
    if (filmSizeIndex == kFilmSize126)
        return width == height;
    return width != height && width < kStillWidthThreshold;
}

bool StillFormatFits(int filmSizeIndex, LONG width, LONG height) {
    if (filmSizeIndex == kFilmSize126)
        return width == height;
    return width != height && width > kStillWidthThreshold;
}

namespace {

// One stream configuration serves both the capability list and SetFormat.
void SelectFormat(HRESULT configResult, IAMStreamConfig* config, bool (*fits)(int, LONG, LONG),
                  int filmSizeIndex) {
    if (FAILED(configResult) || !config)
        return;
    const CapabilityList capabilities = GetStreamCapabilities(config);
    const int chosen = ChooseCapability(capabilities, fits, filmSizeIndex);
    if (chosen >= 0)
        config->SetFormat(capabilities[static_cast<std::size_t>(chosen)].get());
}

} // namespace

int ChooseCapability(const CapabilityList& capabilities, bool (*fits)(int, LONG, LONG),
                     int filmSizeIndex) {
    for (std::size_t index = 0; index < capabilities.size(); ++index) {
        const AM_MEDIA_TYPE* type = capabilities[index].get();
        if (!type)
            continue;
        LONG width = 0;
        LONG height = 0;
        if (!GetVideoInfoSize(*type, &width, &height)) {
            if (type->formattype == FORMAT_VideoInfo) {
                std::printf("[%d] not FORMAT_VideoInfo\n", static_cast<int>(index));
                std::fflush(stdout);
            }
            continue;
        }
        if (fits(filmSizeIndex, width, height))
            return static_cast<int>(index);
    }
    return -1;
}

void SelectCaptureFormat(const CaptureGraph& graph, int filmSizeIndex) {
    ComPtr<IAMStreamConfig> config;
    const HRESULT hr = graph.CaptureStreamConfig(&config);
    SelectFormat(hr, config.get(), &CaptureFormatFits, filmSizeIndex);
}

void SelectStillFormat(const CaptureGraph& graph, int filmSizeIndex) {
    ComPtr<IAMStreamConfig> config;
    const HRESULT hr = graph.StillStreamConfig(&config);
    SelectFormat(hr, config.get(), &StillFormatFits, filmSizeIndex);
}

HRESULT UpdateStillFrameInfo(const CaptureGraph& graph, StillFrameInfo& info) {
    ComPtr<IAMStreamConfig> config;
    HRESULT hr = graph.StillStreamConfig(&config);
    if (FAILED(hr))
        return hr;
    AM_MEDIA_TYPE* raw = nullptr;
    hr = config->GetFormat(&raw);
    MediaTypePtr format(raw);
    if (FAILED(hr))
        return hr;
    LONG width = 0;
    LONG height = 0;
    if (format && GetVideoInfoSize(*format, &width, &height)) {
        info.width = width;
        info.height = height;
    }
    return S_OK;
}
