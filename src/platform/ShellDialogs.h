#pragma once

#include <QString>

#include <optional>

class QWidget;

// The modal dialogs and shell calls the program makes: the folder picker, the
// file browser's "open", message boxes. Tests install a recording replacement.
class ShellDialogs {
public:
    enum class MessageIcon { None, Information, Warning, Error };

    virtual ~ShellDialogs() = default;

    // Lets the user pick a folder, starting at `startFolder`; nullopt when the
    // user cancels. The answer has no trailing separator unless it is "/".
    virtual std::optional<QString> BrowseForFolder(QWidget* owner, const QString& startFolder);

    // Opens `folder` in the desktop's file browser; false when that failed.
    virtual bool OpenFolder(const QString& folder);

    // A modal message box with one OK button.
    virtual void ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                             MessageIcon icon);
};

ShellDialogs& CurrentShellDialogs();
// nullptr restores the real dialogs.
void SetShellDialogs(ShellDialogs* dialogs);
