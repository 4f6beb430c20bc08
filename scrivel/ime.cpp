// The input method of the editor: the Active IMM service when the system has it (started lazily
// on each thread that creates an editor, never from the library's load routine), else the
// system's input-method library; composition window placement and composition results.
#include "scrivel_int.h"
#include <objbase.h>
#include <dimm.h>
#include <imm.h>
#include <cstring>
#include "strandkit.h"

namespace {

const CLSID kClsidActiveImm = {0x4955DD33, 0xB159, 0x11D0, {0x8F, 0xCF, 0x00, 0xAA, 0x00, 0x6B, 0xCC, 0x59}};
const IID kIidActiveImmApp = {0x08C0E040, 0x62D1, 0x11D1, {0x93, 0x26, 0x00, 0x60, 0xB0, 0x67, 0xB8, 0x6E}};
const IID kIidPumpOwner = {0xB5CF2CFA, 0x8AEB, 0x11D1, {0x93, 0x64, 0x00, 0x60, 0xB0, 0x67, 0xB8, 0x6E}};

typedef HIMC(WINAPI *GetContextFn)(HWND);
typedef BOOL(WINAPI *ReleaseContextFn)(HWND, HIMC);
typedef BOOL(WINAPI *SetCompositionWindowFn)(HIMC, LPCOMPOSITIONFORM);

INIT_ONCE g_once = INIT_ONCE_STATIC_INIT;
IActiveIMMApp *g_app = nullptr;
IActiveIMMMessagePumpOwner *g_pump = nullptr;
HMODULE g_imm = nullptr;
GetContextFn g_getContext = nullptr;
ReleaseContextFn g_releaseContext = nullptr;
SetCompositionWindowFn g_setCompositionWindow = nullptr;
thread_local int t_started = 0;

bool ActiveImmInstalled() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Active IMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

BOOL CALLBACK InitOnce(PINIT_ONCE, PVOID, PVOID *) {
    if (ActiveImmInstalled()) {
        // The component library is needed on this thread before the object can be made.
        HRESULT init = CoInitialize(nullptr);
        void *app = nullptr;
        void *pump = nullptr;
        if (SUCCEEDED(CoCreateInstance(kClsidActiveImm, nullptr, CLSCTX_INPROC_SERVER, kIidActiveImmApp, &app)) &&
            app) {
            IActiveIMMApp *a = static_cast<IActiveIMMApp *>(app);
            if (SUCCEEDED(a->QueryInterface(kIidPumpOwner, &pump)) && pump) {
                g_app = a;
                g_pump = static_cast<IActiveIMMMessagePumpOwner *>(pump);
                ATOM classes[1];
                WNDCLASSEXA wc = {};
                wc.cbSize = sizeof(wc);
                classes[0] = static_cast<ATOM>(GetClassInfoExA(g_scrivelInstance, "SCRIVEL10", &wc));
                if (classes[0]) g_app->FilterClientWindows(classes, 1);
            } else {
                a->Release();
            }
        }
        if (!g_app && SUCCEEDED(init)) CoUninitialize();
    }
    if (!g_app) {
        g_imm = LoadLibraryA("imm32.dll");
        if (g_imm) {
            g_getContext = reinterpret_cast<GetContextFn>(GetProcAddress(g_imm, "ImmGetContext"));
            g_releaseContext = reinterpret_cast<ReleaseContextFn>(GetProcAddress(g_imm, "ImmReleaseContext"));
            g_setCompositionWindow =
                reinterpret_cast<SetCompositionWindowFn>(GetProcAddress(g_imm, "ImmSetCompositionWindow"));
        }
    }
    return TRUE;
}

int CharsetOfLayout(HKL layout, int *codePage) {
    LANGID lang = LOWORD(reinterpret_cast<UINT_PTR>(layout));
    int cs = 0, cp = 1252;
    switch (PRIMARYLANGID(lang)) {
    case LANG_CHINESE:
        if (SUBLANGID(lang) == 1) cs = 136, cp = 950;
        else cs = 134, cp = 936;
        break;
    case LANG_JAPANESE: cs = 128, cp = 932; break;
    case LANG_KOREAN: cs = 129, cp = 949; break;
    default: break;
    }
    if (codePage) *codePage = cp;
    return cs;
}

}  // namespace

void ScrivelIme_ThreadStart(void) {
    InitOnceExecuteOnce(&g_once, InitOnce, nullptr, nullptr);
    if (g_app && !t_started) {
        // Each thread that makes editors activates the service and starts the pump once.
        CoInitialize(nullptr);
        g_app->Activate(TRUE);
        g_pump->Start();
        t_started = 1;
    }
}

void ScrivelIme_Shutdown(void) {
    // Called when the library is freed (not at process exit): release what was made.
    if (g_pump) g_pump->Release();
    if (g_app) g_app->Release();
    g_pump = nullptr;
    g_app = nullptr;
    if (g_imm) FreeLibrary(g_imm);
    g_imm = nullptr;
}

int ScrivelIme_Active(void) { return g_app != nullptr; }

LRESULT ScrivelIme_DefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_app) {
        LRESULT result = 0;
        if (g_app->OnDefWindowProc(hwnd, msg, wp, lp, &result) == S_OK) return result;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

int ScrivelIme_Translate(const MSG *msg) {
    if (!g_pump || !msg) return 0;
    return g_pump->OnTranslateMessage(msg) == S_OK ? 1 : 0;
}

int ScrivelIme_LayoutCharset(int *codePage) { return CharsetOfLayout(GetKeyboardLayout(0), codePage); }

void ScrivelIme_PlaceWindow(ScrivelWindow *w, int x, int y) {
    if (!g_getContext || !g_setCompositionWindow) return;
    HIMC imc = g_getContext(w->hwnd);
    if (!imc) return;
    COMPOSITIONFORM cf = {};
    cf.dwStyle = CFS_POINT;
    cf.ptCurrentPos.x = x;
    cf.ptCurrentPos.y = y;
    if (reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0)) == 0xE0010412u) {
        cf.ptCurrentPos.x = -50;
        cf.ptCurrentPos.y = -50;
    }
    g_setCompositionWindow(imc, &cf);
    if (g_releaseContext) g_releaseContext(w->hwnd, imc);
}

LRESULT ScrivelIme_OnStartComposition(ScrivelWindow *w, WPARAM wp, LPARAM lp) {
    EditorDocument *doc = w->doc;
    POINT pt = {0, 0};
    if (doc && doc->lineCount > 0) ScrivelLayout_CaretPoint(doc, &w->caret, &pt);
    ScrivelIme_PlaceWindow(w, pt.x, pt.y);
    HIMC imc = ImmGetContext(w->hwnd);
    if (imc && doc) {
        LOGFONTA lf = {};
        int slot = ScrivelDoc_Intern(doc, &w->typing);
        HFONT font = slot >= 0 ? doc->attrs[slot]->font : nullptr;
        if (font && GetObjectA(font, sizeof(lf), &lf)) {
            lf.lfCharSet = static_cast<BYTE>(ScrivelIme_LayoutCharset(nullptr));
            ImmSetCompositionFontA(imc, &lf);
        }
        ImmReleaseContext(w->hwnd, imc);
    }
    return ScrivelIme_DefProc(w->hwnd, WM_IME_STARTCOMPOSITION, wp, lp);
}

int ScrivelIme_InsertResult(ScrivelWindow *w, const char *bytes, int charset) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || !bytes) return 0;
    size_t n = std::strlen(bytes);
    char *text = static_cast<char *>(ScrivelMem_Alloc(n + 8));
    if (!text) return 0;
    wsprintfA(text, "\033F%02x", charset & 0xFF);
    std::memcpy(text + 4, bytes, n + 1);
    int slot = ScrivelDoc_Intern(doc, &w->typing);
    int rc = ScrivelEdit_InsertTagged(w, text, slot >= 0 ? slot : 0, SCRIVEL_UNDO_PASTE);
    ScrivelMem_Free(text);
    return rc;
}

LRESULT ScrivelIme_OnComposition(ScrivelWindow *w, WPARAM wp, LPARAM lp) {
    bool ro = (w->style & SCRIVEL_WS_READONLY) != 0;
    if (ro) return ScrivelIme_DefProc(w->hwnd, WM_IME_COMPOSITION, wp, lp);
    HIMC imc = ImmGetContext(w->hwnd);
    int fontCharset = w->typing.charset;
    LOGFONTA lf;
    if (imc && ImmGetCompositionFontA(imc, &lf)) fontCharset = lf.lfCharSet;
    LRESULT result = 0;
    bool handled = false;
    if (lp & GCS_RESULTSTR) {
        handled = true;
        char *bytes = nullptr;
        int charset = fontCharset;
        LONG wbytes = imc ? ImmGetCompositionStringW(imc, GCS_RESULTSTR, nullptr, 0) : 0;
        if (wbytes > 0) {
            WCHAR *wide = static_cast<WCHAR *>(ScrivelMem_Alloc(wbytes + sizeof(WCHAR)));
            if (wide) {
                ImmGetCompositionStringW(imc, GCS_RESULTSTR, wide, wbytes);
                int count = wbytes / static_cast<int>(sizeof(WCHAR));
                int n = Strandkit_WideToMultiByte(charset, wide, count, nullptr, 0);
                if (n > 0) {
                    bytes = static_cast<char *>(ScrivelMem_Alloc(n + 1));
                    if (bytes) {
                        Strandkit_WideToMultiByte(charset, wide, count, bytes, n);
                        bytes[n] = 0;
                    }
                }
                ScrivelMem_Free(wide);
            }
        } else if (imc) {
            LONG abytes = ImmGetCompositionStringA(imc, GCS_RESULTSTR, nullptr, 0);
            if (abytes > 0) {
                bytes = static_cast<char *>(ScrivelMem_Alloc(abytes + 1));
                if (bytes) {
                    ImmGetCompositionStringA(imc, GCS_RESULTSTR, bytes, abytes);
                    bytes[abytes] = 0;
                }
                charset = ScrivelIme_LayoutCharset(nullptr);
            }
        }
        if (bytes && bytes[0]) ScrivelIme_InsertResult(w, bytes, charset);
        ScrivelMem_Free(bytes);
    } else if (lp == 0x6018) {
        // In-place composition of one double-byte character: replace the one shown so far.
        handled = true;
        if (w->sel.present) ScrivelEdit_Backspace(w);
        char bytes[3] = {static_cast<char>((wp >> 8) & 0xFF), static_cast<char>(wp & 0xFF), 0};
        ScrivelEdit_InsertChar(w, bytes, fontCharset);
        ScrivelCaret_Key(w, VK_LEFT, 0, 0);
        ScrivelCaret_Key(w, VK_RIGHT, 1, 0);
    }
    if (imc) ImmReleaseContext(w->hwnd, imc);
    if (handled) return result;
    return ScrivelIme_DefProc(w->hwnd, WM_IME_COMPOSITION, wp, lp);
}
