#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Program texts by string id in CurrentUILanguage, with the per-block fallback
// to other stored languages. The store is compiled into the program, so there
// is no module handle to pass.

// Capacity the caller's buffer must have: 259 characters and a terminator.
constexpr int kLocalizedStringBufferSize = 260;

// Copies string `id` into `buffer` (at least kLocalizedStringBufferSize
// characters) and returns the number of characters copied; 0 when there is no
// string, leaving the buffer as it was.
int LoadLocalizedString(std::uint32_t id, char16_t* buffer);

// The stored block `blockNumber` (16 count-prefixed entries) in the language
// the lookup rule chooses, or nullptr. The data are never freed.
const char16_t* FindStringBlock(std::uint16_t blockNumber);

// LoadLocalizedString for Qt callers: nullopt when there is no string.
std::optional<QString> LoadLocalizedText(std::uint32_t id);
