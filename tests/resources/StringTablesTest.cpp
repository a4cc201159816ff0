#include "resources/StringTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The 16 entries of a block as strings ("" for an empty entry).
std::vector<std::u16string> Entries(const char16_t* block) {
    std::vector<std::u16string> entries;
    for (int i = 0; i < kStringsPerBlock; ++i) {
        entries.emplace_back(block + 1, block[0]);
        block += block[0] + 1;
    }
    return entries;
}

TEST(StringBlockStore, LaysOutBlocksOfSixteenCountPrefixedEntries) {
    static constexpr std::uint16_t blocks[] = {1, 3};
    static constexpr StoredString strings[] = {{1, u"ab"}, {3, u"c"}, {47, u"last"}};
    static constexpr LanguageStrings languages[] = {{0x0007, blocks, strings}};
    const StringBlockStore store(languages);

    const char16_t* first = store.Find(0x0007, 1);
    ASSERT_NE(first, nullptr);
    std::vector<char16_t> expected = {0, 2, u'a', u'b', 0, 1, u'c'};
    expected.resize(expected.size() + 12, 0);
    EXPECT_EQ(std::vector<char16_t>(first, first + expected.size()), expected);

    // Id 47 is the last entry of block 47 / 16 + 1 = 3.
    const char16_t* third = store.Find(0x0007, 3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(Entries(third).back(), u"last");
    EXPECT_EQ(Entries(third).front(), u"");

    EXPECT_EQ(store.Find(0x0007, 2), nullptr);
    EXPECT_EQ(store.Find(0x0407, 1), nullptr); // exact language only
    EXPECT_EQ(store.Languages(), std::vector<std::uint16_t>{0x0007});
}

TEST(StringBlockStore, RejectsTextsThatTheBlocksCannotHold) {
    static constexpr std::uint16_t blocks[] = {1};
    static constexpr StoredString outside[] = {{16, u"x"}};
    static constexpr StoredString twice[] = {{2, u"x"}, {2, u"y"}};
    static constexpr LanguageStrings outsideLanguages[] = {{0x0009, blocks, outside}};
    static constexpr LanguageStrings twiceLanguages[] = {{0x0009, blocks, twice}};
    EXPECT_THROW(StringBlockStore{outsideLanguages}, std::invalid_argument);
    EXPECT_THROW(StringBlockStore{twiceLanguages}, std::invalid_argument);
}

TEST(ProgramStringTables, StoresTheBlocksOfEachLanguage) {
    struct Case {
        std::uint16_t language;
        bool hasBlock11;
    };
    const Case cases[] = {{0x0409, true},  {0x0004, true},  {0x0007, true},  {0x000A, false},
                          {0x000C, false}, {0x0010, false}, {0x0011, false}, {0x0019, false}};
    const StringBlockStore& store = ProgramStringTables();
    std::vector<std::uint16_t> languages;
    for (const Case& c : cases) {
        languages.push_back(c.language);
        EXPECT_NE(store.Find(c.language, 9), nullptr) << std::hex << c.language;
        EXPECT_NE(store.Find(c.language, 10), nullptr) << std::hex << c.language;
        EXPECT_EQ(store.Find(c.language, 11) != nullptr, c.hasBlock11) << std::hex << c.language;
        EXPECT_EQ(store.Find(c.language, 8), nullptr) << std::hex << c.language;
        EXPECT_EQ(store.Find(c.language, 12), nullptr) << std::hex << c.language;
    }
    EXPECT_EQ(store.Languages(), languages);
    EXPECT_EQ(&ProgramStringTables(), &store);
}

TEST(ProgramStringTables, LeavesIdsOutside131To161Empty) {
    const StringBlockStore& store = ProgramStringTables();
    std::size_t longest = 0;
    for (std::uint16_t language : store.Languages()) {
        for (std::uint16_t blockNumber : {9, 10, 11}) {
            const char16_t* block = store.Find(language, blockNumber);
            if (block == nullptr) {
                continue;
            }
            const std::vector<std::u16string> entries = Entries(block);
            for (int i = 0; i < kStringsPerBlock; ++i) {
                const int id = (blockNumber - 1) * kStringsPerBlock + i;
                if (id < 131 || id > 161) {
                    EXPECT_TRUE(entries[i].empty())
                        << std::hex << language << std::dec << " " << id;
                }
                longest = std::max(longest, entries[i].size());
            }
        }
    }
    // Well inside the 259 characters a caller's buffer takes.
    EXPECT_EQ(longest, 71u);
}

} // namespace
