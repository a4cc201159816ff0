#include "app/UILanguage.h"
#include "app/LocalizedStringLoader.h"
#include "platform/ConfigStore.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <string>

namespace {

// Every file and directory under `root` with its size, modification time and
// content hash, to show that nothing was created or changed.
std::map<QString, QString> Snapshot(const QString& root) {
    std::map<QString, QString> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QString state = info.isDir() ? QStringLiteral("dir") : QString::number(info.size());
        state += u' ' + QString::number(info.lastModified().toMSecsSinceEpoch());
        if (info.isFile()) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly)) {
                state +=
                    u' ' +
                    QString::fromLatin1(
                        QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
            }
        }
        entries[path] = state;
    }
    return entries;
}

// A user file and two system files under a temporary directory; the test
// checks at the end that the language choice left them all untouched.
class UILanguageChoice : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        UseFilesUnder(QStringLiteral("case"));
    }

    // Fresh paths for every case: QSettings may keep a file it read moments ago.
    void UseFilesUnder(const QString& directory) {
        const QDir base(root.filePath(directory));
        files.userFile = base.filePath(QStringLiteral("home/.config/Quillet/Quillet.conf"));
        files.systemFiles = {base.filePath(QStringLiteral("etc/first/Quillet/Quillet.conf")),
                             base.filePath(QStringLiteral("etc/second/Quillet/Quillet.conf"))};
    }

    void TearDown() override {
        EXPECT_EQ(Snapshot(root.path()), before) << "the configuration was written";
    }

    static void Write(const QString& path, const QByteArray& content) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    // Writes the files (nullopt: no file) and remembers how they look.
    void Configure(const std::optional<QByteArray>& user, const std::optional<QByteArray>& first,
                   const std::optional<QByteArray>& second) {
        if (user) {
            Write(files.userFile, *user);
        }
        if (first) {
            Write(files.systemFiles[0], *first);
        }
        if (second) {
            Write(files.systemFiles[1], *second);
        }
        before = Snapshot(root.path());
    }

    static QByteArray Setting(const char* value) {
        return QByteArray("[Config]\nUILanguage=") + value + '\n';
    }

    QTemporaryDir root;
    ConfigFiles files;
    std::map<QString, QString> before;
    ScopedEnvironment environment;
    ScopedUILanguage language;
};

TEST_F(UILanguageChoice, AppliesTheFirstUsableValue) {
    struct Case {
        const char* name;
        std::optional<QByteArray> user, first, second;
        LANGID expected; // starting from the user's default 0x0409
    };
    const std::optional<QByteArray> none;
    const Case cases[] = {
        {"nothing anywhere", none, none, none, 0x0409},
        {"files without the value", QByteArray("[Config]\nOther=1\n"),
         QByteArray("[General]\nUILanguage=0x0407\n"), none, 0x0409},
        {"only the user file", Setting("0x0407"), none, none, 0x0407},
        {"only the first system file", none, Setting("0x0410"), none, 0x0410},
        {"only the second system file", none, none, Setting("0x0411"), 0x0411},
        {"user before system", Setting("0x0411"), Setting("0x0407"), none, 0x0411},
        {"first system file before second", none, Setting("0x040C"), Setting("0x0407"), 0x040C},
        {"decimal", Setting("1031"), none, none, 0x0407},
        {"upper-case prefix", Setting("0X040c"), none, none, 0x040C},
        {"quoted", Setting("\"0x0419\""), none, none, 0x0419},
        {"only the low 16 bits", Setting("0x10407"), none, none, 0x0407},
        {"Chinese", Setting("0x0804"), none, none, 0x0804},
        {"a language without texts", Setting("0x0413"), none, none, 0x0413},
        {"no choice", Setting("0xFFFF"), Setting("0x0407"), none, 0x0409},
        {"no choice in decimal", Setting("65535"), none, none, 0x0409},
        {"not the whole value 0xFFFF", Setting("0x1FFFF"), none, none, 0xFFFF},
        {"widest value", Setting("0xFFFFFFFF"), none, none, 0xFFFF},
        {"not a number", Setting("German"), none, none, 0x0409},
        {"not a number, system used", Setting("German"), Setting("0x0410"), none, 0x0410},
        {"wider than 32 bits", Setting("0x100000000"), none, none, 0x0409},
        {"wider than 32 bits in decimal", Setting("4294967296"), Setting("0x0407"), none, 0x0407},
        {"negative", Setting("-1"), none, none, 0x0409},
        {"empty", Setting(""), none, none, 0x0409},
        {"a list", Setting("1031, 1036"), none, none, 0x0409},
        {"trailing text", Setting("0x0407 German"), none, none, 0x0409},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseFilesUnder(QStringLiteral("case%1").arg(++n));
        Configure(c.user, c.first, c.second);
        CurrentUILanguage = 0x0409;
        ChooseUILanguage(files);
        EXPECT_EQ(CurrentUILanguage, c.expected);
        EXPECT_EQ(Snapshot(root.path()), before);
    }
}

TEST_F(UILanguageChoice, NoValueKeepsTheUsersDefaultAndItsTexts) {
    Configure(std::nullopt, std::nullopt, std::nullopt);
    environment.SetLocale("de_DE.UTF-8");
    CurrentUILanguage = 0x0407;
    ChooseUILanguage(files);
    EXPECT_EQ(CurrentUILanguage, 0x0407);
    EXPECT_EQ(LoadLocalizedText(131), QStringLiteral("Scannen"));
}

TEST_F(UILanguageChoice, HighBitsAreIgnoredForGermanTexts) {
    Configure(Setting("0x10407"), std::nullopt, std::nullopt);
    environment.SetLocale("en_US.UTF-8");
    CurrentUILanguage = 0x0409;
    ChooseUILanguage(files);
    EXPECT_EQ(LoadLocalizedText(131), QStringLiteral("Scannen"));
    EXPECT_EQ(LoadLocalizedText(160), QStringLiteral("Endgültige Bilder zum Speichern"));
}

TEST_F(UILanguageChoice, ChineseIsFoundUnderItsNeutralSublanguage) {
    Configure(std::nullopt, Setting("0x0804"), std::nullopt);
    environment.SetLocale("en_US.UTF-8");
    CurrentUILanguage = 0x0409;
    ChooseUILanguage(files);
    EXPECT_EQ(LoadLocalizedText(131), QStringLiteral("拍照"));
    EXPECT_EQ(LoadLocalizedText(154), QStringLiteral("标准"));
    EXPECT_EQ(LoadLocalizedText(161), QStringLiteral("图像列表空间已满，请将图像保存到磁盘"));
}

TEST_F(UILanguageChoice, LanguageWithoutTextsShowsTheUsersDefault) {
    Configure(Setting("0x0413"), std::nullopt, std::nullopt);
    struct Case {
        const char* locale;
        const char* scan;
    };
    for (const Case& c :
         {Case{"de_DE.UTF-8", "Scannen"}, Case{"en_GB.UTF-8", "Scan"}, Case{"C", "Scan"}}) {
        SCOPED_TRACE(c.locale);
        environment.SetLocale(c.locale);
        CurrentUILanguage = 0x0409;
        ChooseUILanguage(files);
        EXPECT_EQ(CurrentUILanguage, 0x0413);
        EXPECT_EQ(LoadLocalizedText(131), QString::fromUtf8(c.scan));
    }
}

TEST_F(UILanguageChoice, EnvironmentNamesTheFiles) {
    Write(root.filePath(QStringLiteral("xdg-home/Quillet/Quillet.conf")), Setting("0x0407"));
    Write(root.filePath(QStringLiteral("xdg-b/Quillet/Quillet.conf")), Setting("0x0419"));
    Configure(std::nullopt, std::nullopt, std::nullopt);
    environment.Set("XDG_CONFIG_DIRS", (root.filePath(QStringLiteral("xdg-a")) + u':' +
                                        root.filePath(QStringLiteral("xdg-b")))
                                           .toStdString());

    environment.Set("XDG_CONFIG_HOME", root.filePath(QStringLiteral("xdg-home")).toStdString());
    CurrentUILanguage = 0x0409;
    ChooseUILanguage();
    EXPECT_EQ(CurrentUILanguage, 0x0407);

    environment.Set("XDG_CONFIG_HOME", root.filePath(QStringLiteral("xdg-empty")).toStdString());
    CurrentUILanguage = 0x0409;
    ChooseUILanguage();
    EXPECT_EQ(CurrentUILanguage, 0x0419);
}

TEST(UILanguageTable, HoldsTheEightLanguagesInChooserOrder) {
    const std::pair<const char*, std::uint32_t> expected[] = {
        {"English", 0x0409}, {"Chinese", 0x0804}, {"Russian", 0x0419},        {"German", 0x0407},
        {"French", 0x040C},  {"Italian", 0x0410}, {"Spanish(Spain)", 0x040A}, {"Japanese", 0x0411},
    };
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(QString::fromUtf16(UILanguageTable[i].name).toStdString(), expected[i].first);
        EXPECT_EQ(UILanguageTable[i].identifier, expected[i].second);
    }
}

} // namespace
