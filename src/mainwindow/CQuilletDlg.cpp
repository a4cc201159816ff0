#include "mainwindow/CQuilletDlg.h"

#include "app/LocalizedStringLoader.h"
#include "controls/CRoundSkinButton.h"
#include "controls/CSkinButton.h"
#include "controls/CSkinLabel.h"
#include "controls/CSkinSlider.h"
#include "platform/SystemColors.h"
#include "resources/DialogTemplate.h"
#include "resources/Icons.h"
#include "resources/ResourceIds.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>

namespace {

constexpr char kControlIdProperty[] = "controlId";

// The controls that keep their state whether or not a scanner is open.
constexpr std::array kAlwaysLeftAlone = {
    IDC_LANGUAGE,         IDC_SAVE_FOLDER,         IDC_BROWSE_FOLDER,
    IDC_LANGUAGE_CAPTION, IDC_SAVE_FOLDER_CAPTION, IDC_BROWSE};

// Control and string id pairs of ApplyLocalizedTexts, in the order applied.
constexpr std::array<std::pair<int, int>, 26> kLocalizedTexts = {{
    {IDC_SCAN, IDS_SCAN},
    {IDC_ADJUST_GROUP, IDS_ADJUST},
    {IDC_CAPTION_SATURATION, IDS_SATURATION},
    {IDC_CAPTION_BRIGHTNESS, IDS_BRIGHTNESS},
    {IDC_CAPTION_CONTRAST, IDS_CONTRAST},
    {IDC_CAPTION_RED, IDS_RED},
    {IDC_CAPTION_GREEN, IDS_GREEN},
    {IDC_CAPTION_BLUE, IDS_BLUE},
    {IDC_PROPERTIES_DEFAULT, IDS_DEFAULT},
    {IDC_PROPERTIES_CUSTOM, IDS_CUSTOM},
    {IDC_FILM_TYPE_GROUP, IDS_FILM_TYPE},
    {IDC_FILM_SLIDE, IDS_SLIDE},
    {IDC_FILM_NEGATIVE, IDS_NEGATIVE},
    {IDC_FILM_BLACK_WHITE, IDS_BLACK_WHITE},
    {IDC_RESOLUTION_GROUP, IDS_RESOLUTION},
    {IDC_FILM_SIZE_GROUP, IDS_FILM_SIZE},
    {IDC_LANGUAGE_CAPTION, IDS_UI_LANGUAGE},
    {IDC_SAVE_FOLDER_CAPTION, IDS_SAVE_FILES_IN},
    {IDC_BROWSE, IDS_BROWSE},
    {IDC_RESOLUTION_STANDARD, IDS_STANDARD},
    {IDC_RESOLUTION_HIGH, IDS_HIGH},
    {IDC_MIRROR, IDS_MIRROR},
    {IDC_ROTATE, IDS_ROTATE},
    {IDC_DELETE, IDS_DELETE},
    {IDC_SAVE, IDS_SAVE},
    {IDC_STRIP_GROUP, IDS_FINAL_IMAGES},
}};

// Which class a control is made of, by the member it is bound to.
enum class ControlClass { Plain, RoundSkinButton, SkinButton, SkinLabel, SkinSlider };

ControlClass ClassOfControl(int id) {
    switch (id) {
    case IDC_SCAN:
    case IDC_BROWSE:
    case IDC_MIRROR:
    case IDC_ROTATE:
    case IDC_DELETE:
    case IDC_SAVE:
        return ControlClass::RoundSkinButton;
    case IDC_STATUS:
    case IDC_LIVE_PICTURE:
    case IDC_NO_DEVICE_LABEL:
        return ControlClass::SkinLabel;
    default:
        break;
    }
    if (id >= IDC_SLIDER_SATURATION && id <= IDC_SLIDER_BLUE)
        return ControlClass::SkinSlider;
    if (id >= IDC_STRIP_FIRST && id <= IDC_STRIP_LAST)
        return ControlClass::SkinButton;
    return ControlClass::Plain;
}

std::optional<int> ControlIdOf(const QWidget* widget) {
    const QVariant id = widget->property(kControlIdProperty);
    if (!id.isValid())
        return std::nullopt;
    return id.toInt();
}

// The static-control style word of a text row, for the skinned label.
unsigned StaticStyleOf(const DialogControlTemplate& row) {
    unsigned style = CSkinLabel::SS_LEFT;
    if (row.styles & kStyleNoWordWrap)
        style = CSkinLabel::SS_LEFTNOWORDWRAP;
    else if (row.styles & kStyleCenter)
        style = CSkinLabel::SS_CENTER;
    if (row.styles & kStyleCenterImage)
        style |= CSkinLabel::SS_CENTERIMAGE;
    return style;
}

bool IsAlwaysLeftAlone(int id) {
    return std::find(kAlwaysLeftAlone.begin(), kAlwaysLeftAlone.end(), id) !=
           kAlwaysLeftAlone.end();
}

} // namespace

QString StaticDisplayText(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                shown += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        shown += text[i];
    }
    return shown;
}

CQuilletDlg::CQuilletDlg(QWidget* parent, const KnownFolders& folders)
    : QDialog(parent), folders_(folders) {
    m_windowIcon = LoadIconResource(IDI_QUILLET);
    m_stillFrameInfo = std::make_unique<StillFrameInfo>();
    // property table rows: arrive with the capture work
    m_saveFolder = DefaultSaveFolder(folders_);
}

CQuilletDlg::~CQuilletDlg() {
    // The notifier outlives the window: never leave it a handler into a dead one.
    if (notifier_ && m_deviceNotification != 0)
        notifier_->Unregister(m_deviceNotification);
    // Nor a running graph whose still handler points at it.
    StopCapture();
}

QWidget* CQuilletDlg::GetDlgItem(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QString CQuilletDlg::GetDlgItemText(int id) const {
    QWidget* widget = GetDlgItem(id);
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    return QString();
}

void CQuilletDlg::SetDlgItemText(int id, const QString& text) {
    QWidget* widget = GetDlgItem(id);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text); // "&&" shows one ampersand, as on buttons everywhere
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    } else if (auto* skinned = qobject_cast<CSkinLabel*>(widget)) {
        skinned->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(StaticDisplayText(text));
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
    }
}

void CQuilletDlg::setVisible(bool visible) {
    // The window is made from its template the first time it is shown, as a
    // dialog box is made when it is run.
    if (visible && !created_) {
        created_ = true;
        CreateFromTemplate();
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void CQuilletDlg::CreateFromTemplate() {
    const DialogTemplate& dialog = MainDialogTemplate();
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont(dialog.fontPointSize));
    baseUnits_ = DialogBaseUnitsForFont(font());
    setWindowTitle(QString());

    QWidget* previousTabStop = nullptr;
    QButtonGroup* group = nullptr;
    for (const DialogControlTemplate& row : dialog.controls) {
        QWidget* widget = CreateControl(row);
        controls_[row.id] = widget;

        if (row.kind == DialogControlKind::RadioButton) {
            auto* radio = static_cast<QRadioButton*>(widget);
            if ((row.styles & kStyleGroup) || !group) {
                group = new QButtonGroup(this);
                radioGroups_[row.id] = group;
            }
            group->addButton(radio, static_cast<int>(group->buttons().size()));
        } else {
            group = nullptr;
        }

        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previousTabStop)
                setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
    }

    // Initialisation data: the language chooser's items, none selected.
    if (auto* chooser = qobject_cast<QComboBox*>(GetDlgItem(dialog.comboBoxId))) {
        for (const char* item : dialog.comboBoxItems)
            chooser->addItem(QString::fromUtf8(item));
        chooser->setCurrentIndex(-1);
    }

    resize(MapDialogRect(QRect(0, 0, dialog.width, dialog.height), baseUnits_).size());
    move(0, 0); // the template's position; the window is not centred
    ConnectMessageMap();
}

QWidget* CQuilletDlg::CreateControl(const DialogControlTemplate& row) {
    const QString text = QString::fromUtf8(row.text);
    const ControlClass cls = ClassOfControl(row.id);
    QWidget* widget = nullptr;

    switch (row.kind) {
    case DialogControlKind::DefaultPushButton:
    case DialogControlKind::PushButton: {
        QPushButton* button = nullptr;
        if (cls == ControlClass::RoundSkinButton)
            button = new CRoundSkinButton(this);
        else if (cls == ControlClass::SkinButton)
            button = new CSkinButton(this);
        else
            button = new QPushButton(this);
        button->setText(text);
        button->setAutoDefault(true);
        button->setDefault(row.kind == DialogControlKind::DefaultPushButton);
        widget = button;
        break;
    }
    case DialogControlKind::RadioButton: {
        auto* radio = new QRadioButton(text, this);
        radio->setAutoExclusive(false); // its button group decides
        widget = radio;
        break;
    }
    case DialogControlKind::GroupBox: {
        auto* box = new QGroupBox(text, this);
        box->setAlignment((row.styles & kStyleCenter) ? Qt::AlignHCenter : Qt::AlignLeft);
        widget = box;
        break;
    }
    case DialogControlKind::Text:
    case DialogControlKind::Bitmap: {
        QLabel* label = nullptr;
        if (cls == ControlClass::SkinLabel) {
            auto* skinned = new CSkinLabel(this);
            skinned->SetStaticStyle(StaticStyleOf(row));
            skinned->setText(text);
            label = skinned;
        } else {
            label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);
        }
        if (cls == ControlClass::SkinLabel) {
            // The label places its text by its static style.
        } else if (row.kind == DialogControlKind::Bitmap) {
            label->setAlignment((row.styles & kStyleCenterImage) ? Qt::AlignCenter
                                                                 : Qt::AlignLeft | Qt::AlignTop);
            if (row.imageId != 0)
                label->setPixmap(QPixmap::fromImage(LoadBitmapResource(row.imageId)));
        } else {
            Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
            bool wrap = true;
            if (row.styles & kStyleCenter)
                align = Qt::AlignHCenter | Qt::AlignTop;
            if (row.styles & kStyleCenterImage) {
                align = (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
                wrap = false;
            }
            if (row.styles & kStyleNoWordWrap)
                wrap = false;
            label->setAlignment(align);
            label->setWordWrap(wrap);
            label->setText(StaticDisplayText(text));
        }
        if (row.styles & kStyleSunken) {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setLineWidth(1);
        }
        widget = label;
        break;
    }
    case DialogControlKind::Trackbar: {
        auto* slider = new CSkinSlider(this);
        slider->setRange(0, 100);
        slider->setTickPosition(QSlider::NoTicks);
        widget = slider;
        break;
    }
    case DialogControlKind::Edit: {
        auto* edit = new QLineEdit(this);
        edit->setFrame((row.styles & kStyleBorder) != 0);
        widget = edit;
        break;
    }
    case DialogControlKind::DropDownList: {
        auto* combo = new QComboBox(this);
        combo->setEditable(false);
        widget = combo;
        break;
    }
    }

    switch (row.kind) {
    case DialogControlKind::DefaultPushButton:
    case DialogControlKind::PushButton:
    case DialogControlKind::RadioButton:
    case DialogControlKind::Trackbar:
    case DialogControlKind::Edit:
    case DialogControlKind::DropDownList:
        widget->setFocusPolicy(Qt::StrongFocus);
        break;
    default:
        widget->setFocusPolicy(Qt::NoFocus);
        break;
    }

    widget->setProperty(kControlIdProperty, row.id);
    widget->setObjectName(QStringLiteral("IDC_%1").arg(row.id));
    widget->setGeometry(MapDialogRect(QRect(row.x, row.y, row.width, row.height), baseUnits_));
    if (!row.shown)
        widget->hide(); // explicitly hidden: showing the window does not show it
    return widget;
}

bool CQuilletDlg::UpdateData(bool saveAndValidate) {
    DoDataExchange(saveAndValidate);
    return true;
}

template <class T> void CQuilletDlg::BindControl(int id, T*& member) {
    if (!member)
        member = qobject_cast<T*>(GetDlgItem(id));
    Q_ASSERT_X(member, "BindControl", "control missing or of another class");
}

void CQuilletDlg::ExchangeRadio(bool save, int firstId, int& index) {
    const auto it = radioGroups_.find(firstId);
    if (it == radioGroups_.end())
        return;
    QButtonGroup* group = it->second;
    if (save) {
        index = group->checkedId();
        return;
    }
    if (QAbstractButton* button = group->button(index)) {
        button->setChecked(true);
        return;
    }
    // No button of that index: none is selected.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

void CQuilletDlg::ExchangeText(bool save, int id, QString& value) {
    auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id));
    if (!edit)
        return;
    if (save)
        value = edit->text();
    else
        edit->setText(value);
}

void CQuilletDlg::DoDataExchange(bool saveAndValidate) {
    const bool save = saveAndValidate;
    ExchangeRadio(save, IDC_FILM_SLIDE, m_filmTypeIndex);
    ExchangeRadio(save, IDC_RESOLUTION_STANDARD, m_resolutionIndex);
    ExchangeRadio(save, IDC_FILM_SIZE_135, m_filmSizeIndex);
    BindControl(IDC_LANGUAGE, m_languageChooser);
    ExchangeText(save, IDC_SAVE_FOLDER, m_saveFolder);
    BindControl(IDC_STATUS, m_statusLabel);
    BindControl(IDC_LIVE_PICTURE, m_livePictureLabel);
    BindControl(IDC_NO_DEVICE_LABEL, m_noDeviceLabel);
    BindControl(IDC_VIEW_PICTURE, m_pictureControl);
    ExchangeRadio(save, IDC_FORMAT_JPG, m_fileFormatIndex);
    BindControl(IDC_SLIDER_BRIGHTNESS, m_brightnessSlider);
    BindControl(IDC_SLIDER_SATURATION, m_saturationSlider);
    BindControl(IDC_SLIDER_CONTRAST, m_contrastSlider);
    BindControl(IDC_SLIDER_RED, m_redSlider);
    BindControl(IDC_SLIDER_GREEN, m_greenSlider);
    BindControl(IDC_SLIDER_BLUE, m_blueSlider);
    BindControl(IDC_SCAN, m_scanButton);
    BindControl(IDC_BROWSE, m_browseButton);
    BindControl(IDC_MIRROR, m_mirrorButton);
    BindControl(IDC_ROTATE, m_rotateButton);
    BindControl(IDC_DELETE, m_deleteButton);
    BindControl(IDC_SAVE, m_saveButton);
    for (int i = 0; i < kStripSlotCount; ++i)
        BindControl(IDC_STRIP_FIRST + i, m_stripButtons[static_cast<std::size_t>(i)]);
}

bool CQuilletDlg::OnInitDialog() {
    // The framework's part: load the dynamic layout from where the controls
    // stand now, then the first transfer, which binds the members.
    std::vector<std::pair<QWidget*, DialogLayout::Rule>> children;
    for (const DialogControlTemplate& row : MainDialogTemplate().controls)
        children.emplace_back(GetDlgItem(row.id),
                              DialogLayout::Rule{row.moveX, row.moveY, row.growX, row.growY});
    layout_.Load(size(), children);
    UpdateData(false);

    setWindowIcon(m_windowIcon);

    if (m_minWindowWidth == 0 && m_minWindowHeight == 0) {
        m_minWindowWidth = width();
        m_minWindowHeight = height();
    }
    QSize minTrackSize = minimumSize();
    OnGetMinMaxInfo(minTrackSize);
    setMinimumSize(minTrackSize);

    setWindowTitle(QString::fromUtf8(kWindowTitle));
    EnableControlsForDevice();
    m_statusLabel->setText(QString());

    m_noDeviceLabel->SetForegroundColor(ToColorRef(QColor::fromRgb(kNoDeviceTextColor)));
    m_noDeviceLabel->SetPointSize(kNoDevicePointSize);

    for (CRoundSkinButton* button : {m_scanButton, m_browseButton, m_mirrorButton, m_rotateButton,
                                     m_deleteButton, m_saveButton}) {
        button->EnableBorder(true, true);
        button->SetStateColor(CSkinButton::HoverBack, RGB(255, 128, 0), true);
        button->SetStateColor(CSkinButton::NormalBack, GetSysColor(COLOR_3DLIGHT), true);
    }

    InitImageStrip();
    m_stripButtons[0]->setFocus();
    ApplyLocalizedTexts();

    IBaseFilter* filter = nullptr;
    if (FindScannerDevice(QString(), &m_devicePath, &filter)) {
        OpenDevice(filter);
        filter->Release(); // OpenDevice holds its own
    }

    notifier_ = &SystemDeviceNotifier();
    m_deviceNotification = notifier_->Register(
        [this](std::uint32_t event, const DeviceBroadcast* data) { OnDeviceChange(event, data); });
    return false;
}

void CQuilletDlg::OnOK() {
    // The OK command never ends the window.
}

void CQuilletDlg::accept() {
    OnOK();
}

void CQuilletDlg::ApplyLocalizedTexts() {
    for (const auto& [controlId, stringId] : kLocalizedTexts) {
        if (const auto text = LoadLocalizedText(static_cast<std::uint32_t>(stringId)))
            SetDlgItemText(controlId, *text);
    }
    if (const auto text = LoadLocalizedText(IDS_CONNECT_SCANNER))
        m_noDeviceLabel->SetLabelText(*text);
    m_statusLabel->setText(QString());
}

void CQuilletDlg::EnableControlsForDevice() {
    const bool open = m_openDevice != nullptr;
    QWidget* livePicture = GetDlgItem(IDC_LIVE_PICTURE);
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (const auto id = ControlIdOf(widget)) {
            if (!IsAlwaysLeftAlone(*id))
                widget->setEnabled(open);
        } else if (livePicture && livePicture->isAncestorOf(widget)) {
            // The live-picture window the renderer places inside 1001.
            widget->setEnabled(open);
        }
    }
}

void CQuilletDlg::InitImageStrip() {
    QRect rect = m_stripButtons[0]->geometry();
    for (CSkinButton* button : m_stripButtons) {
        button->EnableBorder(false, true);
        // The placeholder alone: it shows in every state. Each button gets its own.
        button->SetIcons(LoadIconResource(IDI_EMPTY_SLOT));
        button->SetPressedShift(0, 0, true);
        button->setGeometry(rect);
        button->update();
        rect.translate(rect.width(), 0);
        button->SetStateColor(CSkinButton::HoverBack, RGB(0, 200, 255), true);
        button->SetStateColor(CSkinButton::NormalBack, RGB(93, 93, 93), true);
        button->SetStateColor(CSkinButton::FocusBack, RGB(93, 93, 93), true);
    }
    m_stripNormalBackground = m_stripButtons[0]->GetStateColor(CSkinButton::NormalBack);

    m_viewRect = QRect(m_pictureControl->mapToGlobal(QPoint(0, 0)), m_pictureControl->size());
    QImage picture(m_viewRect.size(), QImage::Format_ARGB32);
    picture.fill(kBlankViewColor);
    m_blankViewPicture = picture.convertToFormat(QImage::Format_RGB32);
    m_pictureControl->setPixmap(QPixmap::fromImage(m_blankViewPicture));
}

void CQuilletDlg::OnGetMinMaxInfo(QSize& minTrackSize) const {
    if (minTrackSize.width() < m_minWindowWidth)
        minTrackSize.setWidth(m_minWindowWidth);
    if (minTrackSize.height() < m_minWindowHeight)
        minTrackSize.setHeight(m_minWindowHeight);
}

void CQuilletDlg::OnSize(int type, int cx, int cy) {
    if (type != SIZE_MINIMIZED)
        layout_.Apply(QSize(cx, cy));
    ShowPreview(true);
}

void CQuilletDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int type = isMinimized()   ? SIZE_MINIMIZED
                     : isMaximized() ? SIZE_MAXIMIZED
                                     : SIZE_RESTORED;
    OnSize(type, event->size().width(), event->size().height());
}
