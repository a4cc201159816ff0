#include "MainWindowTestSupport.h"

#include "app/LocalizedStringLoader.h"
#include "controls/CRoundSkinButton.h"
#include "controls/CSkinButton.h"
#include "controls/CSkinLabel.h"
#include "controls/CSkinSlider.h"
#include "resources/Icons.h"
#include "resources/ResourceIds.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <set>

namespace {

constexpr LANGID kEnglish = 0x0409;
constexpr LANGID kFrench = 0x040C;

const std::set<int> kHiddenControls = {IDC_STATUS, IDC_LANGUAGE, IDC_LANGUAGE_CAPTION,
                                       IDC_HIDDEN_DEFAULT};
const std::set<int> kAlwaysLeftAlone = {
    IDC_LANGUAGE,         IDC_SAVE_FOLDER,         IDC_BROWSE_FOLDER,
    IDC_LANGUAGE_CAPTION, IDC_SAVE_FOLDER_CAPTION, IDC_BROWSE};

struct ExpectedText {
    int id;
    const char* english;
    // nullptr: the French tables lack the string's block, so it comes from
    // the fallback language, which depends on the user's locale
    const char* french;
};

// Controls with a text of their own; the rest have none.
const ExpectedText kTexts[] = {
    {IDC_SCAN, "Scan", "Prendre une image"},
    {IDC_ADJUST_GROUP, "Adjust", "Régler"},
    {IDC_CAPTION_SATURATION, "Saturation", "Saturation"},
    {IDC_CAPTION_BRIGHTNESS, "Brightness", "Luminosité"},
    {IDC_CAPTION_CONTRAST, "Contrast", "Contraste"},
    {IDC_CAPTION_RED, "Red", "Rouge"},
    {IDC_CAPTION_GREEN, "Green", "Vert"},
    {IDC_CAPTION_BLUE, "Blue", "Bleu"},
    {IDC_VALUE_SATURATION, "0", "0"},
    {IDC_VALUE_BLUE, "0", "0"},
    {IDC_PROPERTIES_DEFAULT, "Default", "Français"},
    {IDC_PROPERTIES_CUSTOM, "Custom", "Autodéfinition"},
    {IDC_HIDDEN_DEFAULT, "Default", "Default"},
    {IDC_SAVE_FOLDER_CAPTION, "Save Film in", "Enregistrer sous"},
    {IDC_BROWSE_FOLDER, "...", "..."},
    {IDC_FILM_TYPE_GROUP, "Film Type", "Type d'image"},
    {IDC_FILM_SLIDE, "Slide", "Glissoire"},
    {IDC_FILM_NEGATIVE, "Negative", "Négatif"},
    {IDC_FILM_BLACK_WHITE, "Black && White", "Noir Blanc"},
    {IDC_RESOLUTION_GROUP, "Resolution", "Résolution de l'image"},
    {IDC_RESOLUTION_STANDARD, "Standard", "Standard"},
    {IDC_RESOLUTION_HIGH, "High", "High"},
    {IDC_FILM_SIZE_GROUP, "Film size", "Taille de l'image"},
    {IDC_FILM_SIZE_135, "135", "135"},
    {IDC_FILM_SIZE_126, "126", "126"},
    {IDC_STATUS, "", ""},
    {IDC_LANGUAGE_CAPTION, "UI Language", "Langage"},
    {IDC_NO_DEVICE_LABEL, "Please connect to scanner", "Veuillez brancher un scanner de film"},
    {IDC_FORMAT_JPG, "JPG", "JPG"},
    {IDC_FORMAT_TIFF, "TIFF", "TIFF"},
    {IDC_BROWSE, "Browse", "Navigation"},
    {IDC_SAVE, "Save", "Save"},
    {IDC_DELETE, "Delete", "Delete"},
    {IDC_ROTATE, "Rotate", "Rotate"},
    {IDC_MIRROR, "Mirror", "Mirror"},
    {IDC_STRIP_GROUP, "Final images to save", nullptr},
};

const char* ClassNameFor(const DialogControlTemplate& row) {
    switch (row.id) {
    case IDC_SCAN:
    case IDC_BROWSE:
    case IDC_MIRROR:
    case IDC_ROTATE:
    case IDC_DELETE:
    case IDC_SAVE:
        return "CRoundSkinButton";
    case IDC_STATUS:
    case IDC_LIVE_PICTURE:
    case IDC_NO_DEVICE_LABEL:
        return "CSkinLabel";
    default:
        break;
    }
    if (row.id >= IDC_STRIP_FIRST && row.id <= IDC_STRIP_LAST)
        return "CSkinButton";
    switch (row.kind) {
    case DialogControlKind::DefaultPushButton:
    case DialogControlKind::PushButton:
        return "QPushButton";
    case DialogControlKind::RadioButton:
        return "QRadioButton";
    case DialogControlKind::GroupBox:
        return "QGroupBox";
    case DialogControlKind::Text:
    case DialogControlKind::Bitmap:
        return "QLabel";
    case DialogControlKind::Trackbar:
        return "CSkinSlider";
    case DialogControlKind::Edit:
        return "QLineEdit";
    case DialogControlKind::DropDownList:
        return "QComboBox";
    }
    return "";
}

bool IsTabStop(DialogControlKind kind) {
    return kind != DialogControlKind::GroupBox && kind != DialogControlKind::Text &&
           kind != DialogControlKind::Bitmap;
}

} // namespace

class LanguageTest : public MainWindowTest, public ::testing::WithParamInterface<LANGID> {};

TEST_P(LanguageTest, TitleAndEveryControlTextInTheUILanguage) {
    CurrentUILanguage = GetParam();
    TestDialog& dlg = Open();
    const bool french = GetParam() == kFrench;

    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Tessaly"));

    for (const ExpectedText& expected : kTexts) {
        SCOPED_TRACE(expected.id);
        ASSERT_NE(Item(expected.id), nullptr);
        QString want = QString::fromUtf8(expected.english);
        if (french) {
            if (expected.french) {
                want = QString::fromUtf8(expected.french);
            } else {
                ASSERT_EQ(expected.id, IDC_STRIP_GROUP);
                want = LoadLocalizedText(IDS_FINAL_IMAGES).value_or(want);
            }
        }
        EXPECT_EQ(dlg.GetDlgItemText(expected.id), want);
    }
    // The template's items of the language chooser, none selected.
    auto* chooser = qobject_cast<QComboBox*>(Item(IDC_LANGUAGE));
    ASSERT_NE(chooser, nullptr);
    const QStringList items = {"English", "Chinese", "Russian", "German",
                               "French",  "Italian", "Spanish", "Japanese"};
    ASSERT_EQ(chooser->count(), items.size());
    for (int i = 0; i < chooser->count(); ++i)
        EXPECT_EQ(chooser->itemText(i), items[i]);
    EXPECT_EQ(chooser->currentIndex(), -1);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SAVE_FOLDER),
              QStringLiteral("/home/tester/Pictures/Marlune/"));
}

INSTANTIATE_TEST_SUITE_P(EnglishAndFrench, LanguageTest, ::testing::Values(kEnglish, kFrench));

TEST_F(MainWindowTest, EveryTemplateControlExistsOnceWithItsClassAndPlace) {
    TestDialog& dlg = Open();
    const auto& rows = MainDialogTemplate().controls;
    std::set<int> seen;
    for (const DialogControlTemplate& row : rows) {
        SCOPED_TRACE(row.id);
        QWidget* widget = Item(row.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), &dlg);
        EXPECT_TRUE(widget->inherits(ClassNameFor(row))) << widget->metaObject()->className();
        EXPECT_EQ(widget->geometry(), TemplateRect(row.id));
        seen.insert(row.id);
    }
    EXPECT_EQ(seen.size(), rows.size());
    EXPECT_EQ(dlg.size(),
              MapDialogRect(QRect(0, 0, 751, 464), DialogBaseUnitsForFont(DialogFont(8))).size());
}

TEST_F(MainWindowTest, HiddenControlsNeverShowWhateverHappens) {
    TestDialog& dlg = Open();
    const QString path = QStringLiteral("v4l2:vid_8888&pid_0001:/devices/video0");
    dlg.scannerPath = path;

    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        for (const DialogControlTemplate& row : MainDialogTemplate().controls) {
            if (kHiddenControls.count(row.id) != 0) {
                EXPECT_FALSE(Item(row.id)->isVisible()) << row.id;
            }
        }
    };
    check("at open");
    Arrive(path);
    ASSERT_TRUE(dlg.DeviceOpen());
    check("scanner open");
    dlg.resize(dlg.width() + 120, dlg.height() + 40);
    QApplication::processEvents();
    check("resized");
    dlg.ApplyLocalizedTexts();
    dlg.EnableControlsForDevice();
    check("texts and enabling again");
    Remove(path);
    ASSERT_FALSE(dlg.DeviceOpen());
    check("scanner removed");
}

TEST_F(MainWindowTest, ShownControlsAreVisibleWithTheNoDeviceIndicators) {
    Open();
    for (const DialogControlTemplate& row : MainDialogTemplate().controls) {
        if (row.shown) {
            EXPECT_TRUE(Item(row.id)->isVisible()) << row.id;
        }
    }
}

TEST_F(MainWindowTest, WithoutScannerOnlyTheSixFolderAndLanguageControlsStayEnabled) {
    TestDialog& dlg = Open();
    // A window the renderer would place inside the live-picture area.
    auto* livePicture = new QWidget(Item(IDC_LIVE_PICTURE));

    const QString path = QStringLiteral("v4l2:vid_8888&pid_0001:/devices/video0");
    dlg.EnableControlsForDevice();
    for (const DialogControlTemplate& row : MainDialogTemplate().controls) {
        const bool leftAlone = kAlwaysLeftAlone.count(row.id) != 0;
        EXPECT_EQ(Item(row.id)->isEnabled(), leftAlone) << row.id;
    }
    EXPECT_TRUE(livePicture->testAttribute(Qt::WA_ForceDisabled));

    dlg.scannerPath = path;
    Arrive(path);
    ASSERT_TRUE(dlg.DeviceOpen());
    for (const DialogControlTemplate& row : MainDialogTemplate().controls)
        EXPECT_TRUE(Item(row.id)->isEnabled()) << row.id;
    EXPECT_TRUE(livePicture->isEnabled());
    EXPECT_FALSE(Item(IDC_NO_DEVICE_PICTURE)->isVisible());
    EXPECT_FALSE(Item(IDC_NO_DEVICE_LABEL)->isVisible());

    // The six are left as they are, not forced on: a disabled one stays so.
    Item(IDC_BROWSE)->setEnabled(false);
    Remove(path);
    EXPECT_FALSE(Item(IDC_BROWSE)->isEnabled());
    EXPECT_TRUE(Item(IDC_NO_DEVICE_PICTURE)->isVisible());
    EXPECT_TRUE(Item(IDC_NO_DEVICE_LABEL)->isVisible());
}

TEST_F(MainWindowTest, RadioGroupsAreSeparateAndExchangeTheirIndexes) {
    TestDialog& dlg = Open(QStringLiteral("v4l2:vid_8888&pid_0001:x"));
    ASSERT_TRUE(dlg.DeviceOpen());
    auto radio = [&](int id) { return qobject_cast<QRadioButton*>(Item(id)); };

    // The first transfer selects the members' initial indexes.
    EXPECT_TRUE(radio(IDC_FILM_SLIDE)->isChecked());
    EXPECT_TRUE(radio(IDC_RESOLUTION_STANDARD)->isChecked());
    EXPECT_TRUE(radio(IDC_FILM_SIZE_135)->isChecked());
    EXPECT_TRUE(radio(IDC_FORMAT_JPG)->isChecked());
    EXPECT_FALSE(radio(IDC_PROPERTIES_DEFAULT)->isChecked());
    EXPECT_FALSE(radio(IDC_PROPERTIES_CUSTOM)->isChecked());

    radio(IDC_FILM_BLACK_WHITE)->click();
    EXPECT_FALSE(radio(IDC_FILM_SLIDE)->isChecked());
    EXPECT_TRUE(radio(IDC_RESOLUTION_STANDARD)->isChecked());
    EXPECT_TRUE(radio(IDC_FILM_SIZE_135)->isChecked());
    EXPECT_TRUE(radio(IDC_FORMAT_JPG)->isChecked());
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.FilmTypeIndex(), 2);

    dlg.SetFilmTypeIndex(-1);
    dlg.UpdateData(false);
    for (int id : {IDC_FILM_SLIDE, IDC_FILM_NEGATIVE, IDC_FILM_BLACK_WHITE})
        EXPECT_FALSE(radio(id)->isChecked()) << id;
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.FilmTypeIndex(), -1);

    // Clearing keeps the group exclusive.
    radio(IDC_FILM_SLIDE)->click();
    radio(IDC_FILM_NEGATIVE)->click();
    EXPECT_FALSE(radio(IDC_FILM_SLIDE)->isChecked());
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.FilmTypeIndex(), 1);
}

TEST_F(MainWindowTest, TabOrderFollowsTheTemplate) {
    TestDialog& dlg = Open();
    std::vector<int> expected;
    for (const DialogControlTemplate& row : MainDialogTemplate().controls)
        if (IsTabStop(row.kind))
            expected.push_back(row.id);

    // The focus chain runs from the dialog through its children and back.
    std::vector<int> chain;
    for (QWidget* widget = dlg.nextInFocusChain(); widget != &dlg;
         widget = widget->nextInFocusChain()) {
        const QVariant id = widget->property("controlId");
        if (id.isValid() && widget->focusPolicy() != Qt::NoFocus)
            chain.push_back(id.toInt());
    }
    EXPECT_EQ(chain, expected);
}

TEST_F(MainWindowTest, ControlsInsideGroupBoxesAndTheLivePictureAreaGetTheClicks) {
    TestDialog& dlg = Open();
    for (int id : {IDC_FILM_SLIDE, IDC_FILM_BLACK_WHITE, IDC_RESOLUTION_HIGH, IDC_FILM_SIZE_126,
                   IDC_PROPERTIES_CUSTOM, IDC_SLIDER_SATURATION, IDC_CAPTION_BLUE, IDC_SAVE_FOLDER,
                   IDC_BROWSE_FOLDER, IDC_STRIP_FIRST, IDC_STRIP_LAST, IDC_NO_DEVICE_LABEL,
                   IDC_NO_DEVICE_PICTURE}) {
        QWidget* widget = Item(id);
        EXPECT_EQ(dlg.childAt(widget->geometry().center()), widget) << id;
    }
}

TEST_F(MainWindowTest, StripSlotsStandSideBySideWithThePlaceholderAndTheViewIsBlank) {
    TestDialog& dlg = Open();
    const QRect first = TemplateRect(IDC_STRIP_FIRST);
    for (int k = 0; k < kStripSlotCount; ++k) {
        QWidget* slot = Item(IDC_STRIP_FIRST + k);
        EXPECT_EQ(slot->geometry(), first.translated(k * first.width(), 0)) << k;
    }
    // Each slot shows the placeholder on the strip's face colour.
    dlg.scannerPath = QStringLiteral("v4l2:vid_8888&pid_0001:x");
    Arrive(*dlg.scannerPath);
    for (int id : {IDC_STRIP_FIRST, IDC_STRIP_LAST}) {
        const QImage shot = Item(id)->grab().toImage();
        EXPECT_GE(CountPixels(shot, kSlotPlaceholderFill),
                  (kSlotPlaceholderSize.width() - 2) * (kSlotPlaceholderSize.height() - 2) / 2)
            << id;
        EXPECT_GT(CountPixels(shot, qRgb(93, 93, 93)), 0) << id;
    }

    QLabel* view = qobject_cast<QLabel*>(Item(IDC_VIEW_PICTURE));
    const QImage& blank = dlg.BlankViewPicture();
    EXPECT_EQ(blank.size(), view->size());
    EXPECT_EQ(CountPixels(blank, kBlankViewColor), blank.width() * blank.height());
    EXPECT_EQ(dlg.ViewRect().size(), view->size());
    EXPECT_EQ(view->pixmap().toImage().convertToFormat(QImage::Format_RGB32), blank);
}

TEST_F(MainWindowTest, NoDeviceStateShowsThePictureAndTheRedNotice) {
    TestDialog& dlg = Open();
    auto* notice = qobject_cast<QLabel*>(Item(IDC_NO_DEVICE_LABEL));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->font().pointSize(), kNoDevicePointSize);
    const QImage shot = notice->grab().toImage();
    const QRect text = PixelBounds(shot, kNoDeviceTextColor);
    ASSERT_FALSE(text.isEmpty());
    // Centred in the label.
    EXPECT_NEAR(text.center().x(), shot.width() / 2, 3);

    auto* picture = qobject_cast<QLabel*>(Item(IDC_NO_DEVICE_PICTURE));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), kNoDeviceBitmapSize);
    EXPECT_EQ(picture->alignment(), Qt::AlignCenter);

    EXPECT_TRUE(dlg.windowIcon().availableSizes().contains(QSize(128, 128)));
    EXPECT_TRUE(dlg.windowIcon().availableSizes().contains(QSize(32, 32)));
}

TEST_F(MainWindowTest, ScannerPresentAtStartIsOpenedBeforeAnyNotification) {
    TestDialog& dlg = Open(QStringLiteral("v4l2:vid_8888&pid_0001:/devices/video3"));
    EXPECT_EQ(dlg.findCalls, 1);
    EXPECT_TRUE(dlg.lastWantedPath.isEmpty());
    EXPECT_TRUE(dlg.DeviceOpen());
    EXPECT_EQ(dlg.DevicePath(), QStringLiteral("v4l2:vid_8888&pid_0001:/devices/video3"));
    EXPECT_TRUE(Item(IDC_SCAN)->isEnabled());
    EXPECT_FALSE(Item(IDC_NO_DEVICE_LABEL)->isVisible());
}

TEST(SaveFolder, DefaultFolderFromPicturesElseTheProgramDirectory) {
    struct Case {
        std::optional<QString> pictures;
        QString moduleDirectory;
        QString expected;
    } cases[] = {
        {QStringLiteral("/home/u/Pictures"), QStringLiteral("/opt/q/"),
         QStringLiteral("/home/u/Pictures/Marlune/")},
        {std::nullopt, QStringLiteral("/opt/q/"), QStringLiteral("/opt/q//Marlune/")},
        {QString(), QStringLiteral("/opt/q/"), QStringLiteral("/opt/q//Marlune/")},
        {std::nullopt, QString(), QStringLiteral("/Marlune/")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultSaveFolder(KnownFolders{c.pictures, c.moduleDirectory}), c.expected)
            << c.expected.toStdString();
}

TEST(SaveFolder, ModuleDirectoryKeepsItsTrailingSeparator) {
    struct Case {
        const char* file;
        const char* directory;
    } cases[] = {
        {"/usr/bin/quillet", "/usr/bin/"},
        {"/quillet", "/"},
        {"quillet", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModuleDirectoryOf(QString::fromUtf8(c.file)), QString::fromUtf8(c.directory))
            << c.file;
    EXPECT_EQ(GetModuleDirectory(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

TEST(StaticText, AmpersandsFollowTheStaticControlRule) {
    struct Case {
        const char* text;
        const char* shown;
    } cases[] = {
        {"Black && White", "Black & White"},
        {"&Save", "Save"},
        {"a&&&b", "a&b"},
        {"plain", "plain"},
        {"end&", "end"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StaticDisplayText(QString::fromUtf8(c.text)), QString::fromUtf8(c.shown))
            << c.text;
}
