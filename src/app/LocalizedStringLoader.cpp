#include "app/LocalizedStringLoader.h"

#include "platform/LastError.h"
#include "platform/UserLanguage.h"
#include "platform/hresult.h"
#include "resources/StringTables.h"

#include <algorithm>
#include <array>

namespace {

constexpr LANGID kNeutralLanguage = 0x0000;
constexpr LANGID kNeutralChoice = 0x0409;
constexpr LANGID kPrimaryLanguageMask = 0x03FF;
constexpr int kMaxCopied = kLocalizedStringBufferSize - 1;

const char16_t* FindForLanguage(const StringBlockStore& store, LANGID language,
                                std::uint16_t blockNumber) {
    if (const char16_t* block = store.Find(language, blockNumber)) {
        return block;
    }
    // The same primary language with the neutral sublanguage: how 0x0804 finds
    // the Chinese tables stored under 0x0004.
    if (const char16_t* block = store.Find(language & kPrimaryLanguageMask, blockNumber)) {
        return block;
    }
    return store.Find(kNeutralLanguage, blockNumber);
}

} // namespace

const char16_t* FindStringBlockIn(const StringBlockStore& store, LANGID current, LANGID userDefault,
                                  std::uint16_t blockNumber) {
    if (const char16_t* block = FindForLanguage(store, current, blockNumber)) {
        return block;
    }
    if (current != userDefault) {
        if (const char16_t* block = FindForLanguage(store, userDefault, blockNumber)) {
            return block;
        }
    }
    if (const char16_t* block = store.Find(kNeutralChoice, blockNumber)) {
        return block;
    }
    for (LANGID language : store.Languages()) {
        if (const char16_t* block = store.Find(language, blockNumber)) {
            return block;
        }
    }
    return nullptr;
}

const char16_t* FindStringBlock(std::uint16_t blockNumber) {
    // The user's default is asked at every call: the locale may change.
    return FindStringBlockIn(ProgramStringTables(), CurrentUILanguage, GetUserDefaultLangID(),
                             blockNumber);
}

int LoadLocalizedStringFrom(const StringBlockFinder& findBlock, std::uint32_t id,
                            char16_t* buffer) {
    // Widened, so that ids near 2^32 cannot wrap around into a small block number.
    const std::uint64_t shifted = std::uint64_t{id} + kStringsPerBlock;
    if (shifted >= (std::uint64_t{1} << 20)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    if (buffer == nullptr) {
        return 0;
    }
    const char16_t* entry = findBlock(static_cast<std::uint16_t>(shifted / kStringsPerBlock));
    if (entry == nullptr) {
        return 0;
    }
    for (std::uint32_t i = 0; i < id % kStringsPerBlock; ++i) {
        entry += *entry + 1;
    }
    const int count = std::min<int>(*entry, kMaxCopied);
    if (count == 0) {
        return 0;
    }
    std::copy_n(entry + 1, count, buffer);
    buffer[count] = u'\0';
    return count;
}

int LoadLocalizedString(std::uint32_t id, char16_t* buffer) {
    return LoadLocalizedStringFrom(FindStringBlock, id, buffer);
}

std::optional<QString> LoadLocalizedText(std::uint32_t id) {
    std::array<char16_t, kLocalizedStringBufferSize> buffer{};
    const int count = LoadLocalizedString(id, buffer.data());
    if (count == 0) {
        return std::nullopt;
    }
    return QString::fromUtf16(buffer.data(), count);
}
