#pragma once

#include <cstdint>
#include <string_view>

// Windows language identifier (primary language in the low 10 bits,
// sublanguage above) of a POSIX locale name such as "de_DE.UTF-8" or "fr_CA":
// language and territory through a table, else the language's usual variant.
// "C", "POSIX", an empty name and languages the table lacks give 0x0409
// (English, United States).
std::uint16_t LanguageIdForLocale(std::string_view localeName);

// The user's default language: the locale that governs messages, i.e. the
// first of LC_ALL, LC_MESSAGES and LANG that is set and not empty. Read anew
// at every call.
std::uint16_t GetUserDefaultLangID();
