#pragma once

#include <cstdint>

struct ConfigFiles;

// Windows language identifier (LANGID) that selects every program text.
using LANGID = std::uint16_t;

// Set from the user's default language before start-up code runs; start-up
// may replace it from the configuration.
extern LANGID CurrentUILanguage;

struct UILanguageRow {
    const char16_t* name;
    std::uint32_t identifier;
};

// The eight carried languages; the row index is the language chooser's item.
extern const UILanguageRow UILanguageTable[8];

// The configuration's "no language chosen" value.
constexpr std::uint32_t kNoUILanguageChosen = 0xFFFF;

// Start-up's language choice: reads "UILanguage" in group [Config] of the
// configuration files (the user's first). A usable value other than
// kNoUILanguageChosen replaces CurrentUILanguage with its low 16 bits;
// otherwise CurrentUILanguage keeps the user's default. Any identifier is
// accepted; the text lookup's fallbacks cover languages without texts.
void ChooseUILanguage(const ConfigFiles& files);

// ChooseUILanguage with the configuration files of this user and system.
void ChooseUILanguage();
