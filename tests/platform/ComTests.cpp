#include "platform/com.h"
#include "platform/media/MediaGraph.h"
#include "platform/media/MediaTypes.h"

#include <gtest/gtest.h>

#include <QSize>

namespace {

struct Counted : ComObject<IGraphBuilder, IMediaControl> {
    explicit Counted(bool* destroyed) : destroyed_(destroyed) {}
    ~Counted() override { *destroyed_ = true; }
    HRESULT AddFilter(IBaseFilter*, const QString&) override { return S_OK; }
    HRESULT RemoveFilter(IBaseFilter*) override { return S_OK; }
    HRESULT EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
    HRESULT FindFilterByName(const QString&, IBaseFilter**) override { return E_NOTIMPL; }
    HRESULT ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT Disconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT Connect(IPin*, IPin*) override { return E_NOTIMPL; }
    HRESULT Render(IPin*) override { return E_NOTIMPL; }
    HRESULT Run() override { return S_OK; }
    HRESULT Pause() override { return S_OK; }
    HRESULT Stop() override { return S_OK; }
    HRESULT GetState(LONG, OAFilterState*) override { return S_OK; }
    bool* destroyed_;
};

TEST(Com, QueryInterfaceAnswersListedInterfacesTheirParentsAndIUnknown) {
    bool destroyed = false;
    {
        auto object = MakeCom<Counted>(&destroyed);
        EXPECT_TRUE(object.As<IGraphBuilder>());
        EXPECT_TRUE(object.As<IFilterGraph>()); // parent of IGraphBuilder
        EXPECT_TRUE(object.As<IMediaControl>());
        EXPECT_FALSE(object.As<IVideoWindow>());
        // One identity for IUnknown.
        EXPECT_EQ(object.As<IUnknown>().get(), object.As<IMediaControl>().As<IUnknown>().get());
        EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(object->QueryInterface(IID_IVideoWindow, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
        ComPtr<IMediaControl> kept = object.As<IMediaControl>();
        object.Reset();
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);
}

TEST(Com, ClassesCanBeOverriddenOrRemovedForAWhile) {
    ComPtr<IBaseFilter> grabber;
    EXPECT_EQ(CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               grabber.put_void()),
              S_OK);
    EXPECT_TRUE(grabber.As<ISampleGrabber>());
    {
        ScopedComClassOverride gone(CLSID_SampleGrabber, {});
        EXPECT_EQ(CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IBaseFilter, grabber.put_void()),
                  REGDB_E_CLASSNOTREG);
        EXPECT_FALSE(grabber);
    }
    EXPECT_EQ(CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               grabber.put_void()),
              S_OK);
    const GUID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_INPROC, IID_IUnknown, grabber.put_void()),
              REGDB_E_CLASSNOTREG);
}

TEST(MediaTypes, CopiesOwnTheirBlocksAndSizesNeedFullVideoInfo) {
    MediaType type = MediaType::Video(MEDIASUBTYPE_MJPG, 1280, 960);
    AM_MEDIA_TYPE* copy = type.Copy();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->pbFormat, type.get().pbFormat);
    EXPECT_TRUE(MediaTypeMatches(type.get(), *copy));
    LONG w = 0, h = 0;
    EXPECT_TRUE(GetVideoInfoSize(*copy, &w, &h));
    EXPECT_EQ(QSize(w, h), QSize(1280, 960));
    DeleteMediaType(copy);

    struct Case {
        GUID format;
        ULONG size;
        bool sized;
    };
    for (const Case& c : {Case{FORMAT_VideoInfo, 88, true}, Case{FORMAT_VideoInfo, 87, false},
                          Case{FORMAT_VideoInfo, 40, false}, Case{FORMAT_VideoInfo2, 88, false},
                          Case{FORMAT_VideoInfo, 0, false}}) {
        MediaType odd = MediaType::Video(MEDIASUBTYPE_MJPG, 640, 480, 666666, c.format, c.size);
        EXPECT_EQ(odd.get().cbFormat, c.size);
        EXPECT_EQ(odd.VideoSize(nullptr, nullptr), c.sized) << c.size;
    }
    MediaType moved = std::move(type);
    EXPECT_TRUE(moved.VideoSize(nullptr, nullptr));
    EXPECT_EQ(type.get().pbFormat, nullptr); // NOLINT: moved-from is empty
}

} // namespace
