#include "app/UILanguage.h"

#include "platform/ConfigStore.h"
#include "platform/UserLanguage.h"

#include <QString>

LANGID CurrentUILanguage = GetUserDefaultLangID();

const UILanguageRow UILanguageTable[8] = {
    {u"English", 0x0409}, {u"Chinese", 0x0804}, {u"Russian", 0x0419},        {u"German", 0x0407},
    {u"French", 0x040C},  {u"Italian", 0x0410}, {u"Spanish(Spain)", 0x040A}, {u"Japanese", 0x0411},
};

void ChooseUILanguage(const ConfigFiles& files) {
    const auto value = ReadConfigDword(files, QStringLiteral("Config/UILanguage"));
    if (value && *value != kNoUILanguageChosen) {
        CurrentUILanguage = static_cast<LANGID>(*value & 0xFFFFu);
    }
}

void ChooseUILanguage() {
    ChooseUILanguage(DefaultConfigFiles());
}
