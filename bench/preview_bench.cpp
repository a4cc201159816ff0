// The per-frame cost of the live picture: an MJPEG frame of the capture
// format decoded at a scale that still covers the renderer window, then
// painted into it; against a plain full-size decode of the same frame.

#include "capture/CaptureGraph.h"
#include "platform/DialogUnits.h"
#include "platform/devices/virtual/VirtualScanner.h"
#include "platform/imaging/Jpeg.h"
#include "platform/media/VideoRenderer.h"
#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kFrameWidth = 1280;
constexpr int kFrameHeight = 960;

// The live-picture control's size in pixels, as the dialog template makes it.
QSize LivePictureSize() {
    const DialogTemplate& dialog = MainDialogTemplate();
    const DialogControlTemplate* row = FindDialogControl(dialog, IDC_LIVE_PICTURE);
    if (!row)
        std::abort();
    return MapDialogRect(QRect(row->x, row->y, row->width, row->height),
                         DialogBaseUnitsForFont(DialogFont(dialog.fontPointSize)))
        .size();
}

struct Fixture {
    QByteArray jpeg;
    QSize window; // the renderer window inside the live-picture control
    std::unique_ptr<VideoRendererWindow> renderer;
    QImage surface; // stands for the window's backing store
};

Fixture& Shared() {
    static Fixture fixture = [] {
        Fixture f;
        // The frame the scanner sends: its own picture at the capture size.
        VirtualScannerConfig config;
        config.frameInterval = std::chrono::milliseconds(0);
        auto scanner = VirtualScanner::Plug(config);
        f.jpeg = EncodeJpeg(scanner->RenderPicture(kFrameWidth, kFrameHeight), 90);
        scanner->Unplug();

        const QSize control = LivePictureSize();
        PreviewPlacement placement;
        ComputePreviewPlacement(control.width(), control.height(), kFrameWidth, kFrameHeight,
                                &placement);
        f.window = QSize(placement.width, placement.height);
        f.renderer = std::make_unique<VideoRendererWindow>();
        f.renderer->resize(f.window);
        f.surface = QImage(f.window, QImage::Format_RGB32);
        return f;
    }();
    return fixture;
}

const std::uint8_t* Bytes(const QByteArray& data) {
    return reinterpret_cast<const std::uint8_t*>(data.constData());
}

void Label(benchmark::State& state, const JpegScale& scale) {
    Fixture& f = Shared();
    state.SetLabel(QStringLiteral("scale %1/%2 -> %3x%4, window %5x%6")
                       .arg(scale.num)
                       .arg(scale.denom)
                       .arg(scale.Apply(kFrameWidth))
                       .arg(scale.Apply(kFrameHeight))
                       .arg(f.window.width())
                       .arg(f.window.height())
                       .toStdString());
}

void PlainFullDecode(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        QImage frame = DecodeJpeg(Bytes(f.jpeg), static_cast<std::size_t>(f.jpeg.size()));
        benchmark::DoNotOptimize(frame.constBits());
    }
    Label(state, JpegScale{1, 1});
}

// Decode at one scale, hand the frame to the renderer, paint it.
void PreviewPath(benchmark::State& state, JpegScale scale) {
    Fixture& f = Shared();
    for (auto _ : state) {
        QImage frame = DecodeJpeg(Bytes(f.jpeg), static_cast<std::size_t>(f.jpeg.size()), scale);
        f.renderer->PresentFrame(std::move(frame));
        QPainter painter(&f.surface);
        f.renderer->PaintFrame(painter, QRect(QPoint(0, 0), f.window));
        painter.end();
        benchmark::DoNotOptimize(f.surface.constBits());
    }
    Label(state, scale);
}

// The scale the decoder filter picks for the renderer window.
void PreviewPathAsChosen(benchmark::State& state) {
    Fixture& f = Shared();
    PreviewPath(state, CoveringJpegScale(kFrameWidth, kFrameHeight, f.window));
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    benchmark::RegisterBenchmark("PlainFullDecode", PlainFullDecode)->Unit(benchmark::kMillisecond);
    // Every reducing scale that still covers the window, power of two or not.
    const QSize window = Shared().window;
    for (const JpegScale& scale : JpegScalingFactors()) {
        if (scale.num > scale.denom || scale.Apply(kFrameWidth) < window.width() ||
            scale.Apply(kFrameHeight) < window.height())
            continue;
        const std::string name =
            "PreviewPath/" + std::to_string(scale.num) + "_" + std::to_string(scale.denom);
        benchmark::RegisterBenchmark(name.c_str(), PreviewPath, scale)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("PreviewPathAsChosen", PreviewPathAsChosen)
        ->Unit(benchmark::kMillisecond);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Shared().renderer.reset();
    return 0;
}
