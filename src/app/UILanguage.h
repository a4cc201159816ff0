#pragma once

#include <cstdint>

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
