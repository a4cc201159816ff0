#include "resources/StringTables.h"

#include <stdexcept>
#include <string>

StringBlockStore::StringBlockStore(std::span<const LanguageStrings> languages) {
    for (const LanguageStrings& table : languages) {
        languages_.push_back(table.language);
        std::map<std::uint16_t, std::vector<const char16_t*>> entries;
        for (std::uint16_t block : table.blocks) {
            entries[block].assign(kStringsPerBlock, nullptr);
        }
        for (const StoredString& string : table.strings) {
            const std::uint32_t blockNumber = string.id / kStringsPerBlock + 1;
            const auto block = blockNumber <= 0xFFFF
                                   ? entries.find(static_cast<std::uint16_t>(blockNumber))
                                   : entries.end();
            if (block == entries.end()) {
                throw std::invalid_argument("string id outside the stored blocks");
            }
            const char16_t*& entry = block->second[string.id % kStringsPerBlock];
            if (entry != nullptr) {
                throw std::invalid_argument("string id given twice");
            }
            entry = string.text;
        }
        for (const auto& [blockNumber, texts] : entries) {
            std::vector<char16_t>& data = blocks_[{table.language, blockNumber}];
            for (const char16_t* text : texts) {
                const std::size_t length =
                    text != nullptr ? std::char_traits<char16_t>::length(text) : 0;
                if (length > 0xFFFF) {
                    throw std::invalid_argument("string longer than a count can hold");
                }
                data.push_back(static_cast<char16_t>(length));
                data.insert(data.end(), text, text + length);
            }
        }
    }
}

const char16_t* StringBlockStore::Find(std::uint16_t language, std::uint16_t blockNumber) const {
    const auto block = blocks_.find({language, blockNumber});
    return block != blocks_.end() ? block->second.data() : nullptr;
}

namespace {

// Block 9 holds ids 128 to 143, block 10 ids 144 to 159, block 11 ids 160 to 175.
constexpr std::uint16_t kAllBlocks[] = {9, 10, 11};
// Spanish, French, Italian, Japanese and Russian lack block 11.
constexpr std::uint16_t kBlocksWithoutFinal[] = {9, 10};

constexpr StoredString kEnglish[] = {
    {131, u"Scan"},
    {132, u"Adjust"},
    {133, u"Saturation"},
    {134, u"Brightness"},
    {135, u"Contrast"},
    {136, u"Red"},
    {137, u"Green"},
    {138, u"Blue"},
    {139, u"Default"},
    {140, u"Custom"},
    {141, u"Film Type"},
    {142, u"Slide"},
    {143, u"Negative"},
    {144, u"Black && White"},
    {145, u"Resolution"},
    {146, u"Film size"},
    {147, u"Setting"},
    {148, u"UI Language"},
    {149, u"Save Film in"},
    {150, u"Browse"},
    {151, u"Save image success"},
    {152, u"Save image failed"},
    {153, u"Please connect to scanner"},
    {154, u"Standard"},
    {155, u"High"},
    {156, u"Mirror"},
    {157, u"Rotate"},
    {158, u"Delete"},
    {159, u"Save"},
    {160, u"Final images to save"},
    {161, u"Image list space is full, please save image to disk"},
};

constexpr StoredString kChinese[] = {
    {131, u"拍照"},
    {132, u"效果调整"},
    {133, u"饱和度"},
    {134, u"亮度"},
    {135, u"对比度"},
    {136, u"红"},
    {137, u"绿"},
    {138, u"蓝"},
    {139, u"默认"},
    {140, u"自定义"},
    {141, u"底片类型"},
    {142, u"正片"},
    {143, u"负片"},
    {144, u"黑白"},
    {145, u"分辨率"},
    {146, u"底片规格"},
    {147, u"设置"},
    {148, u"界面语言"},
    {149, u"保存位置"},
    {150, u"浏览图片"},
    {151, u"保存成功"},
    {152, u"保存失败"},
    {153, u"请连接扫描仪"},
    {154, u"标准"},
    {155, u"高质量"},
    {156, u"镜像"},
    {157, u"旋转"},
    {158, u"删除"},
    {159, u"保存"},
    {160, u"要保存的图像"},
    {161, u"图像列表空间已满，请将图像保存到磁盘"},
};

constexpr StoredString kGerman[] = {
    {131, u"Scannen"},
    {132, u"Anpassen"},
    {133, u"Sättigung"},
    {134, u"Helligkeit"},
    {135, u"Kontrast"},
    {136, u"Rot"},
    {137, u"Grün"},
    {138, u"Blau"},
    {139, u"Standardeinstellungen"},
    {140, u"Individuell"},
    {141, u"Filmtyp"},
    {142, u"Dia"},
    {143, u"Negativ"},
    {144, u"Schwarz / Weiß"},
    {145, u"Auflösung"},
    {146, u"Filmgröße"},
    {147, u"Einstellung"},
    {148, u"Oberflächensprache"},
    {149, u"Speicherort"},
    {150, u"Durchsuchen"},
    {153, u"Bitte schließen Sie den Scanner an"},
    {154, u"Standard"},
    {155, u"Hoch"},
    {156, u"Spiegeln"},
    {157, u"Drehen"},
    {158, u"Löschen"},
    {159, u"Speichern"},
    {160, u"Endgültige Bilder zum Speichern"},
    {161, u"Die Fotoleiste ist voll, bitte speichern Sie die Fotos auf dem Computer"},
};

constexpr StoredString kSpanish[] = {
    {131, u"Tomar Imagen"},
    {132, u"Ajustar"},
    {133, u"Saturación"},
    {134, u"Brillo"},
    {135, u"Contraste"},
    {136, u"Rojo"},
    {137, u"Verde"},
    {138, u"Azul"},
    {139, u"Defecto"},
    {140, u"Autodefinición"},
    {141, u"Tipo de Imagen"},
    {142, u"Diapositiva"},
    {143, u"Negativo"},
    {144, u"Blanco Negro"},
    {145, u"Resolución de Imagen"},
    {146, u"Tamaño de la Imagen"},
    {147, u"Configuración de dispositivo"},
    {148, u"Idioma"},
    {149, u"Guardar archivos en"},
    {150, u"Navegación"},
    {151, u"Guardar imagen exitosa"},
    {152, u"Guardar imagen fallida"},
    {153, u"Por favor conecte el escáner de película"},
};

constexpr StoredString kFrench[] = {
    {131, u"Prendre une image"},
    {132, u"Régler"},
    {133, u"Saturation"},
    {134, u"Luminosité"},
    {135, u"Contraste"},
    {136, u"Rouge"},
    {137, u"Vert"},
    {138, u"Bleu"},
    {139, u"Français"},
    {140, u"Autodéfinition"},
    {141, u"Type d'image"},
    {142, u"Glissoire"},
    {143, u"Négatif"},
    {144, u"Noir Blanc"},
    {145, u"Résolution de l'image"},
    {146, u"Taille de l'image"},
    {147, u"Réglages de l'appareil"},
    {148, u"Langage"},
    {149, u"Enregistrer sous"},
    {150, u"Navigation"},
    {151, u"Enregistrer le succès de l'image"},
    {152, u"Échec de l'enregistrement de l'image"},
    {153, u"Veuillez brancher un scanner de film"},
};

constexpr StoredString kItalian[] = {
    {131, u"Prendi Immagine"},
    {132, u"Regolazione"},
    {133, u"Saturazione"},
    {134, u"Luminosità"},
    {135, u"Contrasto"},
    {136, u"Rosso"},
    {137, u"Verde"},
    {138, u"Blu"},
    {139, u"Ripristina Predefiniti"},
    {140, u"Autodefinizione"},
    {141, u"Tipo di Immagine"},
    {142, u"Scivolo"},
    {143, u"Negativo"},
    {144, u"Nero Bianco"},
    {145, u"Risoluzione Dell'immagine"},
    {146, u"Dimensione Dell'immagine"},
    {147, u"Impostazioni del Dispositivo"},
    {148, u"Lingue"},
    {149, u"Posizione di salva"},
    {150, u"Navigazione"},
    {151, u"Salva il successo dell'immagine"},
    {152, u"Salva immagine non riuscita"},
    {153, u"Si prega di collegare lo scanner per pellicole"},
};

constexpr StoredString kJapanese[] = {
    {131, u"撮影"},
    {132, u"調整"},
    {133, u"飽和度"},
    {134, u"輝度"},
    {135, u"対比度"},
    {136, u"赤"},
    {137, u"緑"},
    {138, u"青い"},
    {139, u"デフォルト"},
    {140, u"カスタム"},
    {141, u"画像形式"},
    {142, u"ポジフィルム"},
    {143, u"ネガフィルム"},
    {144, u"黒白"},
    {145, u"解像度"},
    {146, u"フィルムサイズ"},
    {147, u"設置"},
    {148, u"言語"},
    {149, u"保存位置"},
    {150, u"閲覧"},
    {151, u"画像は保存されました"},
    {152, u"画像は保存されません"},
    {153, u"スキャナーを接続してください"},
};

constexpr StoredString kRussian[] = {
    {131, u"захват"},
    {132, u"Настроить"},
    {133, u"Насыщенность"},
    {134, u"Яркость"},
    {135, u"Контраст"},
    {136, u"красный"},
    {137, u"зеленый"},
    {138, u"синий"},
    {139, u"Сбросить"},
    {140, u"Самоопределение"},
    {141, u"тип изображения"},
    {142, u"Позитив"},
    {143, u"негатив"},
    {144, u"Черно-белый"},
    {145, u"Разрешение"},
    {146, u"размер пленки"},
    {147, u"Параметры"},
    {148, u"Язык"},
    {149, u"Сохранить файлы на"},
    {150, u"Просмотреть"},
    {151, u"Сохраните успешно"},
    {152, u"Сохраните провал"},
    {153, u"устройство не подключено"},
};

constexpr LanguageStrings kProgramLanguages[] = {
    {0x0409, kAllBlocks, kEnglish},
    {0x0004, kAllBlocks, kChinese},
    {0x0007, kAllBlocks, kGerman},
    {0x000A, kBlocksWithoutFinal, kSpanish},
    {0x000C, kBlocksWithoutFinal, kFrench},
    {0x0010, kBlocksWithoutFinal, kItalian},
    {0x0011, kBlocksWithoutFinal, kJapanese},
    {0x0019, kBlocksWithoutFinal, kRussian},
};

} // namespace

const StringBlockStore& ProgramStringTables() {
    // Built once and kept to the end of the process, so the block data outlive
    // every caller.
    static const StringBlockStore* const store = new StringBlockStore(kProgramLanguages);
    return *store;
}
