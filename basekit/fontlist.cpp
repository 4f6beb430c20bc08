// Font lists: a list box or combo box filled with the TrueType faces of a charset.
#include <string.h>

#include "ui_int.h"

namespace {

enum { kModernSwiss = 0x01, kModernRoman = 0x02, kVertical = 0x10 };

struct Filling {
    HWND box;
    int isList;
    const char *select;   // face to select, or null
    BYTE charset;         // 255: any
    DWORD flags;
    int selected;         // index selected, -1 for none
};

// Faces that a Japanese list always shows, whatever charset the system reports for them.
const char *const kJapaneseFaces[] = {"MS Gothic", "MS PGothic", "MS UI Gothic", "MS PMincho",
                                      "MS Mincho"};

int IsJapaneseFace(const char *face)
{
    for (const char *f : kJapaneseFaces)
        if (strcmp(face, f) == 0) return 1;
    return 0;
}

int PassesFamily(BYTE pitchAndFamily, DWORD flags)
{
    if (!(flags & (kModernSwiss | kModernRoman))) return 1;
    BYTE family = pitchAndFamily & 0xF0;
    if ((flags & kModernSwiss) && (family == FF_MODERN || family == FF_SWISS)) return 1;
    if ((flags & kModernRoman) && (family == FF_MODERN || family == FF_ROMAN)) return 1;
    return 0;
}

void Add(Filling *f, const char *face)
{
    // A family can be enumerated once per charset it covers: list each face once.
    UINT find = f->isList ? LB_FINDSTRINGEXACT : CB_FINDSTRINGEXACT;
    LRESULT there = SendMessageA(f->box, find, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face));
    if (there >= 0) {
        char existing[LF_FACESIZE + 1] = "";
        if (SendMessageA(f->box, f->isList ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, there, 0) <= LF_FACESIZE)
            SendMessageA(f->box, f->isList ? LB_GETTEXT : CB_GETLBTEXT, there, reinterpret_cast<LPARAM>(existing));
        if (strcmp(existing, face) == 0) return;
    }
    UINT add = f->isList ? LB_ADDSTRING : CB_ADDSTRING;
    SendMessageA(f->box, add, 0, reinterpret_cast<LPARAM>(face));
    if (f->select && strcmp(face, f->select) == 0) {
        LRESULT at = SendMessageA(f->box, find, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face));
        if (at >= 0) {
            SendMessageA(f->box, f->isList ? LB_SETCURSEL : CB_SETCURSEL, at, 0);
            f->selected = static_cast<int>(at);
        }
    }
}

// One face per family and charset, for the charsets with their own enumeration.
int CALLBACK ByCharset(const LOGFONTA *font, const TEXTMETRICA *, DWORD type, LPARAM param)
{
    Filling *f = reinterpret_cast<Filling *>(param);
    if (!(type & TRUETYPE_FONTTYPE) || font->lfCharSet != f->charset) return 1;
    if (font->lfFaceName[0] == '@' && !(f->flags & kVertical)) return 1;
    Add(f, font->lfFaceName);
    return 1;
}

// One face per family, for all other charsets.
int CALLBACK ByFamily(const LOGFONTA *font, const TEXTMETRICA *, DWORD type, LPARAM param)
{
    Filling *f = reinterpret_cast<Filling *>(param);
    if (!(type & TRUETYPE_FONTTYPE)) return 1;
    if (font->lfFaceName[0] == '@' && !(f->flags & kVertical)) return 1;
    if (!PassesFamily(font->lfPitchAndFamily, f->flags)) return 1;
    int charsetOk = f->charset == 255 || font->lfCharSet == f->charset ||
                    (f->charset == SHIFTJIS_CHARSET && IsJapaneseFace(font->lfFaceName));
    if (charsetOk) Add(f, font->lfFaceName);
    return 1;
}

} // namespace

extern "C" int WINAPI Basekit_FillFontList(HWND box, const char *face, int charset, DWORD flags)
{
    char name[32];
    if (!IsWindow(box)) return -1;
    Filling f = {box, GetClassNameA(box, name, sizeof name) && lstrcmpiA(name, "LISTBOX") == 0,
                 face, static_cast<BYTE>(charset), flags, -1};
    SendMessageA(box, f.isList ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(nullptr);
    if (charset == HANGEUL_CHARSET || charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET) {
        LOGFONTA want = {};
        want.lfCharSet = static_cast<BYTE>(charset);
        EnumFontFamiliesExA(dc, &want, reinterpret_cast<FONTENUMPROCA>(ByCharset),
                            reinterpret_cast<LPARAM>(&f), 0);
    } else {
        EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(ByFamily),
                          reinterpret_cast<LPARAM>(&f));
    }
    ReleaseDC(nullptr, dc);
    if (f.selected < 0) return -1;
    // Sorted boxes move the selection as later faces come in: ask where it ended up.
    LRESULT selected = SendMessageA(box, f.isList ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
    if (selected < 0) return -1;
    return static_cast<int>(SendMessageA(box, f.isList ? LB_SETTOPINDEX : CB_SETTOPINDEX, selected, 0));
}

extern "C" int WINAPI Basekit_FillFontListAll(HWND box, int charset, DWORD flags)
{
    return Basekit_FillFontList(box, nullptr, charset, flags);
}
