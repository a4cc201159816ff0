#include "platform/ShellDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

std::optional<QString> ShellDialogs::BrowseForFolder(QWidget* owner, const QString& startFolder) {
    const QString folder = QFileDialog::getExistingDirectory(owner, QString(), startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

bool ShellDialogs::OpenFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void ShellDialogs::ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                               MessageIcon icon) {
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

namespace {
ShellDialogs* installedDialogs = nullptr;
}

ShellDialogs& CurrentShellDialogs() {
    static ShellDialogs real;
    return installedDialogs ? *installedDialogs : real;
}

void SetShellDialogs(ShellDialogs* dialogs) { installedDialogs = dialogs; }
