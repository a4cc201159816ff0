#include "platform/UserLanguage.h"

#include <cstdlib>
#include <string>

namespace {

constexpr std::uint16_t kEnglishUnitedStates = 0x0409;

struct LocaleLanguage {
    const char* language;  // ISO 639 code, lower case
    const char* territory; // ISO 3166 code, upper case
    std::uint16_t languageId;
};

// The first row of a language is its usual variant, taken when the territory
// is missing or not listed.
constexpr LocaleLanguage kLocaleLanguages[] = {
    // The eight languages the program carries texts for.
    {"en", "US", 0x0409},
    {"en", "GB", 0x0809},
    {"en", "AU", 0x0C09},
    {"en", "CA", 0x1009},
    {"en", "NZ", 0x1409},
    {"en", "IE", 0x1809},
    {"en", "ZA", 0x1C09},
    {"en", "JM", 0x2009},
    {"en", "BZ", 0x2809},
    {"en", "TT", 0x2C09},
    {"en", "ZW", 0x3009},
    {"en", "PH", 0x3409},
    {"en", "IN", 0x4009},
    {"en", "MY", 0x4409},
    {"en", "SG", 0x4809},
    {"zh", "CN", 0x0804},
    {"zh", "TW", 0x0404},
    {"zh", "HK", 0x0C04},
    {"zh", "SG", 0x1004},
    {"zh", "MO", 0x1404},
    {"ru", "RU", 0x0419},
    {"ru", "MD", 0x0819},
    {"de", "DE", 0x0407},
    {"de", "CH", 0x0807},
    {"de", "AT", 0x0C07},
    {"de", "LU", 0x1007},
    {"de", "LI", 0x1407},
    {"fr", "FR", 0x040C},
    {"fr", "BE", 0x080C},
    {"fr", "CA", 0x0C0C},
    {"fr", "CH", 0x100C},
    {"fr", "LU", 0x140C},
    {"fr", "MC", 0x180C},
    {"it", "IT", 0x0410},
    {"it", "CH", 0x0810},
    {"es", "ES", 0x0C0A},
    {"es", "MX", 0x080A},
    {"es", "GT", 0x100A},
    {"es", "CR", 0x140A},
    {"es", "PA", 0x180A},
    {"es", "DO", 0x1C0A},
    {"es", "VE", 0x200A},
    {"es", "CO", 0x240A},
    {"es", "PE", 0x280A},
    {"es", "AR", 0x2C0A},
    {"es", "EC", 0x300A},
    {"es", "CL", 0x340A},
    {"es", "UY", 0x380A},
    {"es", "PY", 0x3C0A},
    {"es", "BO", 0x400A},
    {"es", "SV", 0x440A},
    {"es", "HN", 0x480A},
    {"es", "NI", 0x4C0A},
    {"es", "PR", 0x500A},
    {"es", "US", 0x540A},
    {"ja", "JP", 0x0411},
    // Other common languages.
    {"ar", "SA", 0x0401},
    {"ar", "IQ", 0x0801},
    {"ar", "EG", 0x0C01},
    {"ar", "LY", 0x1001},
    {"ar", "DZ", 0x1401},
    {"ar", "MA", 0x1801},
    {"ar", "TN", 0x1C01},
    {"ar", "OM", 0x2001},
    {"ar", "YE", 0x2401},
    {"ar", "SY", 0x2801},
    {"ar", "JO", 0x2C01},
    {"ar", "LB", 0x3001},
    {"ar", "KW", 0x3401},
    {"ar", "AE", 0x3801},
    {"ar", "BH", 0x3C01},
    {"ar", "QA", 0x4001},
    {"bg", "BG", 0x0402},
    {"ca", "ES", 0x0403},
    {"cs", "CZ", 0x0405},
    {"da", "DK", 0x0406},
    {"el", "GR", 0x0408},
    {"fi", "FI", 0x040B},
    {"he", "IL", 0x040D},
    {"hu", "HU", 0x040E},
    {"is", "IS", 0x040F},
    {"ko", "KR", 0x0412},
    {"nl", "NL", 0x0413},
    {"nl", "BE", 0x0813},
    {"nb", "NO", 0x0414},
    {"no", "NO", 0x0414},
    {"nn", "NO", 0x0814},
    {"pl", "PL", 0x0415},
    {"pt", "BR", 0x0416},
    {"pt", "PT", 0x0816},
    {"ro", "RO", 0x0418},
    {"hr", "HR", 0x041A},
    {"sr", "RS", 0x281A},
    {"sk", "SK", 0x041B},
    {"sq", "AL", 0x041C},
    {"sv", "SE", 0x041D},
    {"sv", "FI", 0x081D},
    {"th", "TH", 0x041E},
    {"tr", "TR", 0x041F},
    {"ur", "PK", 0x0420},
    {"id", "ID", 0x0421},
    {"uk", "UA", 0x0422},
    {"be", "BY", 0x0423},
    {"sl", "SI", 0x0424},
    {"et", "EE", 0x0425},
    {"lv", "LV", 0x0426},
    {"lt", "LT", 0x0427},
    {"fa", "IR", 0x0429},
    {"vi", "VN", 0x042A},
    {"hy", "AM", 0x042B},
    {"eu", "ES", 0x042D},
    {"mk", "MK", 0x042F},
    {"af", "ZA", 0x0436},
    {"ka", "GE", 0x0437},
    {"hi", "IN", 0x0439},
    {"ms", "MY", 0x043E},
    {"kk", "KZ", 0x043F},
    {"sw", "KE", 0x0441},
    {"bn", "IN", 0x0445},
    {"ta", "IN", 0x0449},
    {"gl", "ES", 0x0456},
};

char ToLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char ToUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EndsPart(char c) {
    return c == '.' || c == '@';
}

} // namespace

std::uint16_t LanguageIdForLocale(std::string_view localeName) {
    // language[_territory][.codeset][@modifier]; a '-' as in "de-DE" is taken too.
    std::string language;
    std::size_t i = 0;
    for (; i < localeName.size() && localeName[i] != '_' && localeName[i] != '-' &&
           !EndsPart(localeName[i]);
         ++i) {
        language += ToLower(localeName[i]);
    }
    std::string territory;
    if (i < localeName.size() && (localeName[i] == '_' || localeName[i] == '-')) {
        for (++i; i < localeName.size() && !EndsPart(localeName[i]); ++i) {
            territory += ToUpper(localeName[i]);
        }
    }

    const LocaleLanguage* usualVariant = nullptr;
    for (const LocaleLanguage& row : kLocaleLanguages) {
        if (language != row.language) {
            continue;
        }
        if (territory == row.territory) {
            return row.languageId;
        }
        if (usualVariant == nullptr) {
            usualVariant = &row;
        }
    }
    // "C" and "POSIX" are no language of the table and end here as well.
    return usualVariant != nullptr ? usualVariant->languageId : kEnglishUnitedStates;
}

std::uint16_t GetUserDefaultLangID() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return LanguageIdForLocale(value);
        }
    }
    return kEnglishUnitedStates;
}
