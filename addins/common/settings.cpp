// The add-in settings record kept in the add-in's own key of the settings layer.
#include "addin_common.h"
#include <string.h>
#include "basekit.h"

namespace {

const int kWebbridgeEnables[] = {108, ADDIN_IDC_NEW_DOCUMENT, ADDIN_IDC_POPUP, 0};

struct FlagField {
    const char *name;
    BYTE PluginSettings::*field;
    bool wholePageOnly;
};
const FlagField kFlags[] = {
    {"ShowTranslator", &PluginSettings::ShowTranslator, false},
    {"ShowDictionary", &PluginSettings::ShowDictionary, false},
    {"PopupWindow", &PluginSettings::PopupWindow, false},
    {"WholePageTran", &PluginSettings::WholePageTran, true},
};

struct NameField {
    const char *name;
    char (PluginSettings::*field)[256];
};
const NameField kNames[] = {
    {"DefaultDictionaryName", &PluginSettings::DefaultDictionaryName},
    {"DefaultTranslatorName", &PluginSettings::DefaultTranslatorName},
};

}  // namespace

const AddinProfile kWebbridgeProfile = {
    "Software\\Halvenstone\\Velosuite\\Plugin\\Webbridge", "VLIEPLUGIN", 0, false, 108, 109,
    kWebbridgeEnables, false, 110, false,
};

void PluginSettings_Defaults(const AddinProfile &profile, PluginSettings *s) {
    memset(s, 0, sizeof *s);
    s->ShowTranslator = 1;
    s->ShowDictionary = 1;
    s->PopupWindow = profile.defaultPopup;
    s->WholePageTran = 1;
}

bool PluginSettings_Load(const AddinProfile &profile, PluginSettings *s) {
    SettingsKey key = Basekit_SettingsOpenKey(profile.key);
    if (!key) return false;
    for (const FlagField &f : kFlags) {
        if (f.wholePageOnly && !profile.wholePage) continue;
        DWORD type = 0;
        BYTE buf[260] = {};
        if (Basekit_SettingsQueryValue(key, f.name, &type, buf) == 0 && type == REG_DWORD) {
            DWORD v;
            memcpy(&v, buf, 4);
            s->*f.field = v ? 1 : 0;
        }
    }
    for (const NameField &f : kNames) {
        DWORD type = 0;
        char buf[260] = {};
        if (Basekit_SettingsQueryValue(key, f.name, &type, buf) == 0 && type == REG_SZ)
            lstrcpynA(s->*f.field, buf, 256);
    }
    Basekit_SettingsCloseKey(key);
    return true;
}

bool PluginSettings_Save(const AddinProfile &profile, const PluginSettings &s) {
    bool ok = true;
    for (const FlagField &f : kFlags) {
        if (f.wholePageOnly && !profile.wholePage) continue;
        ok = Basekit_SettingsWriteDword(profile.key, f.name, s.*f.field ? 1 : 0) && ok;
    }
    for (const NameField &f : kNames) {
        char text[256];
        lstrcpynA(text, s.*f.field, 256);
        ok = Basekit_SettingsWriteString(profile.key, f.name, text) && ok;
    }
    return ok;
}

DWORD Addin_PackPair(int low, int high) { return ((DWORD)(WORD)(SHORT)high << 16) | (DWORD)(WORD)(SHORT)low; }

void Addin_UnpackPair(DWORD value, int *low, int *high) {
    *low = (SHORT)(WORD)(value & 0xFFFF);
    *high = (SHORT)(WORD)(value >> 16);
}
