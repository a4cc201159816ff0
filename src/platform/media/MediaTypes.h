#pragma once

#include "platform/com.h"

#include <memory>

// Media types in the DirectShow layout: major type, subtype, format type and
// a format block of raw bytes (a VIDEOINFOHEADER for FORMAT_VideoInfo).

inline constexpr GUID MEDIATYPE_Video = {
    0x73646976, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr GUID MEDIATYPE_Stream = {
    0xE436EB83, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

inline constexpr GUID MEDIASUBTYPE_MJPG = {
    0x47504A4D, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr GUID MEDIASUBTYPE_YUY2 = {
    0x32595559, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr GUID MEDIASUBTYPE_RGB24 = {
    0xE436EB7D, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr GUID MEDIASUBTYPE_RGB32 = {
    0xE436EB7E, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

inline constexpr GUID FORMAT_None = {
    0x0F6417D6, 0xC318, 0x11D0, {0xA4, 0x3F, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
inline constexpr GUID FORMAT_VideoInfo = {
    0x05589F80, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
inline constexpr GUID FORMAT_VideoInfo2 = {
    0xF72A76A0, 0xEB0A, 0x11D0, {0xAC, 0xE4, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader) == 48);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader) + offsetof(BITMAPINFOHEADER, biWidth) == 52);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader) + offsetof(BITMAPINFOHEADER, biHeight) == 56);

// FOURCC compression codes for biCompression.
constexpr DWORD BI_RGB = 0;
constexpr DWORD FOURCC_MJPG = 0x47504A4D;
constexpr DWORD FOURCC_YUY2 = 0x32595559;

struct AM_MEDIA_TYPE {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk; // counted reference or null
    ULONG cbFormat;
    BYTE* pbFormat; // CoTaskMemAlloc'ed, cbFormat bytes, or null
};

// Frees the format block and the pUnk reference; the struct is left zeroed.
void FreeMediaType(AM_MEDIA_TYPE& type);
// FreeMediaType, then frees the struct itself (CoTaskMemFree). Null is fine.
void DeleteMediaType(AM_MEDIA_TYPE* type);
// Deep copy into an empty (or freed) struct.
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);
// Deep copy into a new CoTaskMemAlloc'ed struct; release with DeleteMediaType.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source);

struct MediaTypeDeleter {
    void operator()(AM_MEDIA_TYPE* type) const { DeleteMediaType(type); }
};
using MediaTypePtr = std::unique_ptr<AM_MEDIA_TYPE, MediaTypeDeleter>;

// Value type that owns its media type (for our own filters and devices).
class MediaType {
public:
    MediaType();
    explicit MediaType(const AM_MEDIA_TYPE& type);
    MediaType(const MediaType& other);
    MediaType(MediaType&& other) noexcept;
    MediaType& operator=(const MediaType& other);
    MediaType& operator=(MediaType&& other) noexcept;
    ~MediaType();

    // A MEDIATYPE_Video type of `subtype` and size width x height with a
    // VIDEOINFOHEADER block. `formatType` and `formatSize` may be changed to
    // make odd capabilities (FORMAT_VideoInfo2, a short block); the block
    // then holds the first `formatSize` bytes of the header (zero-padded).
    static MediaType Video(const GUID& subtype, LONG width, LONG height,
                           REFERENCE_TIME frameInterval = 666666,
                           const GUID& formatType = FORMAT_VideoInfo,
                           ULONG formatSize = sizeof(VIDEOINFOHEADER));

    const AM_MEDIA_TYPE& get() const { return type_; }
    AM_MEDIA_TYPE* Copy() const { return CreateMediaType(&type_); } // caller owns

    // Width and height when the type carries a VIDEOINFOHEADER block of full
    // size (FORMAT_VideoInfo, at least 88 bytes); false otherwise.
    bool VideoSize(LONG* width, LONG* height) const;

private:
    AM_MEDIA_TYPE type_;
};

// The same size rule on a raw media type.
bool GetVideoInfoSize(const AM_MEDIA_TYPE& type, LONG* width, LONG* height);

// Compressed subtypes need a decoder before the video renderer.
bool IsCompressedVideo(const GUID& subtype);

// Same major type, subtype and format type; format blocks compared when both
// carry one. GUID_NULL in `pattern` matches anything.
bool MediaTypeMatches(const AM_MEDIA_TYPE& pattern, const AM_MEDIA_TYPE& type);
