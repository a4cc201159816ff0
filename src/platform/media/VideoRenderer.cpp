#include "platform/media/VideoRenderer.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

VideoRendererWindow::VideoRendererWindow(QWidget* parent) : QWidget(parent) {
    // We paint every pixel ourselves.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void VideoRendererWindow::PresentFrame(QImage frame) {
    {
        std::lock_guard lock(frameMutex_);
        frame_ = std::move(frame);
        fresh_ = true;
    }
    ++presented_;
    // One queued update at a time; later frames just replace the slot.
    if (!updatePending_.exchange(true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                updatePending_ = false;
                update();
            },
            Qt::QueuedConnection);
    }
}

QImage VideoRendererWindow::CurrentFrame() const {
    std::lock_guard lock(frameMutex_);
    return frame_;
}

void VideoRendererWindow::PaintFrame(QPainter& painter, const QRect& target) {
    QImage frame;
    {
        std::lock_guard lock(frameMutex_);
        frame = frame_;
    }
    if (frame.isNull()) {
        painter.fillRect(target, Qt::black);
        return;
    }
    if (frame.size() == target.size()) {
        painter.drawImage(target.topLeft(), frame);
        return;
    }
    // The decoder already picked a scale close to the window: a plain
    // nearest-pixel stretch is enough and keeps the paint cheap.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, frame);
}

QSize VideoRendererWindow::TargetSize() const {
    return {targetWidth_.load(), targetHeight_.load()};
}

void VideoRendererWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFrame(painter, rect());
    bool fresh = false;
    {
        std::lock_guard lock(frameMutex_);
        fresh = std::exchange(fresh_, false) && !frame_.isNull();
    }
    if (fresh) {
        ++painted_;
        emit framePainted();
    }
}

void VideoRendererWindow::NoteGeometry() {
    targetWidth_ = width();
    targetHeight_ = height();
}

void VideoRendererWindow::resizeEvent(QResizeEvent* event) {
    NoteGeometry();
    QWidget::resizeEvent(event);
}

bool VideoRendererWindow::event(QEvent* event) {
    QWidget* drain = drain_.data();
    if (!drain)
        return QWidget::event(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF local = drain->mapFromGlobal(mouse->globalPosition());
        QMouseEvent copy(mouse->type(), local, mouse->scenePosition(), mouse->globalPosition(),
                         mouse->button(), mouse->buttons(), mouse->modifiers());
        QCoreApplication::sendEvent(drain, &copy);
        return true;
    }
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        QCoreApplication::sendEvent(drain, event);
        return true;
    default:
        return QWidget::event(event);
    }
}
