#include "platform/ConfigStore.h"

#include <QDir>
#include <QSettings>
#include <QVariant>

namespace {

const QString kConfigFileInDirectory = QStringLiteral("/Quillet/Quillet.conf");

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool IsAsciiHexDigit(QChar c) {
    return IsAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

std::optional<std::uint32_t> ReadFileDword(const QString& path, const QString& key) {
    // QSettings writes only what was set; nothing is set here.
    const QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        return std::nullopt;
    }
    const QVariant value = settings.value(key);
    // A value with commas reads as a list: not a number either.
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return ParseConfigDword(value.toString());
}

} // namespace

ConfigFiles ConfigFilesFor(const QString& home, const QString& xdgConfigHome,
                           const QString& xdgConfigDirs) {
    ConfigFiles files;
    const QString userDirectory =
        QDir::isAbsolutePath(xdgConfigHome) ? xdgConfigHome : home + QStringLiteral("/.config");
    files.userFile = QDir::cleanPath(userDirectory + kConfigFileInDirectory);

    for (const QString& directory : xdgConfigDirs.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(directory)) {
            files.systemFiles << QDir::cleanPath(directory + kConfigFileInDirectory);
        }
    }
    if (files.systemFiles.isEmpty()) {
        files.systemFiles << QStringLiteral("/etc/xdg") + kConfigFileInDirectory;
    }
    return files;
}

ConfigFiles DefaultConfigFiles() {
    return ConfigFilesFor(QDir::homePath(), qEnvironmentVariable("XDG_CONFIG_HOME"),
                          qEnvironmentVariable("XDG_CONFIG_DIRS"));
}

std::optional<std::uint32_t> ParseConfigDword(const QString& text) {
    const QString trimmed = text.trimmed();
    const bool hex = trimmed.startsWith(u"0x", Qt::CaseInsensitive);
    const QStringView digits = QStringView(trimmed).mid(hex ? 2 : 0);
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    for (QChar c : digits) {
        if (!(hex ? IsAsciiHexDigit(c) : IsAsciiDigit(c))) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, hex ? 16 : 10);
    if (!ok || value > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> ReadConfigDword(const ConfigFiles& files, const QString& key) {
    if (auto value = ReadFileDword(files.userFile, key)) {
        return value;
    }
    for (const QString& path : files.systemFiles) {
        if (auto value = ReadFileDword(path, key)) {
            return value;
        }
    }
    return std::nullopt;
}
