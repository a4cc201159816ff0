#include "capture/StreamFormats.h"

#include <cstdio>
#include <cstring>

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

// Width and height of a FORMAT_VideoInfo type with a full header.
bool VideoInfoSize(const AM_MEDIA_TYPE& type, LONG* width, LONG* height) {
    if (!(type.formattype == FORMAT_VideoInfo) || type.cbFormat < sizeof(VIDEOINFOHEADER) ||
        !type.pbFormat)
        return false;
    VIDEOINFOHEADER header;
    std::memcpy(&header, type.pbFormat, sizeof(header));
    *width = header.bmiHeader.biWidth;
    *height = header.bmiHeader.biHeight;
    return true;
}

void SelectFormat(const CapabilityList& capabilities, bool (*fits)(int, LONG, LONG),
                  int filmSizeIndex, IAMStreamConfig* config) {
    const int chosen = ChooseCapability(capabilities, fits, filmSizeIndex);
    if (chosen >= 0 && config)
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
        if (!VideoInfoSize(*type, &width, &height)) {
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
    const CapabilityList capabilities = SUCCEEDED(graph.CaptureStreamConfig(&config))
                                            ? graph.GetCaptureCapabilities()
                                            : CapabilityList{};
    SelectFormat(capabilities, &CaptureFormatFits, filmSizeIndex, config.get());
}

void SelectStillFormat(const CaptureGraph& graph, int filmSizeIndex) {
    ComPtr<IAMStreamConfig> config;
    const CapabilityList capabilities = SUCCEEDED(graph.StillStreamConfig(&config))
                                            ? graph.GetStillCapabilities()
                                            : CapabilityList{};
    SelectFormat(capabilities, &StillFormatFits, filmSizeIndex, config.get());
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
    if (format && VideoInfoSize(*format, &width, &height)) {
        info.width = width;
        info.height = height;
    }
    return S_OK;
}
