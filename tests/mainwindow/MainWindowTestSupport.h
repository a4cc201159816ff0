#pragma once

#include "WindowTestFixture.h"

#include "mainwindow/CQuilletDlg.h"
#include "platform/DialogUnits.h"
#include "platform/media/FilterBase.h"
#include "resources/DialogTemplate.h"

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

// The window with a scriptable scanner in place of discovery, and access to
// the members the tests look at.
class TestDialog : public CQuilletDlg {
public:
    using CQuilletDlg::CQuilletDlg;

    // The path of the scanner that discovery finds; nullopt: no scanner.
    std::optional<QString> scannerPath;
    int findCalls = 0;
    QString lastWantedPath;

    bool FindScannerDevice(const QString& wantedPath, QString* pathOut,
                           IBaseFilter** filterOut) override {
        ++findCalls;
        lastWantedPath = wantedPath;
        if (!filterOut || !scannerPath)
            return false;
        if (!wantedPath.isEmpty() &&
            QString::compare(wantedPath, *scannerPath, Qt::CaseInsensitive) != 0)
            return false;
        if (pathOut)
            *pathOut = *scannerPath;
        *filterOut = FakeFilter();
        return true;
    }

    // A device filter without pins or properties: opening it builds a graph
    // with nothing to show, which is all these tests need. The caller owns the
    // reference, as with real discovery.
    static IBaseFilter* FakeFilter() { return MakeCom<PinlessFilter>().Detach(); }

    class PinlessFilter : public BaseFilter {};

    bool DeviceOpen() const { return m_openDevice != nullptr; }
    const QString& DevicePath() const { return m_devicePath; }
    QString SaveFolder() const { return m_saveFolder; }
    int ScanCounter() const { return m_scanCounter.load(); }
    void SetScanCounter(int value) { m_scanCounter = value; }
    int ScanTimerId() const { return m_scanTimerId; }
    void StartScanTimer(int ms = kScanTimeoutMs) { m_scanTimerId = startTimer(ms); }
    int FilmTypeIndex() const { return m_filmTypeIndex; }
    void SetFilmTypeIndex(int index) { m_filmTypeIndex = index; }
    const QImage& BlankViewPicture() const { return m_blankViewPicture; }
    QRect ViewRect() const { return m_viewRect; }
    QSize MinimumWindowSize() const { return QSize(m_minWindowWidth, m_minWindowHeight); }

    using CQuilletDlg::CloseDevice;
    using CQuilletDlg::OnBrowseFolder;
    using CQuilletDlg::OnLanguageChange;
    using CQuilletDlg::OpenDevice;
};

inline KnownFolders TestFolders() {
    KnownFolders folders;
    folders.pictures = QStringLiteral("/home/tester/Pictures");
    folders.moduleDirectory = QStringLiteral("/opt/quillet/");
    return folders;
}

// A shown window in English with a fake notifier and fake dialogs installed.
class MainWindowTest : public WindowTestBase<TestDialog> {
protected:
    TestDialog& Open(std::optional<QString> scanner = std::nullopt) {
        dialog = std::make_unique<TestDialog>(nullptr, TestFolders());
        dialog->scannerPath = std::move(scanner);
        dialog->show();
        QApplication::processEvents();
        return *dialog;
    }
};

// Where the template puts control `id`, in pixels of the dialog font.
inline QRect TemplateRect(int id) {
    const DialogTemplate& dialog = MainDialogTemplate();
    const DialogControlTemplate* row = FindDialogControl(dialog, id);
    if (!row)
        return QRect();
    return MapDialogRect(QRect(row->x, row->y, row->width, row->height),
                         DialogBaseUnitsForFont(DialogFont(dialog.fontPointSize)));
}

inline int CountPixels(const QImage& image, QRgb color) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if ((rgb.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF))
                ++count;
    return count;
}

// The bounding box of the pixels of `color`; empty when there are none.
inline QRect PixelBounds(const QImage& image, QRgb color) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QRect bounds;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if ((rgb.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}
