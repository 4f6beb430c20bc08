// The library's start, its texts, fonts, the logo and the placement of its windows.
#include "creditpane.h"
#include "creditpane_int.h"

HINSTANCE g_creditpaneModule;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_creditpaneModule = module;
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded while the process goes on: the class must not outlive its window procedure.
        Creditpane_RegisterSplash(false);
    }
    return TRUE;
}

std::wstring Creditpane_String(UINT id) {
    const wchar_t *text = nullptr;
    // With a zero size the call hands out a pointer to the resource's own text.
    int n = LoadStringW(g_creditpaneModule, id, (LPWSTR)&text, 0);
    return n > 0 && text ? std::wstring(text, n) : std::wstring();
}

HFONT Creditpane_Font(int pixelHeight, bool bold) {
    return CreateFontW(-pixelHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       L"MS UI Gothic");
}

void Creditpane_DrawLogo(HDC dc, const RECT &rc) {
    int size = rc.right - rc.left;
    HBRUSH fill = CreateSolidBrush(RGB(0x2F, 0x6F, 0xCF));
    HPEN edge = CreatePen(PS_SOLID, 1, RGB(0x1F, 0x3F, 0x8F));
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    HGDIOBJ oldPen = SelectObject(dc, edge);
    Ellipse(dc, rc.left, rc.top, rc.right, rc.bottom);
    HFONT font = Creditpane_Font(size * 2 / 3, true);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    RECT text = rc;
    DrawTextW(dc, L"V", 1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(font);
    DeleteObject(edge);
    DeleteObject(fill);
}

POINT Creditpane_CentreOver(HWND owner, int width, int height) {
    RECT area;
    if (owner && IsWindowVisible(owner) && GetWindowRect(owner, &area) && area.right > area.left &&
        area.bottom > area.top) {
        // over the owner
    } else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
        SetRect(&area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    }
    POINT p = {area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
    return p;
}
