#pragma once

#include "app/UILanguage.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class StringBlockStore;

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

// The lookup rule behind FindStringBlock, over any store: the block in
// `current`, else in `userDefault` (when it differs), else the language-neutral
// choice. A language matches a block stored under exactly it, else under its
// primary language with the neutral sublanguage, else under the neutral
// language. The neutral choice takes 0x0409 and then any stored language.
const char16_t* FindStringBlockIn(const StringBlockStore& store, LANGID current, LANGID userDefault,
                                  std::uint16_t blockNumber);

// LoadLocalizedString with the blocks coming from `findBlock`.
using StringBlockFinder = std::function<const char16_t*(std::uint16_t blockNumber)>;
int LoadLocalizedStringFrom(const StringBlockFinder& findBlock, std::uint32_t id, char16_t* buffer);
