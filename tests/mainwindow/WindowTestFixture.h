#pragma once

// What every test of the main window needs around it: English texts, a device
// notifier of the test's own and shell dialogs that record their calls.

#include "app/UILanguage.h"
#include "platform/DeviceNotifier.h"
#include "platform/ShellDialogs.h"

#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

// Records the shell's calls; the folder picker answers as told.
class FakeShellDialogs : public ShellDialogs {
public:
    std::optional<QString> answer;
    std::vector<QString> startFolders;
    std::vector<std::pair<QString, QString>> messages; // text, caption

    std::optional<QString> BrowseForFolder(QWidget*, const QString& startFolder) override {
        startFolders.push_back(startFolder);
        return answer;
    }
    bool OpenFolder(const QString&) override { return true; }
    void ShowMessage(QWidget*, const QString& text, const QString& caption, MessageIcon) override {
        messages.emplace_back(text, caption);
    }
};

// Installs the environment for one test and holds the window under test, which
// goes before the notifier and dialogs it was given are taken away.
template <class Dialog> class WindowTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        savedLanguage_ = CurrentUILanguage;
        CurrentUILanguage = 0x0409;
        SetSystemDeviceNotifier(&notifier);
        SetShellDialogs(&shell);
    }

    void TearDown() override {
        dialog.reset();
        SetShellDialogs(nullptr);
        SetSystemDeviceNotifier(nullptr);
        CurrentUILanguage = savedLanguage_;
    }

    QWidget* Item(int id) const { return dialog->GetDlgItem(id); }

    void Arrive(const QString& path, DeviceInterfaceClass cls = DeviceInterfaceClass::Capture,
                std::uint32_t type = DBT_DEVTYP_DEVICEINTERFACE) {
        notifier.Broadcast(DBT_DEVICEARRIVAL, DeviceBroadcast{type, cls, path});
    }
    void Remove(const QString& path, DeviceInterfaceClass cls = DeviceInterfaceClass::Capture,
                std::uint32_t type = DBT_DEVTYP_DEVICEINTERFACE) {
        notifier.Broadcast(DBT_DEVICEREMOVECOMPLETE, DeviceBroadcast{type, cls, path});
    }

    DeviceNotifier notifier;
    FakeShellDialogs shell;
    std::unique_ptr<Dialog> dialog;

private:
    LANGID savedLanguage_ = 0;
};
