#pragma once

#include "platform/media/MediaGraph.h"

// Our stock filters and graph objects, as CoCreateInstance makes them.
ComPtr<IBaseFilter> CreateSampleGrabberFilter();
ComPtr<IBaseFilter> CreateNullRendererFilter();
ComPtr<IBaseFilter> CreateMjpegDecoderFilter();
ComPtr<IBaseFilter> CreateVideoRendererFilter();
ComPtr<IGraphBuilder> CreateFilterGraph();
ComPtr<ICaptureGraphBuilder2> CreateCaptureGraphBuilder();

// Whether a filter is one of our video renderers / MJPEG decoders.
bool IsVideoRendererFilter(IBaseFilter* filter);
