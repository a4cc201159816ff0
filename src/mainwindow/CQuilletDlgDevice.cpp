// The window's device-facing operations: finding, opening and closing the
// scanner and the capture calls. Discovery and the capture graph arrive with
// the capture work; until then no scanner is ever found and there is no graph.

#include "mainwindow/CQuilletDlg.h"

#include "controls/CSkinLabel.h"
#include "resources/ResourceIds.h"

bool CQuilletDlg::FindScannerDevice(const QString& /*wantedPath*/, QString* /*pathOut*/,
                                    IBaseFilter** filterOut) {
    // Discovery arrives with the capture work: no scanner is found until then.
    if (filterOut)
        *filterOut = nullptr;
    return false;
}

HRESULT CQuilletDlg::OpenDevice(IBaseFilter* filter) {
    CloseDevice();
    m_openDevice = filter; // capture: add a reference of the window's own
    if (QWidget* picture = GetDlgItem(IDC_NO_DEVICE_PICTURE))
        picture->hide();
    m_noDeviceLabel->hide();
    EnableControlsForDevice();
    m_statusLabel->setText(QString());
    // capture: ReadDeviceProperties()
    OnFilmTypeNegative();
    // capture: RefreshPropertyControls()
    StartCapture();
    return S_OK;
}

HRESULT CQuilletDlg::CloseDevice() {
    if (m_scanTimerId != 0) {
        killTimer(m_scanTimerId);
        m_scanTimerId = 0;
    }
    StopCapture();
    m_openDevice = nullptr; // capture: drop the window's reference
    // capture: ReleaseDeviceProperties()
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
    // capture: build and run a fresh graph, fit the live picture into 1001
    return S_OK;
}

void CQuilletDlg::StopCapture() {
    if (!m_captureGraph)
        return;
    // capture: stop and dismantle the graph
}

HRESULT CQuilletDlg::ShowPreview(bool /*show*/) {
    if (!m_captureGraph)
        return E_FAIL;
    // capture: attach and fit the renderer's window inside 1001, or detach it
    return E_NOTIMPL;
}
