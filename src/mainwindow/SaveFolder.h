#pragma once

#include <QString>

#include <optional>

// Where the default save folder comes from: the user's pictures folder and,
// when there is none, the program's own directory.
struct KnownFolders {
    std::optional<QString> pictures; // without a trailing separator; nullopt when not available
    QString moduleDirectory;         // with its trailing "/", or empty

    // The folders of this user and this program.
    static KnownFolders FromSystem();
};

// The directory of the running program's file with its trailing "/", or an
// empty string when the program's path is not known.
QString GetModuleDirectory();

// The part of `moduleFilePath` up to and including its last "/"; empty when it
// has none.
QString ModuleDirectoryOf(const QString& moduleFilePath);

// "<pictures>/Marlune/", else "<program directory>/Marlune/" (the directory
// keeps its own trailing separator, giving a doubled one), else "/Marlune/".
QString DefaultSaveFolder(const KnownFolders& folders);
