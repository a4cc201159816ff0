#pragma once

#include "capture/StillFrameInfo.h"
#include "mainwindow/DialogLayout.h"
#include "mainwindow/SaveFolder.h"
#include "platform/DeviceNotifier.h"
#include "platform/DialogUnits.h"
#include "platform/SystemColors.h"
#include "platform/com.h"
#include "platform/hresult.h"
#include "platform/media/MediaGraph.h"

#include <QByteArray>
#include <QColor>
#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <variant>

class CRoundSkinButton;
class CSkinButton;
class CSkinLabel;
class CSkinSlider;
class QButtonGroup;
class QComboBox;
class QLabel;
class QSlider;
struct DialogControlTemplate;

// The capture graph the window holds; the capture library defines it.
struct CaptureGraph;

// Trackbar notification codes passed to OnAdjustSlider.
constexpr int TB_LINEUP = 0;
constexpr int TB_LINEDOWN = 1;
constexpr int TB_PAGEUP = 2;
constexpr int TB_PAGEDOWN = 3;
constexpr int TB_THUMBPOSITION = 4;
constexpr int TB_THUMBTRACK = 5;
constexpr int TB_TOP = 6;
constexpr int TB_BOTTOM = 7;
constexpr int TB_ENDTRACK = 8;

// Size types passed to OnSize.
constexpr int SIZE_RESTORED = 0;
constexpr int SIZE_MINIMIZED = 1;
constexpr int SIZE_MAXIMIZED = 2;

// Status styles of ShowScanStatus.
constexpr int kStatusClear = 0;
constexpr int kStatusStored = 1;
constexpr int kStatusTimedOut = 2;
constexpr QRgb kStatusStoredColor = 0xFF007AD9;   // RGB(0, 122, 217)
constexpr QRgb kStatusTimedOutColor = 0xFFFF0000; // RGB(255, 0, 0)
constexpr QRgb kStatusBackground = 0xFFFFFF00;    // RGB(255, 255, 0)
constexpr int kStatusPointSize = 32;

constexpr QRgb kNoDeviceTextColor = 0xFFF44336; // RGB(244, 67, 54)
constexpr int kNoDevicePointSize = 20;
constexpr QRgb kBlankViewColor = 0xFF595959; // RGB(89, 89, 89), opaque

// The scan time-out started by Scan.
constexpr int kScanTimeoutMs = 2000;

// Title of the window in every UI language.
inline constexpr char kWindowTitle[] = "Tessaly";

// The program's only window, built from dialog template 102 when it is first
// shown (exec or show), and run modally by the application object.
class CQuilletDlg : public QDialog {
    Q_OBJECT
public:
    explicit CQuilletDlg(QWidget* parent = nullptr,
                         const KnownFolders& folders = KnownFolders::FromSystem());
    ~CQuilletDlg() override;

    int DoModal() { return exec(); }

    // The control with template id `id`, or nullptr (also before the window
    // has been created).
    QWidget* GetDlgItem(int id) const;
    // A control's text as the user sees it; empty for an unknown id.
    QString GetDlgItemText(int id) const;
    // Sets a control's text; ampersands follow the button and static rules.
    void SetDlgItemText(int id, const QString& text);

    // Moves the control values into the members (true) or back (false).
    bool UpdateData(bool saveAndValidate = true);

    // Operations other parts of the window call.
    void ApplyLocalizedTexts();
    void EnableControlsForDevice();
    // May be called from any thread; the label changes on the UI thread.
    void ShowScanStatus(int style, int messageId);

    void setVisible(bool visible) override;
    void accept() override; // the OK command: does nothing
    void reject() override; // the cancel command: releases, then ends the window

signals:
    // On the UI thread: a still arrived from the scanner (its bytes as sent).
    void stillFrameReceived(const QByteArray& bytes);

protected:
    virtual void DoDataExchange(bool saveAndValidate);
    virtual bool OnInitDialog();
    virtual void OnOK();

    // Device-facing operations (CQuilletDlgDevice.cpp).
    virtual bool FindScannerDevice(const QString& wantedPath, QString* pathOut,
                                   IBaseFilter** filterOut);
    HRESULT OpenDevice(IBaseFilter* filter);
    HRESULT CloseDevice();
    HRESULT StartCapture();
    void StopCapture();
    HRESULT ShowPreview(bool show);
    // Asks the device for one still on its still pin.
    void TriggerStill();
    // The still grabber's buffer handler: `context` is the window.
    static void StillBufferHandler(void* context, double sampleTime, BYTE* bytes, LONG length);
    // Streaming thread: copies the still and hands it to the UI thread.
    void OnStillFrame(const BYTE* bytes, LONG length);
    // The device's picture properties (the property table).
    HRESULT ReadDeviceProperties();
    void RefreshPropertyControls();
    void ReleaseDeviceProperties();

    void InitImageStrip();

    // Window events.
    void OnSize(int type, int cx, int cy);
    void OnGetMinMaxInfo(QSize& minTrackSize) const;
    bool OnDeviceChange(std::uint32_t event, const DeviceBroadcast* data);
    void OnClose();
    void OnTimer(int timerId);
    void OnLanguageChange();
    void OnBrowseFolder();

    // Handlers whose behaviour arrives with the capture and image work.
    void OnAdjustSlider(int code, int position, QSlider* slider);
    void ApplyDefaultProperties();
    void OnCustomProperties();
    void OnFilmTypeSlide();
    void OnFilmTypeNegative();
    void OnFilmTypeBlackWhite();
    void OnFilmSize();
    void OnResolution();
    void OnScan();
    void OnThumbnail(int id);
    void OnBrowse();
    void OnSave();
    void OnMirror();
    void OnRotate();
    void OnDelete();
    void ReleaseImageList();

    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

    // The message map: control notifications to handlers. Window events reach
    // their handlers through the event overrides above.
    enum class Notification { Clicked, SelectionChanged, Scroll };
    using CommandHandler = void (CQuilletDlg::*)();
    using ControlCommandHandler = void (CQuilletDlg::*)(int controlId);
    using ScrollHandler = void (CQuilletDlg::*)(int code, int position, QSlider* slider);
    struct MessageMapEntry {
        int firstId;
        int lastId;
        Notification notification;
        std::variant<CommandHandler, ControlCommandHandler, ScrollHandler> handler;
    };
    static const MessageMapEntry kMessageMap[];
    static const std::size_t kMessageMapSize;

    // Members, in the order the window's parts are described.
    QComboBox* m_languageChooser = nullptr;
    CSkinLabel* m_statusLabel = nullptr;
    CSkinLabel* m_livePictureLabel = nullptr;
    CSkinLabel* m_noDeviceLabel = nullptr;
    int m_resolutionIndex = 0;
    QString m_saveFolder;
    int m_filmSizeIndex = 0;
    int m_filmTypeIndex = 0;
    int m_fileFormatIndex = 0;
    int m_minWindowWidth = 0; // client size at open: the platform adds the frame
    int m_minWindowHeight = 0;
    CSkinSlider* m_brightnessSlider = nullptr; // 1003
    CSkinSlider* m_saturationSlider = nullptr; // 1002
    CSkinSlider* m_contrastSlider = nullptr;   // 1004
    CSkinSlider* m_redSlider = nullptr;        // 1005
    CSkinSlider* m_greenSlider = nullptr;      // 1006
    CSkinSlider* m_blueSlider = nullptr;       // 1007
    CRoundSkinButton* m_scanButton = nullptr;
    CRoundSkinButton* m_browseButton = nullptr;
    CRoundSkinButton* m_mirrorButton = nullptr;
    CRoundSkinButton* m_rotateButton = nullptr;
    CRoundSkinButton* m_deleteButton = nullptr;
    CRoundSkinButton* m_saveButton = nullptr;
    QIcon m_windowIcon;
    DeviceNotifier::Handle m_deviceNotification = 0;
    QString m_devicePath;
    ComPtr<IBaseFilter> m_openDevice;
    CaptureGraph* m_captureGraph = nullptr;
    std::unique_ptr<StillFrameInfo> m_stillFrameInfo;
    // Written by the still handler on a streaming thread as well.
    std::atomic<int> m_scanCounter{0};
    int m_scanTimerId = 0;
    // image list: arrives with the image store
    std::array<CSkinButton*, 12> m_stripButtons{};
    int m_selectedIndex = -1;
    COLORREF m_stripNormalBackground = 0;
    QLabel* m_pictureControl = nullptr;
    QRect m_viewRect;
    QImage m_blankViewPicture;
    // property interfaces and DevicePropertyTable: arrive with the capture work

private:
    void CreateFromTemplate();
    QWidget* CreateControl(const DialogControlTemplate& row);
    void ConnectMessageMap();
    void ApplyScanStatus(int style, int messageId, int counter);
    void ReleaseWindowResources();
    void ExchangeRadio(bool save, int firstId, int& index);
    void ExchangeText(bool save, int id, QString& value);
    template <class T> void BindControl(int id, T*& member);

    KnownFolders folders_;
    DialogBaseUnits baseUnits_;
    std::map<int, QWidget*> controls_;
    std::map<int, QButtonGroup*> radioGroups_; // by the id of the group's first button
    DialogLayout layout_;
    DeviceNotifier* notifier_ = nullptr; // where m_deviceNotification is registered
    bool created_ = false;
    bool released_ = false;
};

// A static control's display text for a text with "&" prefixes: "&&" shows
// one ampersand, a single "&" marks a mnemonic and is not shown.
QString StaticDisplayText(const QString& text);
