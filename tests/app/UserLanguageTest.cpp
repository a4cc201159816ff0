#include "platform/UserLanguage.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(LanguageIdForLocale, MapsLocaleNamesToLanguageIds) {
    struct Case {
        const char* locale;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {"en_US.UTF-8", 0x0409},
        {"en_GB", 0x0809},
        {"zh_CN.GB2312", 0x0804},
        {"zh_TW.UTF-8", 0x0404},
        {"ru_RU.KOI8-R", 0x0419},
        {"de_DE.UTF-8", 0x0407},
        {"de_AT@euro", 0x0C07},
        {"fr_FR", 0x040C},
        {"fr_CA.UTF-8", 0x0C0C},
        {"it_IT@euro", 0x0410},
        {"es_ES.UTF-8", 0x0C0A},
        {"es_MX", 0x080A},
        {"ja_JP.eucJP", 0x0411},
        {"nl_NL.UTF-8", 0x0413},
        {"pt_BR", 0x0416},
        {"pt_PT", 0x0816},
        {"ko_KR.UTF-8", 0x0412},
        {"de-CH", 0x0807},
        {"DE_de.utf8", 0x0407},
        // A territory the table lacks, or none: the language's usual variant.
        {"de_BE.UTF-8", 0x0407},
        {"zh", 0x0804},
        {"es", 0x0C0A},
        {"pt", 0x0416},
        {"sv", 0x041D},
        {"C", 0x0409},
        {"C.UTF-8", 0x0409},
        {"POSIX", 0x0409},
        {"", 0x0409},
        {"xx_YY", 0x0409},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LanguageIdForLocale(c.locale), c.expected) << c.locale;
    }
}

TEST(GetUserDefaultLangID, TakesTheFirstSetOfLcAllLcMessagesLang) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", "fr_FR.UTF-8", "ja_JP.UTF-8", 0x0407},
        {nullptr, "fr_FR.UTF-8", "ja_JP.UTF-8", 0x040C},
        {"", "", "ja_JP.UTF-8", 0x0411},
        {nullptr, nullptr, "ru_RU.UTF-8", 0x0419},
        {nullptr, nullptr, nullptr, 0x0409},
        {"", "", "", 0x0409},
        {"C", nullptr, "de_DE.UTF-8", 0x0409},
    };
    for (const Case& c : cases) {
        ScopedEnvironment environment;
        const std::pair<const char*, const char*> variables[] = {
            {"LC_ALL", c.lcAll}, {"LC_MESSAGES", c.lcMessages}, {"LANG", c.lang}};
        for (const auto& [name, value] : variables) {
            if (value != nullptr) {
                environment.Set(name, value);
            } else {
                environment.Unset(name);
            }
        }
        EXPECT_EQ(GetUserDefaultLangID(), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

} // namespace
