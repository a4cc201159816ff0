#include "mainwindow/CQuilletDlg.h"

#include "app/UILanguage.h"
#include "controls/CSkinLabel.h"
#include "platform/ShellDialogs.h"
#include "platform/SystemColors.h"
#include "resources/ResourceIds.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QSlider>
#include <QThread>
#include <QTimerEvent>

#include <iterator>

// Control notifications and their handlers. The window events (size, close,
// timer) and device changes reach OnSize, OnClose, OnTimer and OnDeviceChange
// through the event overrides and the device notifier.
const CQuilletDlg::MessageMapEntry CQuilletDlg::kMessageMap[] = {
    {IDC_LANGUAGE, IDC_LANGUAGE, Notification::SelectionChanged, &CQuilletDlg::OnLanguageChange},
    {IDC_SLIDER_SATURATION, IDC_SLIDER_BLUE, Notification::Scroll, &CQuilletDlg::OnAdjustSlider},
    {IDC_STRIP_FIRST, IDC_STRIP_LAST, Notification::Clicked, &CQuilletDlg::OnThumbnail},
    {IDC_PROPERTIES_DEFAULT, IDC_PROPERTIES_DEFAULT, Notification::Clicked,
     &CQuilletDlg::ApplyDefaultProperties},
    {IDC_FILM_BLACK_WHITE, IDC_FILM_BLACK_WHITE, Notification::Clicked,
     &CQuilletDlg::OnFilmTypeBlackWhite},
    {IDC_FILM_NEGATIVE, IDC_FILM_NEGATIVE, Notification::Clicked, &CQuilletDlg::OnFilmTypeNegative},
    {IDC_FILM_SLIDE, IDC_FILM_SLIDE, Notification::Clicked, &CQuilletDlg::OnFilmTypeSlide},
    {IDC_PROPERTIES_CUSTOM, IDC_PROPERTIES_CUSTOM, Notification::Clicked,
     &CQuilletDlg::OnCustomProperties},
    {IDC_SCAN, IDC_SCAN, Notification::Clicked, &CQuilletDlg::OnScan},
    {IDC_BROWSE_FOLDER, IDC_BROWSE_FOLDER, Notification::Clicked, &CQuilletDlg::OnBrowseFolder},
    {IDC_FILM_SIZE_135, IDC_FILM_SIZE_126, Notification::Clicked, &CQuilletDlg::OnFilmSize},
    {IDC_RESOLUTION_STANDARD, IDC_RESOLUTION_HIGH, Notification::Clicked,
     &CQuilletDlg::OnResolution},
    {IDC_BROWSE, IDC_BROWSE, Notification::Clicked, &CQuilletDlg::OnBrowse},
    {IDC_MIRROR, IDC_MIRROR, Notification::Clicked, &CQuilletDlg::OnMirror},
    {IDC_ROTATE, IDC_ROTATE, Notification::Clicked, &CQuilletDlg::OnRotate},
    {IDC_SAVE, IDC_SAVE, Notification::Clicked, &CQuilletDlg::OnSave},
    {IDC_DELETE, IDC_DELETE, Notification::Clicked, &CQuilletDlg::OnDelete},
};
const std::size_t CQuilletDlg::kMessageMapSize = std::size(CQuilletDlg::kMessageMap);

namespace {

// The trackbar notification for a slider action; -1 for none.
int TrackbarCode(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return TB_LINEUP;
    case QAbstractSlider::SliderSingleStepAdd:
        return TB_LINEDOWN;
    case QAbstractSlider::SliderPageStepSub:
        return TB_PAGEUP;
    case QAbstractSlider::SliderPageStepAdd:
        return TB_PAGEDOWN;
    case QAbstractSlider::SliderMove:
        return TB_THUMBTRACK;
    case QAbstractSlider::SliderToMinimum:
        return TB_TOP;
    case QAbstractSlider::SliderToMaximum:
        return TB_BOTTOM;
    default:
        return -1;
    }
}

} // namespace

void CQuilletDlg::ConnectMessageMap() {
    for (const MessageMapEntry& entry : kMessageMap) {
        for (int id = entry.firstId; id <= entry.lastId; ++id) {
            QWidget* control = GetDlgItem(id);
            const auto handler = entry.handler;
            switch (entry.notification) {
            case Notification::Clicked: {
                auto* button = qobject_cast<QAbstractButton*>(control);
                Q_ASSERT(button);
                connect(button, &QAbstractButton::clicked, this, [this, id, handler] {
                    if (const auto* command = std::get_if<CommandHandler>(&handler))
                        (this->**command)();
                    else if (const auto* perControl = std::get_if<ControlCommandHandler>(&handler))
                        (this->**perControl)(id);
                });
                break;
            }
            case Notification::SelectionChanged: {
                auto* combo = qobject_cast<QComboBox*>(control);
                Q_ASSERT(combo);
                const auto* command = std::get_if<CommandHandler>(&handler);
                Q_ASSERT(command);
                // Only a choice of the user's changes the selection, as on a drop-down list.
                connect(combo, &QComboBox::activated, this,
                        [this, command = *command] { (this->*command)(); });
                break;
            }
            case Notification::Scroll: {
                auto* slider = qobject_cast<QSlider*>(control);
                Q_ASSERT(slider);
                const auto* scroll = std::get_if<ScrollHandler>(&handler);
                Q_ASSERT(scroll);
                connect(slider, &QAbstractSlider::actionTriggered, this,
                        [this, slider, scroll = *scroll](int action) {
                            const int code = TrackbarCode(action);
                            if (code >= 0)
                                (this->*scroll)(code, slider->sliderPosition(), slider);
                        });
                connect(slider, &QAbstractSlider::sliderReleased, this,
                        [this, slider, scroll = *scroll] {
                            (this->*scroll)(TB_THUMBPOSITION, slider->sliderPosition(), slider);
                            (this->*scroll)(TB_ENDTRACK, slider->sliderPosition(), slider);
                        });
                break;
            }
            }
        }
    }
}

void CQuilletDlg::ShowScanStatus(int style, int messageId) {
    const int counter = m_scanCounter.load();
    if (QThread::currentThread() != thread()) {
        // Called by the still handler on a streaming thread: the label belongs
        // to the UI thread, and neither thread waits for the other.
        QMetaObject::invokeMethod(
            this, [this, style, messageId, counter] { ApplyScanStatus(style, messageId, counter); },
            Qt::QueuedConnection);
        return;
    }
    ApplyScanStatus(style, messageId, counter);
}

void CQuilletDlg::ApplyScanStatus(int style, int messageId, int counter) {
    if (!m_statusLabel)
        return;
    if (style == kStatusClear || messageId == 0) {
        m_statusLabel->setText(QString());
        return;
    }
    m_statusLabel->SetLabelText(QString::number(counter));
    if (style == kStatusStored)
        m_statusLabel->SetForegroundColor(ToColorRef(QColor::fromRgb(kStatusStoredColor)));
    else if (style == kStatusTimedOut)
        m_statusLabel->SetForegroundColor(ToColorRef(QColor::fromRgb(kStatusTimedOutColor)));
    m_statusLabel->SetBold(true);
    m_statusLabel->SetPointSize(kStatusPointSize);
    m_statusLabel->SetBackgroundColor(ToColorRef(QColor::fromRgb(kStatusBackground)));
}

void CQuilletDlg::OnTimer(int /*timerId*/) {
    if (m_scanTimerId != 0) {
        killTimer(m_scanTimerId);
        m_scanTimerId = 0;
    }
    // The number the missing still would have had; the counter stays.
    ApplyScanStatus(kStatusTimedOut, IDS_SAVE_FAILED, m_scanCounter.load() + 1);
}

void CQuilletDlg::timerEvent(QTimerEvent* event) {
    OnTimer(event->timerId());
    QDialog::timerEvent(event);
}

bool CQuilletDlg::OnDeviceChange(std::uint32_t event, const DeviceBroadcast* data) {
    const bool captureInterface = data && data->deviceType == DBT_DEVTYP_DEVICEINTERFACE &&
                                  data->interfaceClass == DeviceInterfaceClass::Capture;
    if (event == DBT_DEVICEARRIVAL) {
        if (m_openDevice || !captureInterface)
            return true;
        IBaseFilter* filter = nullptr;
        if (FindScannerDevice(data->name, &m_devicePath, &filter)) {
            OpenDevice(filter);
            filter->Release(); // OpenDevice holds its own
        }
    } else if (event == DBT_DEVICEREMOVECOMPLETE) {
        if (captureInterface && m_openDevice &&
            QString::compare(data->name, m_devicePath, Qt::CaseInsensitive) == 0)
            CloseDevice();
    }
    return true;
}

void CQuilletDlg::ReleaseWindowResources() {
    if (released_)
        return;
    released_ = true;
    if (notifier_ && m_deviceNotification != 0)
        notifier_->Unregister(m_deviceNotification);
    m_deviceNotification = 0;
    notifier_ = nullptr;
    StopCapture();
    ReleaseImageList();
    m_blankViewPicture = QImage();
    m_stillFrameInfo.reset();
}

void CQuilletDlg::OnClose() {
    ReleaseWindowResources();
}

void CQuilletDlg::closeEvent(QCloseEvent* event) {
    OnClose();
    QDialog::closeEvent(event); // issues the cancel command
}

void CQuilletDlg::reject() {
    // Escape ends the window without a close event: release the same way.
    ReleaseWindowResources();
    QDialog::reject();
}

void CQuilletDlg::OnLanguageChange() {
    const int index = m_languageChooser->currentIndex();
    if (index < 0 || index >= static_cast<int>(std::size(UILanguageTable)))
        return;
    CurrentUILanguage = static_cast<LANGID>(UILanguageTable[index].identifier);
    ApplyLocalizedTexts();
}

void CQuilletDlg::OnBrowseFolder() {
    UpdateData(true); // a folder typed into the edit box counts
    const std::optional<QString> chosen = CurrentShellDialogs().BrowseForFolder(this, m_saveFolder);
    if (!chosen || chosen->isEmpty())
        return;
    m_saveFolder = *chosen;
    if (!m_saveFolder.endsWith(QLatin1Char('/')))
        m_saveFolder += QLatin1Char('/');
    UpdateData(false);
}
