#pragma once

#include "platform/com.h"
#include "platform/media/MediaTypes.h"

#include <QString>

class QWidget;

// The media graph: filters with pins, the filter graph, the capture graph
// builder, media control, the sample grabber and the video window. Push
// model: each running source output pin has one streaming thread that pushes
// samples downstream through IMemInputPin::Receive; Stop joins those threads.
// Building, running and stopping happen on the UI thread.

struct IBaseFilter;
struct IFilterGraph;
struct IMediaSample;

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
using OAFilterState = LONG;

using OAHWND = QWidget*;
constexpr LONG OATRUE = -1;
constexpr LONG OAFALSE = 0;

constexpr LONG WS_CHILD = 0x40000000;
constexpr LONG WS_CLIPSIBLINGS = 0x04000000;
constexpr LONG WS_CLIPCHILDREN = 0x02000000;

// Pin categories (AMPROPSETID_Pin / AMPROPERTY_PIN_CATEGORY on the pin's
// IKsPropertySet).
inline constexpr GUID PIN_CATEGORY_CAPTURE = {
    0xFB6C4281, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}};
inline constexpr GUID PIN_CATEGORY_PREVIEW = {
    0xFB6C4282, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}};
inline constexpr GUID PIN_CATEGORY_STILL = {
    0xFB6C428A, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}};
inline constexpr GUID AMPROPSETID_Pin = {
    0x9B00F101, 0x1567, 0x11D1, {0xB3, 0xF1, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};
constexpr DWORD AMPROPERTY_PIN_CATEGORY = 0;

// KSPROPERTY_SUPPORT_GET / _SET for IKsPropertySet::QuerySupported.
constexpr DWORD KSPROPERTY_SUPPORT_GET = 1;
constexpr DWORD KSPROPERTY_SUPPORT_SET = 2;

// Classes for CoCreateInstance.
inline constexpr CLSID CLSID_FilterGraph = {
    0xE436EBB3, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr CLSID CLSID_CaptureGraphBuilder2 = {
    0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};
inline constexpr CLSID CLSID_SampleGrabber = {
    0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
inline constexpr CLSID CLSID_NullRenderer = {
    0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
inline constexpr CLSID CLSID_VideoRenderer = {
    0x70E102B0, 0x5556, 0x11CE, {0x97, 0xC0, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
inline constexpr CLSID CLSID_MjpegDec = {
    0x301056D0, 0x6DFF, 0x11D2, {0x9E, 0xEB, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

// Interface ids (our own values).
inline constexpr IID IID_IPin = {0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 1}};
inline constexpr IID IID_IEnumPins = {0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 2}};
inline constexpr IID IID_IMediaFilter = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 3}};
inline constexpr IID IID_IBaseFilter = {0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 4}};
inline constexpr IID IID_IEnumFilters = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 5}};
inline constexpr IID IID_IFilterGraph = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 6}};
inline constexpr IID IID_IGraphBuilder = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 7}};
inline constexpr IID IID_ICaptureGraphBuilder2 = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 8}};
inline constexpr IID IID_IMediaControl = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 9}};
inline constexpr IID IID_IVideoWindow = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 10}};
inline constexpr IID IID_IMediaSample = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 11}};
inline constexpr IID IID_IMemInputPin = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 12}};
inline constexpr IID IID_ISampleGrabber = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 13}};
inline constexpr IID IID_IKsPropertySet = {
    0x51A90001, 0x7C1E, 0x4B5A, {0x9E, 0x01, 0, 0, 0, 0, 0, 14}};
inline constexpr IID IID_ISampleGrabberCB = {
    0x0579154A, 0x2B53, 0x4994, {0xB0, 0xD0, 0xE7, 0x73, 0x14, 0x8E, 0xFF, 0x85}};

struct PIN_INFO {
    ComPtr<IBaseFilter> pFilter; // the owning filter (counted)
    PIN_DIRECTION dir = PINDIR_INPUT;
    QString achName;
};

struct FILTER_INFO {
    QString achName;             // the name given to AddFilter
    ComPtr<IFilterGraph> pGraph; // the graph it belongs to, or null
};

struct IPin : IUnknown {
    static constexpr const GUID& Iid = IID_IPin;

    // Output pins: connect to `receivePin`, proposing `type` (or the pin's own
    // types in order when null). VFW_E_ALREADY_CONNECTED, VFW_E_NOT_STOPPED,
    // VFW_E_TYPE_NOT_ACCEPTED, VFW_E_INVALID_DIRECTION.
    virtual HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) = 0;
    // Input pins: accept a connection from `connector` with `type`.
    virtual HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) = 0;
    // Breaks this side of the connection only (the graph's Disconnect is
    // called for each side). S_FALSE when not connected.
    virtual HRESULT Disconnect() = 0;
    // VFW_E_NOT_CONNECTED when not connected.
    virtual HRESULT ConnectedTo(IPin** pin) = 0;
    virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT QueryPinInfo(PIN_INFO* info) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION* direction) = 0;
    // S_OK when the pin would accept the type, S_FALSE otherwise.
    virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* type) = 0;
    // The pin's preferred types, index 0 first: S_OK with a new type (release
    // with DeleteMediaType), VFW_S_NO_MORE_ITEMS past the end.
    virtual HRESULT GetMediaType(int index, AM_MEDIA_TYPE** type) = 0;
};

struct IEnumPins : IUnknown {
    static constexpr const GUID& Iid = IID_IEnumPins;
    // S_OK when all `count` were fetched, S_FALSE when fewer (end).
    virtual HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
};

struct IMediaFilter : IUnknown {
    static constexpr const GUID& Iid = IID_IMediaFilter;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Pause() = 0;
    // S_FALSE while the change of state is still under way.
    virtual HRESULT Run(REFERENCE_TIME start) = 0;
    // Waits up to `milliseconds` for a pending change: S_OK when settled,
    // VFW_S_STATE_INTERMEDIATE while still under way, or the failure that
    // ended it.
    virtual HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) = 0;
};

struct IBaseFilter : IMediaFilter {
    static constexpr const GUID& Iid = IID_IBaseFilter;
    using Parent = IMediaFilter;
    virtual HRESULT EnumPins(IEnumPins** pins) = 0;
    virtual HRESULT FindPin(const QString& name, IPin** pin) = 0;
    virtual HRESULT QueryFilterInfo(FILTER_INFO* info) = 0;
    // Called by the graph: joins (graph, name) or leaves (null).
    virtual HRESULT JoinFilterGraph(IFilterGraph* graph, const QString& name) = 0;
};

struct IEnumFilters : IUnknown {
    static constexpr const GUID& Iid = IID_IEnumFilters;
    virtual HRESULT Next(ULONG count, IBaseFilter** filters, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
};

struct IFilterGraph : IUnknown {
    static constexpr const GUID& Iid = IID_IFilterGraph;
    // Adds under `name` (an empty name gets one made up); a name already in
    // use gets a number appended and the answer VFW_S_DUPLICATE_NAME.
    virtual HRESULT AddFilter(IBaseFilter* filter, const QString& name) = 0;
    // Disconnects the filter's pins, then removes it. VFW_E_NOT_FOUND when it
    // is not in the graph, VFW_E_NOT_STOPPED while running.
    virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
    // A snapshot in the order the filters were added; removing filters while
    // walking it is fine.
    virtual HRESULT EnumFilters(IEnumFilters** filters) = 0;
    virtual HRESULT FindFilterByName(const QString& name, IBaseFilter** filter) = 0;
    // Connects exactly these two pins (output first), without inserting
    // anything.
    virtual HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) = 0;
    // Disconnects one side (see IPin::Disconnect); VFW_E_NOT_STOPPED while
    // running.
    virtual HRESULT Disconnect(IPin* pin) = 0;
};

struct IGraphBuilder : IFilterGraph {
    static constexpr const GUID& Iid = IID_IGraphBuilder;
    using Parent = IFilterGraph;
    // Connects, inserting an MJPEG decoder when the output is compressed and
    // the input does not take it.
    virtual HRESULT Connect(IPin* output, IPin* input) = 0;
    // Completes the stream from `output` to a video renderer.
    virtual HRESULT Render(IPin* output) = 0;
};

struct ICaptureGraphBuilder2 : IUnknown {
    static constexpr const GUID& Iid = IID_ICaptureGraphBuilder2;
    virtual HRESULT SetFiltergraph(IGraphBuilder* graph) = 0;
    // Makes a graph when none was set.
    virtual HRESULT GetFiltergraph(IGraphBuilder** graph) = 0;
    // `source` is a filter or an output pin. Without a sink the stream is
    // completed with the decoder (when needed) and a video renderer; with an
    // intermediate filter the stream goes source -> intermediate -> sink.
    // Filters given must already be in the graph.
    virtual HRESULT RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                                 IBaseFilter* intermediate, IBaseFilter* sink) = 0;
    // The index-th pin of `source` (a filter, or a pin that is tested itself)
    // with that direction, category (null: any) and major type (null: any),
    // only unconnected ones when `unconnected`. E_FAIL when there is none.
    virtual HRESULT FindPin(IUnknown* source, PIN_DIRECTION direction, const GUID* category,
                            const GUID* type, BOOL unconnected, int index, IPin** pin) = 0;
};

struct IMediaControl : IUnknown {
    static constexpr const GUID& Iid = IID_IMediaControl;
    // S_OK, S_FALSE while a source is still starting, or the first failure of
    // a filter (the graph is then stopped again).
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    // Stops sources first, joining their streaming threads.
    virtual HRESULT Stop() = 0;
    // S_OK when every filter has reached the graph's state,
    // VFW_S_STATE_INTERMEDIATE while one is still on its way (after waiting up
    // to `milliseconds`), or the failure that stopped a filter.
    virtual HRESULT GetState(LONG milliseconds, OAFilterState* state) = 0;
};

// The window of the graph's video renderer (asked of the graph; answered only
// while a video renderer is in it).
struct IVideoWindow : IUnknown {
    static constexpr const GUID& Iid = IID_IVideoWindow;
    virtual HRESULT put_WindowStyle(LONG style) = 0;
    virtual HRESULT get_WindowStyle(LONG* style) = 0;
    // OATRUE shows, OAFALSE hides.
    virtual HRESULT put_Visible(LONG visible) = 0;
    virtual HRESULT get_Visible(LONG* visible) = 0;
    // Reparents the window into `owner` (null: a hidden top-level window).
    virtual HRESULT put_Owner(OAHWND owner) = 0;
    virtual HRESULT get_Owner(OAHWND* owner) = 0;
    // Mouse and keyboard input on the window is passed on to `drain`.
    virtual HRESULT put_MessageDrain(OAHWND drain) = 0;
    virtual HRESULT get_MessageDrain(OAHWND* drain) = 0;
    // Geometry inside the owner.
    virtual HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) = 0;
    virtual HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) = 0;
};

struct IMediaSample : IUnknown {
    static constexpr const GUID& Iid = IID_IMediaSample;
    virtual HRESULT GetPointer(BYTE** buffer) = 0;
    virtual LONG GetSize() = 0;
    virtual LONG GetActualDataLength() = 0;
    virtual HRESULT SetActualDataLength(LONG length) = 0;
    virtual HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) = 0;
    virtual HRESULT SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) = 0;
    // S_OK with a new type when the format differs from the connection's,
    // S_FALSE (and null) otherwise.
    virtual HRESULT GetMediaType(AM_MEDIA_TYPE** type) = 0;
};

// Input pins take samples on the streaming thread of the source upstream.
struct IMemInputPin : IUnknown {
    static constexpr const GUID& Iid = IID_IMemInputPin;
    virtual HRESULT Receive(IMediaSample* sample) = 0;
};

struct ISampleGrabberCB : IUnknown {
    static constexpr const GUID& Iid = IID_ISampleGrabberCB;
    virtual HRESULT SampleCB(double sampleTime, IMediaSample* sample) = 0;
    virtual HRESULT BufferCB(double sampleTime, BYTE* buffer, LONG length) = 0;
};

struct ISampleGrabber : IUnknown {
    static constexpr const GUID& Iid = IID_ISampleGrabber;
    // After the first sample the grabber stops passing samples on.
    virtual HRESULT SetOneShot(BOOL oneShot) = 0;
    // Restricts the types the input accepts (GUID_NULL fields match all).
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT GetConnectedMediaType(AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT SetBufferSamples(BOOL buffer) = 0;
    // With a null buffer answers the size needed; E_OUTOFMEMORY when too
    // small; VFW_E_WRONG_STATE when nothing is buffered.
    virtual HRESULT GetCurrentBuffer(LONG* size, LONG* buffer) = 0;
    // which: 0 = SampleCB, 1 = BufferCB; called on the streaming thread. The
    // grabber holds a reference to the callback until replaced or destroyed.
    virtual HRESULT SetCallback(ISampleGrabberCB* callback, LONG which) = 0;
};

// Property access on pins (the pin category).
struct IKsPropertySet : IUnknown {
    static constexpr const GUID& Iid = IID_IKsPropertySet;
    virtual HRESULT Set(REFGUID set, DWORD id, void* instance, DWORD instanceLength, void* data,
                        DWORD dataLength) = 0;
    virtual HRESULT Get(REFGUID set, DWORD id, void* instance, DWORD instanceLength, void* data,
                        DWORD dataLength, DWORD* returned) = 0;
    virtual HRESULT QuerySupported(REFGUID set, DWORD id, DWORD* support) = 0;
};
