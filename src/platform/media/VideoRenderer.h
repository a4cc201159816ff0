#pragma once

#include "platform/media/MediaGraph.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <mutex>

// The video renderer's window. Frames arrive from a streaming thread through
// a mutex-guarded slot that keeps only the newest one; one queued update is
// outstanding at a time, so a fast stream never floods the UI thread.
class VideoRendererWindow : public QWidget {
    Q_OBJECT

public:
    explicit VideoRendererWindow(QWidget* parent = nullptr);

    // Any thread. Keeps the frame and schedules a repaint.
    void PresentFrame(QImage frame);
    QImage CurrentFrame() const;
    int FramesPresented() const { return presented_.load(); }
    int FramesPainted() const { return painted_.load(); }

    // Paints the current frame over `target` (what paintEvent does): a frame
    // of the target's size is copied as it is, any other is scaled.
    void PaintFrame(QPainter& painter, const QRect& target);

    // Mouse and keyboard input goes on to this widget when set.
    void SetMessageDrain(QWidget* drain) { drain_ = drain; }
    QWidget* MessageDrain() const { return drain_; }

    // The decoder upstream reads it to pick its scale (any thread).
    QSize TargetSize() const;
    // Records the current size as the target (also done on every resize,
    // which Qt delays for hidden widgets).
    void NoteGeometry();

signals:
    // On the UI thread, after a newly presented frame was painted.
    void framePainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    mutable std::mutex frameMutex_;
    QImage frame_;
    bool fresh_ = false;
    std::atomic<bool> updatePending_{false};
    std::atomic<int> presented_{0};
    std::atomic<int> painted_{0};
    std::atomic<int> targetWidth_{0};
    std::atomic<int> targetHeight_{0};
    QPointer<QWidget> drain_; // may go away before us
};

// The window of a video renderer filter made by CoCreateInstance of
// CLSID_VideoRenderer (or inserted by RenderStream); null for other filters.
VideoRendererWindow* VideoRendererWindowOf(IBaseFilter* renderer);
