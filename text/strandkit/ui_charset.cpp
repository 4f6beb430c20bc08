// The UI charset: the charset of the system's default GUI font, read once and kept for the process.
#include "strandkit_int.h"

namespace {
// -1 until read; reading twice at once is harmless (both read the same value).
volatile LONG g_uiCharset = -1;
}  // namespace

UINT StrandkitInt_UiCharset(void) {
    LONG cs = g_uiCharset;
    if (cs < 0) {
        LOGFONTA lf;
        cs = 0;
        if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf) == sizeof lf) cs = lf.lfCharSet;
        InterlockedExchange(&g_uiCharset, cs);
    }
    return static_cast<UINT>(cs);
}
