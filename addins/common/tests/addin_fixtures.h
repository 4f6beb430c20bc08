// Shared pieces of the add-ins' tests: a catalogue with the translator driver dictionary (and a
// translator whose library is missing, and three fixture dictionaries) in a settings file of the
// test, and a translation window of the test (the class kind 4 is found by) that keeps what it
// was handed.
#ifndef ADDIN_FIXTURES_H
#define ADDIN_FIXTURES_H

#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "addin_common.h"
#include "basekit.h"
#include "lexidata.h"
#include "support/testkit_catalogue.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"
#include "../../../lexidata/tests/fixtures/dicwriter.h"

namespace addinfix {

// A translation window of this test: the class that kind 4 is found by.
struct Seen {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    std::string file;
};
inline std::vector<Seen> g_seen;

inline LRESULT CALLBACK ReceiverProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == ADDIN_VLM_TRANSLATE_TEXT_FILE || msg == ADDIN_VLM_TRANSLATE_RTF_FILE) {
        const char *name = msg == ADDIN_VLM_TRANSLATE_TEXT_FILE ? ADDIN_TEXT_FILE : ADDIN_RTF_FILE;
        g_seen.push_back({msg, wp, lp, Testkit_ReadFile(Addin_TempPath(name))});
        return 1;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

struct Receiver {
    HWND window = nullptr;
    Receiver() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelomiraV5TranslateWindow";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        g_seen.clear();
    }
    ~Receiver() { DestroyWindow(window); }
};

inline std::string ExeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\'));
}

// A catalogue in a settings file of the working folder: the translator driver dictionary, a
// second translator whose library is missing (marked bad), and three static dictionaries (one
// named as the start of another).
struct Catalogue {
    std::string folder, settings;
    Catalogue() {
        folder = Testkit_Cwd() + "\\catalogue";
        Testkit_RemoveFolder(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        settings = folder + ".ini";
        Testkit_WriteFile(settings, "");
        Basekit_SettingsSetFile(settings.c_str());
        Add(0x3100, ExeFolder() + "\\ddtranslate.dll", "Translator EJ", 0x0400);
        Add(0x3300, folder + "\\missing.dll", "Missing translator", 0x0400);
        AddDictionary(0x3400, "English-Japanese", 0x0100, 0);
        AddDictionary(0x3500, "\x98\x61\x89\x70\x8e\xab\x93\x54", 0x0400, 128);  // waei jiten
        AddDictionary(0x3600, "English", 0x0100, 0);
    }
    ~Catalogue() {
        Basekit_SettingsSetFile(nullptr);
        DeleteFileA(settings.c_str());
        Testkit_RemoveFolder(folder);
    }
    void Add(DWORD fileId, const std::string &file, const char *name, WORD language) {
        Testkit_RegisterDictionary({fileId, name, language, 0, CLR_INVALID}, file);
    }
    void AddDictionary(DWORD fileId, const char *name, WORD language, BYTE charset) {
        ASSERT_TRUE(Testkit_AddDictionary(folder, {fileId, name, language, charset, CLR_INVALID}, {}, {language, 0x0400}));
    }
};

}  // namespace addinfix

#endif
