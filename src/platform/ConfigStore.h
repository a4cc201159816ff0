#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The program's settings live in INI files, read only: the user's file first,
// then the system-wide ones in order of precedence (as the registry is asked
// for the current user first, then the machine).
struct ConfigFiles {
    QString userFile;
    QStringList systemFiles;
};

// Quillet/Quillet.conf under $XDG_CONFIG_HOME (else <home>/.config) and under
// each directory of $XDG_CONFIG_DIRS (else /etc/xdg). Relative directories are
// ignored, as the XDG base directory rules ask.
ConfigFiles ConfigFilesFor(const QString& home, const QString& xdgConfigHome,
                           const QString& xdgConfigDirs);

// ConfigFilesFor with this process's home directory and environment.
ConfigFiles DefaultConfigFiles();

// A 32-bit number in decimal or with a 0x prefix in hex, without sign;
// nullopt when the text is not such a number or does not fit in 32 bits.
std::optional<std::uint32_t> ParseConfigDword(const QString& text);

// Reads the number under `key` ("Group/Name") from the user's file, then from
// each system file; the first file that yields a number gives it. A file
// where the key is missing, unreadable or not a number is passed over.
// Nothing is ever written.
std::optional<std::uint32_t> ReadConfigDword(const ConfigFiles& files, const QString& key);
