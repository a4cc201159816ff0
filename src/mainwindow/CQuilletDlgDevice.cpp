// The window's device-facing operations: finding, opening and closing the
// scanner, the capture graph's start and stop, the live picture's place in
// control 1001, the still trigger and the still's hand-over to the UI thread.

#include "mainwindow/CQuilletDlg.h"

#include "capture/CaptureGraph.h"
#include "capture/DeviceDiscovery.h"
#include "capture/StreamFormats.h"
#include "controls/CSkinLabel.h"
#include "platform/ShellDialogs.h"
#include "resources/ResourceIds.h"

#include <QByteArray>
#include <QMetaObject>

namespace {

const QString kDeviceLockedText = QStringLiteral("Device is locked by another application");
const QString kDeviceLockedCaption = QStringLiteral("ERROR");
constexpr COLORREF kLivePictureBackground = 0x000000; // black

} // namespace

bool CQuilletDlg::FindScannerDevice(const QString& wantedPath, QString* pathOut,
                                    IBaseFilter** filterOut) {
    return ::FindScannerDevice(wantedPath, pathOut, filterOut);
}

HRESULT CQuilletDlg::OpenDevice(IBaseFilter* filter) {
    CloseDevice();
    m_openDevice = filter; // a reference of the window's own
    if (QWidget* picture = GetDlgItem(IDC_NO_DEVICE_PICTURE))
        picture->hide();
    m_noDeviceLabel->hide();
    EnableControlsForDevice();
    m_statusLabel->setText(QString());
    ReadDeviceProperties();
    OnFilmTypeNegative();
    RefreshPropertyControls();
    StartCapture();
    return S_OK;
}

HRESULT CQuilletDlg::CloseDevice() {
    if (m_scanTimerId != 0) {
        killTimer(m_scanTimerId);
        m_scanTimerId = 0;
    }
    StopCapture();
    m_openDevice = nullptr;
    ReleaseDeviceProperties();
    EnableControlsForDevice();
    m_statusLabel->setText(QString());
    m_scanCounter = 0;
    if (QWidget* picture = GetDlgItem(IDC_NO_DEVICE_PICTURE))
        picture->show();
    m_noDeviceLabel->show();
    return S_OK;
}

HRESULT CQuilletDlg::StartCapture() {
    if (!m_openDevice)
        return S_OK;
    if (m_captureGraph) {
        m_captureGraph->Destroy();
        m_captureGraph = nullptr;
    }

    m_captureGraph = CaptureGraph::Create();
    m_captureGraph->AttachDevice(m_openDevice.get());
    m_captureGraph->callbackMode = kCallbackBuffer;
    m_captureGraph->callbackContext = this;
    m_captureGraph->stillBufferHandler = &CQuilletDlg::StillBufferHandler;
    m_captureGraph->stillSampleHandler = nullptr;

    SelectCaptureFormat(*m_captureGraph, m_filmSizeIndex);
    SelectStillFormat(*m_captureGraph, m_filmSizeIndex);
    // A failed build leaves no live picture and no stills; the steps below
    // then fail quietly.
    m_captureGraph->Build();
    ShowPreview(true);

    HRESULT run = E_FAIL;
    if (m_captureGraph->graph) {
        ComPtr<IMediaControl> control;
        if (SUCCEEDED(m_captureGraph->graph.As(&control)))
            run = RunGraph(control.get());
    }
    if (IsDeviceLockedResult(run)) {
        CurrentShellDialogs().ShowMessage(this, kDeviceLockedText, kDeviceLockedCaption,
                                          ShellDialogs::MessageIcon::None);
        // The message box runs events: the scanner may have gone meanwhile.
        if (!m_captureGraph)
            return S_OK;
    }

    if (m_stillFrameInfo) {
        const HRESULT hr = UpdateStillFrameInfo(*m_captureGraph, *m_stillFrameInfo);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

void CQuilletDlg::StopCapture() {
    if (!m_captureGraph)
        return;
    m_captureGraph->Stop();
    ShowPreview(false);
    m_captureGraph->RemoveDownstream(m_captureGraph->sourceFilter.get());
    m_captureGraph->ReleaseStillGrabber();
    m_captureGraph->ReleaseSources();
    m_captureGraph->Destroy();
    m_captureGraph = nullptr;
}

HRESULT CQuilletDlg::ShowPreview(bool show) {
    if (!m_captureGraph || !m_captureGraph->graph || !m_livePictureLabel)
        return E_FAIL;
    ComPtr<IVideoWindow> window;
    HRESULT hr = m_captureGraph->graph.As(&window);
    if (FAILED(hr))
        return hr;

    if (show) {
        MediaTypePtr format;
        hr = m_captureGraph->GetCaptureFormat(&format);
        if (FAILED(hr))
            return hr;
        LONG width = 0;
        LONG height = 0;
        PreviewPlacement placement;
        if (!format || !GetVideoInfoSize(*format, &width, &height) ||
            !ComputePreviewPlacement(m_livePictureLabel->width(), m_livePictureLabel->height(),
                                     width, height, &placement))
            return E_FAIL;
        window->put_Owner(m_livePictureLabel);
        window->put_MessageDrain(m_livePictureLabel);
        window->put_WindowStyle(WS_CHILD);
        window->SetWindowPosition(placement.left, placement.top, placement.width, placement.height);
        window->put_Visible(OATRUE);
    } else {
        window->put_Visible(OAFALSE);
        window->put_MessageDrain(nullptr);
        window->put_Owner(nullptr);
    }
    m_livePictureLabel->SetBackgroundColor(kLivePictureBackground);
    return S_OK;
}

void CQuilletDlg::TriggerStill() {
    if (!m_captureGraph || !m_captureGraph->deviceFilter)
        return;
    ComPtr<IAMVideoControl> videoControl;
    if (FAILED(m_captureGraph->deviceFilter->QueryInterface(IID_IAMVideoControl,
                                                            videoControl.put_void())) ||
        !videoControl)
        return;
    if (!m_captureGraph->builder)
        return;
    ComPtr<IPin> stillPin;
    if (FAILED(m_captureGraph->builder->FindPin(m_captureGraph->deviceFilter, PINDIR_OUTPUT,
                                                &PIN_CATEGORY_STILL, nullptr, 0, 0,
                                                stillPin.put())) ||
        !stillPin)
        return;
    videoControl->SetMode(stillPin.get(), VideoControlFlag_Trigger);
}

void CQuilletDlg::StillBufferHandler(void* context, double /*sampleTime*/, BYTE* bytes,
                                     LONG length) {
    static_cast<CQuilletDlg*>(context)->OnStillFrame(bytes, length);
}

void CQuilletDlg::OnStillFrame(const BYTE* bytes, LONG length) {
    // Streaming thread: copy what the grabber lends and hand it to the UI
    // thread without waiting for it.
    if (!bytes || length <= 0)
        return;
    QByteArray still(reinterpret_cast<const char*>(bytes), length);
    QMetaObject::invokeMethod(
        this, [this, still = std::move(still)] { emit stillFrameReceived(still); },
        Qt::QueuedConnection);
}

// The property table arrives with the property work; until then opening a
// device reads, refreshes and releases nothing.
HRESULT CQuilletDlg::ReadDeviceProperties() {
    return m_openDevice ? E_NOTIMPL : E_FAIL;
}

void CQuilletDlg::RefreshPropertyControls() {}

void CQuilletDlg::ReleaseDeviceProperties() {}
