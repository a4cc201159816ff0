#include "MainWindowTestSupport.h"

#include "controls/CSkinLabel.h"
#include "resources/ResourceIds.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>

#include <thread>

namespace {

const QString kScanner = QStringLiteral("v4l2:vid_8888&pid_0001:/devices/usb1/video0");

QLabel* StatusLabel(const TestDialog& dlg) {
    return qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_STATUS));
}

// Runs the event loop until `done` or `ms` have passed.
template <class Predicate> bool ProcessUntil(Predicate done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

} // namespace

TEST_F(MainWindowTest, ScanStatusStyles) {
    struct Case {
        int style;
        int messageId;
        int counter;
        const char* text;
        std::optional<QRgb> color;
    } cases[] = {
        {kStatusStored, IDS_SAVE_SUCCESS, 5, "5", kStatusStoredColor},
        {kStatusTimedOut, IDS_SAVE_FAILED, 12, "12", kStatusTimedOutColor},
        {kStatusClear, IDS_SAVE_SUCCESS, 5, "", std::nullopt},
        {kStatusStored, 0, 5, "", std::nullopt},
    };
    TestDialog& dlg = Open();
    QLabel* status = StatusLabel(dlg);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style * 1000 + c.messageId);
        dlg.ShowScanStatus(kStatusStored, IDS_SAVE_SUCCESS); // something to clear
        dlg.SetScanCounter(c.counter);
        dlg.ShowScanStatus(c.style, c.messageId);
        EXPECT_EQ(status->text(), QString::fromUtf8(c.text));
        if (!c.color)
            continue;
        EXPECT_TRUE(status->font().bold());
        EXPECT_EQ(status->font().pointSize(), kStatusPointSize);
        const QImage shot = status->grab().toImage();
        EXPECT_GT(CountPixels(shot, *c.color), 10);
        EXPECT_GT(CountPixels(shot, kStatusBackground), shot.width() * shot.height() / 2);
        EXPECT_FALSE(status->isVisible());
    }
}

TEST_F(MainWindowTest, ScanStatusFromAStreamingThreadIsAppliedOnTheUIThread) {
    TestDialog& dlg = Open();
    dlg.SetScanCounter(3);
    std::thread streaming([&] { dlg.ShowScanStatus(kStatusStored, IDS_SAVE_SUCCESS); });
    streaming.join();
    // The counter is taken at the call, the label changed later by the UI thread.
    dlg.SetScanCounter(9);
    EXPECT_EQ(StatusLabel(dlg)->text(), QString());
    QApplication::processEvents();
    EXPECT_EQ(StatusLabel(dlg)->text(), QStringLiteral("3"));
}

TEST_F(MainWindowTest, TimeOutShowsTheNextNumberInRedAndStopsItsTimer) {
    TestDialog& dlg = Open(kScanner);
    dlg.SetScanCounter(3);
    dlg.StartScanTimer();
    ASSERT_NE(dlg.ScanTimerId(), 0);

    QTimerEvent expiry(dlg.ScanTimerId());
    QCoreApplication::sendEvent(&dlg, &expiry);
    EXPECT_EQ(StatusLabel(dlg)->text(), QStringLiteral("4"));
    EXPECT_GT(CountPixels(StatusLabel(dlg)->grab().toImage(), kStatusTimedOutColor), 10);
    EXPECT_EQ(dlg.ScanCounter(), 3);
    EXPECT_EQ(dlg.ScanTimerId(), 0);
}

TEST_F(MainWindowTest, ExpiredTimeOutFiresOnce) {
    TestDialog& dlg = Open(kScanner);
    dlg.StartScanTimer(20);
    ASSERT_TRUE(ProcessUntil([&] { return !StatusLabel(dlg)->text().isEmpty(); }, 2000));
    EXPECT_EQ(StatusLabel(dlg)->text(), QStringLiteral("1"));
    EXPECT_EQ(dlg.ScanTimerId(), 0);
    StatusLabel(dlg)->setText(QString());
    // Killed: it does not come back after another period.
    EXPECT_FALSE(ProcessUntil([&] { return !StatusLabel(dlg)->text().isEmpty(); }, 200));
}

TEST_F(MainWindowTest, DeviceNotifications) {
    struct Case {
        const char* name;
        bool openFirst;
        std::uint32_t event;
        QString path;
        DeviceInterfaceClass cls;
        std::uint32_t deviceType;
        bool openAfter;
        bool discoveryAsked;
    } cases[] = {
        {"arrival of the scanner", false, DBT_DEVICEARRIVAL, kScanner,
         DeviceInterfaceClass::Capture, DBT_DEVTYP_DEVICEINTERFACE, true, true},
        {"arrival of another capture device", false, DBT_DEVICEARRIVAL,
         QStringLiteral("v4l2:vid_046d&pid_0825:/devices/video2"), DeviceInterfaceClass::Capture,
         DBT_DEVTYP_DEVICEINTERFACE, false, true},
        {"arrival of another interface class", false, DBT_DEVICEARRIVAL, kScanner,
         DeviceInterfaceClass::Other, DBT_DEVTYP_DEVICEINTERFACE, false, false},
        {"arrival of another device type", false, DBT_DEVICEARRIVAL, kScanner,
         DeviceInterfaceClass::Capture, 3, false, false},
        {"arrival while a scanner is open", true, DBT_DEVICEARRIVAL,
         QStringLiteral("v4l2:vid_8888&pid_0001:/devices/usb2/video4"),
         DeviceInterfaceClass::Capture, DBT_DEVTYP_DEVICEINTERFACE, true, false},
        {"removal in other letter case", true, DBT_DEVICEREMOVECOMPLETE, kScanner.toUpper(),
         DeviceInterfaceClass::Capture, DBT_DEVTYP_DEVICEINTERFACE, false, false},
        {"removal of another device", true, DBT_DEVICEREMOVECOMPLETE,
         QStringLiteral("v4l2:vid_046d&pid_0825:/devices/video2"), DeviceInterfaceClass::Capture,
         DBT_DEVTYP_DEVICEINTERFACE, true, false},
        {"removal of another interface class", true, DBT_DEVICEREMOVECOMPLETE, kScanner,
         DeviceInterfaceClass::Other, DBT_DEVTYP_DEVICEINTERFACE, true, false},
        {"removal of another device type", true, DBT_DEVICEREMOVECOMPLETE, kScanner,
         DeviceInterfaceClass::Capture, 3, true, false},
        {"removal with nothing open", false, DBT_DEVICEREMOVECOMPLETE, kScanner,
         DeviceInterfaceClass::Capture, DBT_DEVTYP_DEVICEINTERFACE, false, false},
        {"other event", false, 0x0007, kScanner, DeviceInterfaceClass::Capture,
         DBT_DEVTYP_DEVICEINTERFACE, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog& dlg = Open(kScanner);
        if (!c.openFirst) {
            dlg.CloseDevice();
            ASSERT_FALSE(dlg.DeviceOpen());
        }
        ASSERT_EQ(dlg.DeviceOpen(), c.openFirst);
        const int callsBefore = dlg.findCalls;
        notifier.Broadcast(c.event, DeviceBroadcast{c.deviceType, c.cls, c.path});

        EXPECT_EQ(dlg.DeviceOpen(), c.openAfter);
        EXPECT_EQ(dlg.findCalls - callsBefore, c.discoveryAsked ? 1 : 0);
        if (c.discoveryAsked) {
            EXPECT_EQ(dlg.lastWantedPath, c.path);
        }
        if (c.openAfter) {
            EXPECT_EQ(dlg.DevicePath(), kScanner);
        }
        EXPECT_EQ(Item(IDC_SCAN)->isEnabled(), c.openAfter);
        EXPECT_EQ(Item(IDC_NO_DEVICE_LABEL)->isVisible(), !c.openAfter);
        EXPECT_EQ(Item(IDC_NO_DEVICE_PICTURE)->isVisible(), !c.openAfter);
    }
}

TEST_F(MainWindowTest, UnplugDropsThePendingTimeOutAndTheCounterThenReplugOpensAgain) {
    TestDialog& dlg = Open(kScanner);
    dlg.SetScanCounter(4);
    dlg.StartScanTimer();
    dlg.ShowScanStatus(kStatusStored, IDS_SAVE_SUCCESS);

    Remove(kScanner);
    EXPECT_FALSE(dlg.DeviceOpen());
    EXPECT_EQ(dlg.ScanCounter(), 0);
    EXPECT_EQ(dlg.ScanTimerId(), 0);
    EXPECT_EQ(StatusLabel(dlg)->text(), QString());

    Arrive(kScanner);
    EXPECT_TRUE(dlg.DeviceOpen());
    EXPECT_EQ(dlg.ScanCounter(), 0);
}

TEST_F(MainWindowTest, FolderPicker) {
    struct Case {
        const char* name;
        QString typed; // empty: leave the edit box as it is
        std::optional<QString> answer;
        QString folder;
    } cases[] = {
        {"cancel", QString(), std::nullopt, QStringLiteral("/home/tester/Pictures/Marlune/")},
        {"cancel keeps the typed folder", QStringLiteral("/data/typed"), std::nullopt,
         QStringLiteral("/data/typed")},
        {"root stays itself", QString(), QStringLiteral("/"), QStringLiteral("/")},
        {"separator appended", QString(), QStringLiteral("/data/Scans"),
         QStringLiteral("/data/Scans/")},
        {"separator not doubled", QStringLiteral("/data/typed"), QStringLiteral("/data/Scans/"),
         QStringLiteral("/data/Scans/")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog& dlg = Open();
        shell.startFolders.clear();
        shell.answer = c.answer;
        auto* edit = qobject_cast<QLineEdit*>(Item(IDC_SAVE_FOLDER));
        if (!c.typed.isEmpty())
            edit->setText(c.typed);
        const QString start = edit->text();

        // "..." stays usable without a scanner.
        qobject_cast<QPushButton*>(Item(IDC_BROWSE_FOLDER))->click();

        ASSERT_EQ(shell.startFolders.size(), 1u);
        EXPECT_EQ(shell.startFolders[0], start);
        EXPECT_EQ(dlg.SaveFolder(), c.folder);
        EXPECT_EQ(edit->text(), c.folder);
    }
}

TEST_F(MainWindowTest, EscapeEndsTheModalRunAndReleasesTheNotification) {
    dialog = std::make_unique<TestDialog>(nullptr, TestFolders());
    TestDialog& dlg = *dialog;
    QTimer::singleShot(0, &dlg, [&] {
        dlg.accept(); // the OK command never ends the window
        EXPECT_TRUE(dlg.isVisible());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&dlg, &escape);
    });
    EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());

    dlg.scannerPath = kScanner;
    Arrive(kScanner);
    EXPECT_FALSE(dlg.DeviceOpen());
    EXPECT_EQ(dlg.findCalls, 1); // only the search at start
}

TEST_F(MainWindowTest, ClosingTheWindowReleasesOnceAndEndsIt) {
    TestDialog& dlg = Open(kScanner);
    EXPECT_TRUE(dlg.close());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(dlg.BlankViewPicture().isNull());

    const int calls = dlg.findCalls;
    Remove(kScanner);
    Arrive(kScanner);
    EXPECT_TRUE(dlg.DeviceOpen()); // the removal never reached it
    EXPECT_EQ(dlg.findCalls, calls);
}

TEST_F(MainWindowTest, DestroyedWindowLeavesNoHandlerBehind) {
    Open();
    dialog.reset(); // never closed: a handler left behind would run on freed memory
    TestDialog& next = Open();
    next.scannerPath = kScanner;
    Arrive(kScanner);
    EXPECT_TRUE(next.DeviceOpen());
    EXPECT_EQ(next.findCalls, 2);
}

TEST_F(MainWindowTest, LanguageChooserSelectionAppliesTheLanguage) {
    TestDialog& dlg = Open();
    auto* chooser = qobject_cast<QComboBox*>(Item(IDC_LANGUAGE));

    // No selection: nothing changes.
    emit chooser->activated(-1);
    EXPECT_EQ(CurrentUILanguage, 0x0409);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SCAN), QStringLiteral("Scan"));

    dlg.ShowScanStatus(kStatusStored, IDS_SAVE_SUCCESS);
    chooser->setCurrentIndex(4);
    emit chooser->activated(4);
    EXPECT_EQ(CurrentUILanguage, 0x040C);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SCAN), QStringLiteral("Prendre une image"));
    EXPECT_EQ(dlg.GetDlgItemText(IDC_MIRROR), QStringLiteral("Mirror"));
    EXPECT_EQ(StatusLabel(dlg)->text(), QString());

    chooser->setCurrentIndex(3);
    emit chooser->activated(3);
    EXPECT_EQ(CurrentUILanguage, 0x0407);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_MIRROR), QStringLiteral("Spiegeln"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Tessaly"));
}
