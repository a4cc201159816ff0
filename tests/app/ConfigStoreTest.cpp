#include "platform/ConfigStore.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(ParseConfigDword, AcceptsDecimalAndHexWithin32Bits) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"0", 0u},
        {"1031", 1031u},
        {"0x0407", 0x0407u},
        {"0XffFF", 0xFFFFu},
        {" 0x0407 ", 0x0407u},
        {"0123", 123u}, // decimal, not octal
        {"4294967295", 0xFFFFFFFFu},
        {"0x00000000FFFFFFFF", 0xFFFFFFFFu},
        {"4294967296", std::nullopt},
        {"0x100000000", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {"1.5", std::nullopt},
        {"0x1g", std::nullopt},
        {"12abc", std::nullopt},
        {"0x 12", std::nullopt},
        {"\xef\xbc\x91", std::nullopt}, // a full-width digit one
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseConfigDword(QString::fromUtf8(c.text)), c.expected) << c.text;
    }
}

TEST(ConfigFilesFor, FollowsTheXdgBaseDirectories) {
    struct Case {
        const char* xdgConfigHome;
        const char* xdgConfigDirs;
        const char* userFile;
        QStringList systemFiles;
    };
    const Case cases[] = {
        {"", "", "/home/u/.config/Quillet/Quillet.conf", {"/etc/xdg/Quillet/Quillet.conf"}},
        {"/cfg", "", "/cfg/Quillet/Quillet.conf", {"/etc/xdg/Quillet/Quillet.conf"}},
        {"/cfg/",
         "/a:/b/",
         "/cfg/Quillet/Quillet.conf",
         {"/a/Quillet/Quillet.conf", "/b/Quillet/Quillet.conf"}},
        // Relative directories do not count.
        {"cfg", "rel:/a::", "/home/u/.config/Quillet/Quillet.conf", {"/a/Quillet/Quillet.conf"}},
        {"", "rel", "/home/u/.config/Quillet/Quillet.conf", {"/etc/xdg/Quillet/Quillet.conf"}},
    };
    for (const Case& c : cases) {
        const ConfigFiles files =
            ConfigFilesFor(QStringLiteral("/home/u"), c.xdgConfigHome, c.xdgConfigDirs);
        EXPECT_EQ(files.userFile, c.userFile) << c.xdgConfigHome;
        EXPECT_EQ(files.systemFiles, c.systemFiles) << c.xdgConfigDirs;
    }
}

} // namespace
