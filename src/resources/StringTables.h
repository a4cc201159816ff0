#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

// Program texts stored the way string-table resources store them: strings in
// blocks of 16, string id n in block n / 16 + 1 at position n % 16; a block is
// its 16 entries one after the other, each a 16-bit character count followed by
// that many UTF-16 characters without terminator (count 0: no string). Each
// block is kept separately for every language that has it.

constexpr int kStringsPerBlock = 16;

struct StoredString {
    std::uint32_t id;
    const char16_t* text;
};

// The texts of one language and the blocks it stores; a listed block without
// any of the texts is stored with 16 empty entries.
struct LanguageStrings {
    std::uint16_t language;
    std::span<const std::uint16_t> blocks;
    std::span<const StoredString> strings;
};

class StringBlockStore {
public:
    // Lays the blocks out once. Throws std::invalid_argument for a text outside
    // the listed blocks, a text longer than a count can hold, or an id given twice.
    explicit StringBlockStore(std::span<const LanguageStrings> languages);

    // The block stored under exactly `language`, or nullptr. The data stay in
    // place for the store's lifetime.
    const char16_t* Find(std::uint16_t language, std::uint16_t blockNumber) const;

    // The languages that store blocks, in the order they were given.
    const std::vector<std::uint16_t>& Languages() const { return languages_; }

private:
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::vector<char16_t>> blocks_;
    std::vector<std::uint16_t> languages_;
};

// The program's own string tables (ids 131 to 161 in eight languages), built on
// first use and never freed.
const StringBlockStore& ProgramStringTables();
