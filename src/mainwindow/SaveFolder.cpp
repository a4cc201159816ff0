#include "mainwindow/SaveFolder.h"

#include <QCoreApplication>
#include <QStandardPaths>

KnownFolders KnownFolders::FromSystem() {
    KnownFolders folders;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty())
        folders.pictures = pictures;
    folders.moduleDirectory = GetModuleDirectory();
    return folders;
}

QString GetModuleDirectory() {
    if (!QCoreApplication::instance())
        return QString();
    return ModuleDirectoryOf(QCoreApplication::applicationFilePath());
}

QString ModuleDirectoryOf(const QString& moduleFilePath) {
    const qsizetype slash = moduleFilePath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    return moduleFilePath.left(slash + 1);
}

QString DefaultSaveFolder(const KnownFolders& folders) {
    QString chosen = folders.moduleDirectory;
    if (folders.pictures && !folders.pictures->isEmpty())
        chosen = *folders.pictures;
    return chosen + QStringLiteral("/Marlune/");
}
