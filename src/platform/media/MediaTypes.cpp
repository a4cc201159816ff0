#include "platform/media/MediaTypes.h"

#include <algorithm>
#include <cstring>

void FreeMediaType(AM_MEDIA_TYPE& type) {
    if (type.pbFormat)
        CoTaskMemFree(type.pbFormat);
    if (type.pUnk)
        type.pUnk->Release();
    std::memset(&type, 0, sizeof type);
}

void DeleteMediaType(AM_MEDIA_TYPE* type) {
    if (!type)
        return;
    FreeMediaType(*type);
    CoTaskMemFree(type);
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source) {
    if (!target || !source)
        return E_POINTER;
    if (target == source)
        return S_OK;
    *target = *source;
    target->pbFormat = nullptr;
    if (source->cbFormat && source->pbFormat) {
        target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source->cbFormat));
        if (!target->pbFormat) {
            target->cbFormat = 0;
            target->pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(target->pbFormat, source->pbFormat, source->cbFormat);
    } else {
        target->cbFormat = 0;
    }
    if (target->pUnk)
        target->pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source) {
    if (!source)
        return nullptr;
    auto* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!type)
        return nullptr;
    std::memset(type, 0, sizeof *type);
    if (FAILED(CopyMediaType(type, source))) {
        CoTaskMemFree(type);
        return nullptr;
    }
    return type;
}

MediaType::MediaType() {
    std::memset(&type_, 0, sizeof type_);
}

MediaType::MediaType(const AM_MEDIA_TYPE& type) : MediaType() {
    CopyMediaType(&type_, &type);
}

MediaType::MediaType(const MediaType& other) : MediaType(other.type_) {}

MediaType::MediaType(MediaType&& other) noexcept : type_(other.type_) {
    std::memset(&other.type_, 0, sizeof other.type_);
}

MediaType& MediaType::operator=(const MediaType& other) {
    if (this != &other) {
        FreeMediaType(type_);
        CopyMediaType(&type_, &other.type_);
    }
    return *this;
}

MediaType& MediaType::operator=(MediaType&& other) noexcept {
    if (this != &other) {
        FreeMediaType(type_);
        type_ = other.type_;
        std::memset(&other.type_, 0, sizeof other.type_);
    }
    return *this;
}

MediaType::~MediaType() {
    FreeMediaType(type_);
}

MediaType MediaType::Video(const GUID& subtype, LONG width, LONG height,
                           REFERENCE_TIME frameInterval, const GUID& formatType, ULONG formatSize) {
    VIDEOINFOHEADER header{};
    header.rcSource = {0, 0, width, height};
    header.rcTarget = {0, 0, width, height};
    header.AvgTimePerFrame = frameInterval;
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = height;
    header.bmiHeader.biPlanes = 1;
    const bool rgb32 = subtype == MEDIASUBTYPE_RGB32;
    header.bmiHeader.biBitCount = rgb32 ? 32 : (subtype == MEDIASUBTYPE_YUY2 ? 16 : 24);
    header.bmiHeader.biCompression =
        rgb32 ? BI_RGB : (subtype == MEDIASUBTYPE_YUY2 ? FOURCC_YUY2 : FOURCC_MJPG);
    const auto pixels = static_cast<std::int64_t>(width) * (height < 0 ? -height : height);
    header.bmiHeader.biSizeImage = static_cast<DWORD>(pixels * header.bmiHeader.biBitCount / 8);
    header.dwBitRate = static_cast<DWORD>(header.bmiHeader.biSizeImage * 8 *
                                          (frameInterval > 0 ? 10000000 / frameInterval : 0));

    MediaType result;
    AM_MEDIA_TYPE& t = result.type_;
    t.majortype = MEDIATYPE_Video;
    t.subtype = subtype;
    t.bFixedSizeSamples = rgb32 ? 1 : 0;
    t.bTemporalCompression = 0;
    t.lSampleSize = rgb32 ? header.bmiHeader.biSizeImage : 0;
    t.formattype = formatType;
    if (formatSize > 0) {
        t.cbFormat = formatSize;
        t.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(formatSize));
        std::memset(t.pbFormat, 0, formatSize);
        std::memcpy(t.pbFormat, &header, std::min<std::size_t>(formatSize, sizeof header));
    }
    return result;
}

bool MediaType::VideoSize(LONG* width, LONG* height) const {
    return GetVideoInfoSize(type_, width, height);
}

bool GetVideoInfoSize(const AM_MEDIA_TYPE& type, LONG* width, LONG* height) {
    if (type.formattype != FORMAT_VideoInfo || type.cbFormat < sizeof(VIDEOINFOHEADER) ||
        !type.pbFormat)
        return false;
    VIDEOINFOHEADER header;
    std::memcpy(&header, type.pbFormat, sizeof header);
    if (width)
        *width = header.bmiHeader.biWidth;
    if (height)
        *height = header.bmiHeader.biHeight;
    return true;
}

bool IsCompressedVideo(const GUID& subtype) {
    return subtype == MEDIASUBTYPE_MJPG;
}

bool MediaTypeMatches(const AM_MEDIA_TYPE& pattern, const AM_MEDIA_TYPE& type) {
    auto fits = [](const GUID& want, const GUID& have) {
        return want == GUID_NULL || want == have;
    };
    if (!fits(pattern.majortype, type.majortype) || !fits(pattern.subtype, type.subtype) ||
        !fits(pattern.formattype, type.formattype))
        return false;
    if (pattern.cbFormat && pattern.pbFormat && type.pbFormat)
        return pattern.cbFormat == type.cbFormat &&
               std::memcmp(pattern.pbFormat, type.pbFormat, type.cbFormat) == 0;
    return true;
}
