// Ordering of data items for sorted word lists.
#include "lexidata_int.h"

namespace {

typedef int(WINAPI *CompareProc)(DWORD language, DWORD zero, const char *a, const char *b,
                                 DWORD zero2);

// The language manager's comparison (ordinal 107), taken from its module once the process has
// loaded and started it (the engine does); until then headwords compare in byte order.
CompareProc LanguageCompare() {
    static CompareProc proc;
    if (!proc) {
        HMODULE mod = GetModuleHandleA("Linguakeeper.dll");
        if (mod) proc = (CompareProc)(void *)GetProcAddress(mod, MAKEINTRESOURCEA(107));
    }
    return proc;
}

int Sign3(DWORD a, DWORD b) { return a < b ? -1 : a > b ? 1 : 0; }

int Identity(const VLDataItem *a, const VLDataItem *b) {
    int d = Sign3(a->head.fileId, b->head.fileId);
    return d ? d : Sign3(a->head.subDicNo, b->head.subDicNo);
}

// Main entries before their sub-entries, whatever the direction.
int TieBreak(int dir, const VLDataItem *a, const VLDataItem *b) {
    LONG oa = a->entryLink >> 16, ob = b->entryLink >> 16;
    LONG pa = (LONG)a->head.entryNo, pb = (LONG)b->head.entryNo;
    if (oa > 0 && ob == 0 && pa - oa == pb) return 1;
    if (oa == 0 && ob > 0 && pb - ob == pa) return -1;
    if (oa > 0 && ob > 0 && pa - oa == pb - ob) return oa - ob;
    return dir * (pa < pb ? -1 : pa > pb ? 1 : 0);
}

}  // namespace

extern "C" int WINAPI VLDataItem_Compare(int mode, int descending, const VLDataItem *a,
                                         const VLDataItem *b) {
    int dir = descending ? -1 : 1;
    int d = 0;
    const DWORD gradeA = a->score & 0x0FFF0000, gradeB = b->score & 0x0FFF0000;
    switch (mode) {
    case 0:
        // Classes compare as unsigned values, so classes 8 to 15 do not wrap.
        d = Sign3(a->score & 0xF0000000, b->score & 0xF0000000);
        if (!d) d = Sign3(gradeA, gradeB);
        if (!d) d = b->headwordLen - a->headwordLen;
        break;
    case 1:
        d = b->headwordLen - a->headwordLen;
        if (!d) d = Sign3(gradeA, gradeB);
        break;
    case 2:
        d = Sign3(gradeA, gradeB);
        if (!d) d = (int)(a->score & 0xFF) - (int)(b->score & 0xFF);
        break;
    case 3: {
        d = (int)a->language - (int)b->language;
        if (!d) {
            const char *ha = a->headword ? a->headword : "";
            const char *hb = b->headword ? b->headword : "";
            CompareProc proc = LanguageCompare();
            if (proc)
                d = proc(a->language | gradeA, 0, ha, hb, 0);
            else
                d = strcmp(ha, hb);
        }
        if (!d) d = Identity(a, b);
        break;
    }
    case 4:
        d = CompareFileTime(&a->head.time, &b->head.time);
        break;
    case 5:
        d = Identity(a, b);
        break;
    default:
        break;
    }
    if (d) return d * dir;
    return TieBreak(dir, a, b);
}
