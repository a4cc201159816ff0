#include "app/LocalizedStringLoader.h"
#include "app/UILanguage.h"
#include "platform/LastError.h"
#include "platform/hresult.h"
#include "resources/StringTables.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

constexpr int kLanguages = 8;

// Locales whose default language is each row of UILanguageTable.
constexpr const char* kLocaleOfRow[kLanguages] = {
    "en_US.UTF-8", "zh_CN.UTF-8", "ru_RU.UTF-8", "de_DE.UTF-8",
    "fr_FR.UTF-8", "it_IT.UTF-8", "es_ES.UTF-8", "ja_JP.UTF-8",
};

// Only English, Chinese and German store block 11 (ids 160 to 175).
constexpr bool kRowHasBlock11[kLanguages] = {true, true, false, true, false, false, false, false};

struct IdTexts {
    std::uint32_t id;
    // In the order of UILanguageTable: English, Chinese, Russian, German,
    // French, Italian, Spanish, Japanese; nullptr where no string is stored.
    std::array<const char16_t*, kLanguages> texts;
};

const IdTexts kStoredTexts[] = {
    {130, {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
    {131,
     {u"Scan", u"拍照", u"захват", u"Scannen", u"Prendre une image", u"Prendi Immagine",
      u"Tomar Imagen", u"撮影"}},
    {132,
     {u"Adjust", u"效果调整", u"Настроить", u"Anpassen", u"Régler", u"Regolazione", u"Ajustar",
      u"調整"}},
    {133,
     {u"Saturation", u"饱和度", u"Насыщенность", u"Sättigung", u"Saturation", u"Saturazione",
      u"Saturación", u"飽和度"}},
    {134,
     {u"Brightness", u"亮度", u"Яркость", u"Helligkeit", u"Luminosité", u"Luminosità", u"Brillo",
      u"輝度"}},
    {135,
     {u"Contrast", u"对比度", u"Контраст", u"Kontrast", u"Contraste", u"Contrasto", u"Contraste",
      u"対比度"}},
    {136, {u"Red", u"红", u"красный", u"Rot", u"Rouge", u"Rosso", u"Rojo", u"赤"}},
    {137, {u"Green", u"绿", u"зеленый", u"Grün", u"Vert", u"Verde", u"Verde", u"緑"}},
    {138, {u"Blue", u"蓝", u"синий", u"Blau", u"Bleu", u"Blu", u"Azul", u"青い"}},
    {139,
     {u"Default", u"默认", u"Сбросить", u"Standardeinstellungen", u"Français",
      u"Ripristina Predefiniti", u"Defecto", u"デフォルト"}},
    {140,
     {u"Custom", u"自定义", u"Самоопределение", u"Individuell", u"Autodéfinition",
      u"Autodefinizione", u"Autodefinición", u"カスタム"}},
    {141,
     {u"Film Type", u"底片类型", u"тип изображения", u"Filmtyp", u"Type d'image",
      u"Tipo di Immagine", u"Tipo de Imagen", u"画像形式"}},
    {142,
     {u"Slide", u"正片", u"Позитив", u"Dia", u"Glissoire", u"Scivolo", u"Diapositiva",
      u"ポジフィルム"}},
    {143,
     {u"Negative", u"负片", u"негатив", u"Negativ", u"Négatif", u"Negativo", u"Negativo",
      u"ネガフィルム"}},
    {144,
     {u"Black && White", u"黑白", u"Черно-белый", u"Schwarz / Weiß", u"Noir Blanc", u"Nero Bianco",
      u"Blanco Negro", u"黒白"}},
    {145,
     {u"Resolution", u"分辨率", u"Разрешение", u"Auflösung", u"Résolution de l'image",
      u"Risoluzione Dell'immagine", u"Resolución de Imagen", u"解像度"}},
    {146,
     {u"Film size", u"底片规格", u"размер пленки", u"Filmgröße", u"Taille de l'image",
      u"Dimensione Dell'immagine", u"Tamaño de la Imagen", u"フィルムサイズ"}},
    {147,
     {u"Setting", u"设置", u"Параметры", u"Einstellung", u"Réglages de l'appareil",
      u"Impostazioni del Dispositivo", u"Configuración de dispositivo", u"設置"}},
    {148,
     {u"UI Language", u"界面语言", u"Язык", u"Oberflächensprache", u"Langage", u"Lingue", u"Idioma",
      u"言語"}},
    {149,
     {u"Save Film in", u"保存位置", u"Сохранить файлы на", u"Speicherort", u"Enregistrer sous",
      u"Posizione di salva", u"Guardar archivos en", u"保存位置"}},
    {150,
     {u"Browse", u"浏览图片", u"Просмотреть", u"Durchsuchen", u"Navigation", u"Navigazione",
      u"Navegación", u"閲覧"}},
    {151,
     {u"Save image success", u"保存成功", u"Сохраните успешно", nullptr,
      u"Enregistrer le succès de l'image", u"Salva il successo dell'immagine",
      u"Guardar imagen exitosa", u"画像は保存されました"}},
    {152,
     {u"Save image failed", u"保存失败", u"Сохраните провал", nullptr,
      u"Échec de l'enregistrement de l'image", u"Salva immagine non riuscita",
      u"Guardar imagen fallida", u"画像は保存されません"}},
    {153,
     {u"Please connect to scanner", u"请连接扫描仪", u"устройство не подключено",
      u"Bitte schließen Sie den Scanner an", u"Veuillez brancher un scanner de film",
      u"Si prega di collegare lo scanner per pellicole",
      u"Por favor conecte el escáner de película", u"スキャナーを接続してください"}},
    {154, {u"Standard", u"标准", nullptr, u"Standard", nullptr, nullptr, nullptr, nullptr}},
    {155, {u"High", u"高质量", nullptr, u"Hoch", nullptr, nullptr, nullptr, nullptr}},
    {156, {u"Mirror", u"镜像", nullptr, u"Spiegeln", nullptr, nullptr, nullptr, nullptr}},
    {157, {u"Rotate", u"旋转", nullptr, u"Drehen", nullptr, nullptr, nullptr, nullptr}},
    {158, {u"Delete", u"删除", nullptr, u"Löschen", nullptr, nullptr, nullptr, nullptr}},
    {159, {u"Save", u"保存", nullptr, u"Speichern", nullptr, nullptr, nullptr, nullptr}},
    {160,
     {u"Final images to save", u"要保存的图像", nullptr, u"Endgültige Bilder zum Speichern",
      nullptr, nullptr, nullptr, nullptr}},
    {161,
     {u"Image list space is full, please save image to disk",
      u"图像列表空间已满，请将图像保存到磁盘", nullptr,
      u"Die Fotoleiste ist voll, bitte speichern Sie die Fotos auf dem Computer", nullptr, nullptr,
      nullptr, nullptr}},
    {162, {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
};

std::string Utf8(const char16_t* text) {
    return text != nullptr ? QString::fromUtf16(text).toStdString() : std::string("<none>");
}

std::string Text(std::uint32_t id) {
    const std::optional<QString> text = LoadLocalizedText(id);
    return text ? text->toStdString() : std::string("<none>");
}

const IdTexts& TextsOf(std::uint32_t id) {
    return *std::find_if(std::begin(kStoredTexts), std::end(kStoredTexts),
                         [id](const IdTexts& row) { return row.id == id; });
}

class LocalizedStringLoaderTest : public testing::Test {
protected:
    ScopedEnvironment environment;
    ScopedUILanguage language;
};

TEST_F(LocalizedStringLoaderTest, EveryLanguageAndIdGivesTheStoredTextOrNone) {
    for (int row = 0; row < kLanguages; ++row) {
        environment.SetLocale(kLocaleOfRow[row]);
        CurrentUILanguage = static_cast<LANGID>(UILanguageTable[row].identifier);
        for (const IdTexts& id : kStoredTexts) {
            const char16_t* expected = id.texts[row];
            // A missing block falls back to the neutral choice, English; an empty
            // entry of a stored block gives no string.
            if (expected == nullptr && id.id >= 160 && !kRowHasBlock11[row]) {
                expected = id.texts[0];
            }
            EXPECT_EQ(Text(id.id), Utf8(expected))
                << "language " << std::hex << CurrentUILanguage << std::dec << ", id " << id.id;
        }
    }
}

TEST_F(LocalizedStringLoaderTest, CopiesWithTerminatorAndReturnsTheCount) {
    environment.SetLocale("en_US.UTF-8");
    CurrentUILanguage = 0x0409;
    std::array<char16_t, kLocalizedStringBufferSize> buffer;
    buffer.fill(u'#');
    ASSERT_EQ(LoadLocalizedString(161, buffer.data()), 51);
    EXPECT_EQ(QString::fromUtf16(buffer.data()),
              QStringLiteral("Image list space is full, please save image to disk"));
    EXPECT_EQ(buffer[51], u'\0');
    EXPECT_EQ(buffer[52], u'#');
}

TEST_F(LocalizedStringLoaderTest, NoStringLeavesTheBufferAsItWas) {
    environment.SetLocale("de_DE.UTF-8");
    CurrentUILanguage = 0x0407;
    for (std::uint32_t id : {151u, 130u, 162u, 200u, 0xFFFF0u}) {
        std::array<char16_t, kLocalizedStringBufferSize> buffer;
        buffer.fill(u'#');
        EXPECT_EQ(LoadLocalizedString(id, buffer.data()), 0) << id;
        EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](char16_t c) { return c == u'#'; }))
            << id;
    }
}

TEST_F(LocalizedStringLoaderTest, MissingBlockComesFromTheUsersDefaultLanguage) {
    environment.SetLocale("de_DE.UTF-8");
    CurrentUILanguage = 0x040C;
    EXPECT_EQ(Text(160), Utf8(TextsOf(160).texts[3]));
    EXPECT_EQ(Text(161), Utf8(TextsOf(161).texts[3]));
    // The fallback is per block: French stores block 10, so its empty entries stay empty.
    EXPECT_EQ(Text(156), "<none>");
    EXPECT_EQ(Text(131), "Prendre une image");
}

TEST_F(LocalizedStringLoaderTest, EmptyEntryIsNotFilledFromTheUsersDefaultLanguage) {
    environment.SetLocale("fr_FR.UTF-8");
    CurrentUILanguage = 0x0407;
    EXPECT_EQ(Text(151), "<none>");
    EXPECT_EQ(Text(152), "<none>");
}

TEST_F(LocalizedStringLoaderTest, UsersDefaultIsAskedAtEveryCall) {
    CurrentUILanguage = 0x040C;
    environment.SetLocale("de_DE.UTF-8");
    EXPECT_EQ(Text(160), "Endgültige Bilder zum Speichern");
    environment.SetLocale("zh_CN.UTF-8");
    EXPECT_EQ(Text(160), "要保存的图像");
}

TEST_F(LocalizedStringLoaderTest, LanguageWithoutTablesTakesTheDefaultThenEnglish) {
    CurrentUILanguage = 0x0413;
    environment.SetLocale("de_DE.UTF-8");
    EXPECT_EQ(Text(131), "Scannen");
    environment.SetLocale("pt_BR.UTF-8");
    EXPECT_EQ(Text(131), "Scan");
    EXPECT_EQ(Text(160), "Final images to save");
}

TEST_F(LocalizedStringLoaderTest, IdsWhoseBlockNumberDoesNotFitFail) {
    environment.SetLocale("en_US.UTF-8");
    CurrentUILanguage = 0x0409;
    // Ids near 2^32 must not wrap around to a small block number.
    for (std::uint32_t id : {0xFFFF0u, 0xFFFFFu, 0x100000u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        SetLastError(ERROR_SUCCESS);
        char16_t buffer[kLocalizedStringBufferSize] = {};
        EXPECT_EQ(LoadLocalizedString(id, buffer), 0) << std::hex << id;
        EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND) << std::hex << id;
    }
    SetLastError(ERROR_SUCCESS);
    char16_t buffer[kLocalizedStringBufferSize] = {};
    EXPECT_EQ(LoadLocalizedString(0xFFFEF, buffer), 0);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
}

TEST_F(LocalizedStringLoaderTest, FindStringBlockGivesTheStoredDataInPlace) {
    environment.SetLocale("en_US.UTF-8");
    CurrentUILanguage = 0x0804;
    const char16_t* block = FindStringBlock(9);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block, ProgramStringTables().Find(0x0004, 9));
    EXPECT_EQ(FindStringBlock(9), block);
    EXPECT_EQ(FindStringBlock(12), nullptr);
}

// Block 1 holds ids 0 to 15.
std::vector<char16_t> BlockWithEntries(const std::vector<std::u16string>& entries) {
    std::vector<char16_t> block;
    for (int i = 0; i < kStringsPerBlock; ++i) {
        const std::u16string text = i < static_cast<int>(entries.size()) ? entries[i] : u"";
        block.push_back(static_cast<char16_t>(text.size()));
        block.insert(block.end(), text.begin(), text.end());
    }
    return block;
}

TEST(LoadLocalizedStringFrom, StepsOverEntriesAndCutsLongOnesAt259) {
    const std::u16string longText(300, u'x');
    const std::vector<char16_t> block = BlockWithEntries({u"", u"a", u"bc", longText, u"def"});
    std::vector<std::uint16_t> asked;
    const auto find = [&](std::uint16_t number) {
        asked.push_back(number);
        return block.data();
    };

    std::array<char16_t, kLocalizedStringBufferSize + 1> buffer;
    buffer.fill(u'#');
    EXPECT_EQ(LoadLocalizedStringFrom(find, 3, buffer.data()), 259);
    EXPECT_EQ(std::u16string(buffer.data(), 259), longText.substr(0, 259));
    EXPECT_EQ(buffer[259], u'\0');
    EXPECT_EQ(buffer[260], u'#');

    EXPECT_EQ(LoadLocalizedStringFrom(find, 4, buffer.data()), 3);
    EXPECT_EQ(std::u16string(buffer.data()), u"def");
    EXPECT_EQ(LoadLocalizedStringFrom(find, 2, buffer.data()), 2);
    EXPECT_EQ(std::u16string(buffer.data()), u"bc");
    EXPECT_EQ(LoadLocalizedStringFrom(find, 0, buffer.data()), 0);
    EXPECT_EQ(std::u16string(buffer.data()), u"bc");
    EXPECT_EQ(asked, (std::vector<std::uint16_t>{1, 1, 1, 1}));
}

TEST(LoadLocalizedStringFrom, AsksForBlockIdDividedBy16PlusOne) {
    const std::vector<char16_t> block = BlockWithEntries({});
    std::vector<std::uint16_t> asked;
    const auto find = [&](std::uint16_t number) {
        asked.push_back(number);
        return block.data();
    };
    char16_t buffer[kLocalizedStringBufferSize] = {};
    for (std::uint32_t id : {0u, 15u, 16u, 131u, 160u, 0xFFFEFu}) {
        LoadLocalizedStringFrom(find, id, buffer);
    }
    EXPECT_EQ(asked, (std::vector<std::uint16_t>{1, 1, 2, 9, 11, 0xFFFF}));
}

// Which stored block the lookup rule picks: each block's entry 0 names the
// language it is stored under.
class FindStringBlockRule : public testing::Test {
protected:
    static constexpr std::uint16_t kJapaneseBlocks[] = {1, 3};
    static constexpr StoredString kJapanese[] = {{0, u"ja"}, {32, u"ja"}};
    static constexpr std::uint16_t kGermanBlocks[] = {1, 2};
    static constexpr StoredString kGerman[] = {{0, u"de"}, {16, u"de"}};
    static constexpr std::uint16_t kGermanyBlocks[] = {1};
    static constexpr StoredString kGermany[] = {{0, u"de-DE"}};
    static constexpr std::uint16_t kNeutralBlocks[] = {4};
    static constexpr StoredString kNeutral[] = {{48, u"neutral"}};
    static constexpr std::uint16_t kEnglishBlocks[] = {1, 2};
    static constexpr StoredString kEnglish[] = {{0, u"en"}, {16, u"en"}};
    static constexpr LanguageStrings kLanguages[] = {
        {0x0011, kJapaneseBlocks, kJapanese}, {0x0007, kGermanBlocks, kGerman},
        {0x0407, kGermanyBlocks, kGermany},   {0x0000, kNeutralBlocks, kNeutral},
        {0x0409, kEnglishBlocks, kEnglish},
    };

    std::string Pick(LANGID current, LANGID userDefault, std::uint16_t blockNumber) const {
        const char16_t* block = FindStringBlockIn(store, current, userDefault, blockNumber);
        return block != nullptr ? Utf8(std::u16string(block + 1, block[0]).c_str()) : "<none>";
    }

    StringBlockStore store{kLanguages};
};

TEST_F(FindStringBlockRule, PicksByTheMatchingRuleAndFallbacks) {
    struct Case {
        LANGID current;
        LANGID userDefault;
        std::uint16_t block;
        const char* expected;
    };
    const Case cases[] = {
        {0x0407, 0x0407, 1, "de-DE"},   // exact identifier first
        {0x0807, 0x0807, 1, "de"},      // same primary language, neutral sublanguage
        {0x0407, 0x0407, 2, "de"},      // exact one lacks the block
        {0x0413, 0x0413, 4, "neutral"}, // stored as language-neutral
        {0x0411, 0x0407, 1, "ja"},      // the current language before the default
        {0x040C, 0x0407, 2, "de"},      // the user's default language
        {0x040C, 0x040C, 2, "en"},      // language-neutral request: 0x0409 first
        {0x040C, 0x0407, 3, "ja"},      // then any language that stores it
        {0x0409, 0x0409, 5, "<none>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Pick(c.current, c.userDefault, c.block), c.expected)
            << std::hex << c.current << " " << c.userDefault << " block " << c.block;
    }
}

} // namespace
