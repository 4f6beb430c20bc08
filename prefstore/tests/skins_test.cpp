// Pop-up skins: number lists, the default skin shipped in Skins beside the programs, the
// composed bitmap and window region, ownership of the region, a skin without a picture, the
// fallback of a stored skin that is gone, and the listing.  Keeps a picture of the skinned
// window (skin.bmp) in the working folder.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string>
#include <vector>

#include "basekit.h"
#include "prefstore.h"
#include "support/testkit_files.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace {

std::string Here(const char *name)
{
    char path[MAX_PATH];
    GetFullPathNameA(name, MAX_PATH, path, nullptr);
    return path;
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\') + 1);
}

std::string StoredSkin()
{
    PopupWindowOptions o;
    Prefstore_LoadPopupWindow(&o, nullptr);
    return o.SkinFolderName;
}

void StoreSkin(const std::string &path)
{
    PopupWindowOptions o;
    Prefstore_LoadPopupWindow(&o, nullptr);
    lstrcpynA(o.SkinFolderName, path.c_str(), sizeof o.SkinFolderName);
    ASSERT_TRUE(Prefstore_SavePopupWindow(&o, nullptr));
}

const COLORREF kMagenta = RGB(255, 0, 255);

// One window for the whole suite: hiding or destroying a shown window costs the display a wait
// of its own each time.  Each test starts with the window unshaped.
class Skins : public ::testing::Test {
protected:
    SkinDescription skin = {};
    static HWND window;
    static void SetUpTestSuite()
    {
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20,
                                 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(window); }
    void SetUp() override
    {
        ASSERT_NE(nullptr, window);
        SetWindowRgn(window, nullptr, FALSE);
        DeleteFileA("settings.ini");
        Basekit_SettingsSetFile(Here("settings.ini").c_str());
    }
    void TearDown() override
    {
        Prefstore_FreeSkin(&skin);
        Basekit_SettingsSetFile(nullptr);
        DeleteFileA("settings.ini");
    }
};
HWND Skins::window;

TEST_F(Skins, NumberListsOfASkinFile)
{
    std::string file = Here("lists.tsk");
    Testkit_WriteFile(file, "[SkinInfo]\r\nSigned=-3,4\r\nGap=1,,2\r\nEmpty=\r\nHex=0x10,5\r\n"
                    "Spaces= 7 ; 8 x 9,10,11\r\nNoSign=5,-6\r\n[Other]\r\nHex=1,2,3,4\r\n");
    struct {
        const char *key;
        RECT expect;
    } cases[] = {
        {"Signed", {-3, 4, 93, 94}}, {"Gap", {1, 2, 93, 94}},     {"Empty", {0, 0, 0, 0}},
        {"Missing", {0, 0, 0, 0}},   {"Hex", {16, 5, 93, 94}},    {"Spaces", {7, 8, 9, 10}},
        {"NoSign", {5, 6, 93, 94}},
    };
    for (auto &c : cases) {
        RECT r = {91, 92, 93, 94};
        EXPECT_EQ(1, Prefstore_ReadSkinRect(nullptr, c.key, &r, file.c_str()));
        EXPECT_TRUE(EqualRect(&c.expect, &r)) << c.key << ": " << r.left << "," << r.top << ","
                                              << r.right << "," << r.bottom;
    }
    RECT r = {};
    Prefstore_ReadSkinRect("Other", "Hex", &r, file.c_str());
    EXPECT_EQ(4, r.bottom);
    DeleteFileA(file.c_str());
}

TEST_F(Skins, DefaultSkinIsLoadedAndStored)
{
    ASSERT_EQ("", StoredSkin());
    ASSERT_EQ(1, Prefstore_LoadSkin(&skin, nullptr));
    EXPECT_EQ(ProgramFolder() + "Skins\\default.tsk", StoredSkin());
    EXPECT_EQ(200, skin.FullSize.cx);
    EXPECT_EQ(150, skin.FullSize.cy);
    EXPECT_EQ(16, skin.TitleSize.cx);
    EXPECT_EQ(18, skin.ViewMargins.left);
    EXPECT_EQ(22, skin.ViewMargins.top);
    EXPECT_EQ(12, skin.ViewMargins.right);
    EXPECT_EQ(12, skin.ViewMargins.bottom);
    EXPECT_EQ(kMagenta, skin.KeyColour);
    EXPECT_NE(nullptr, skin.ButtonBrush);

    // A stored skin that no longer exists falls back to the default and stores it again.
    Prefstore_FreeSkin(&skin);
    StoreSkin(Here("gone.tsk"));
    ASSERT_EQ(1, Prefstore_LoadSkin(&skin, ""));
    EXPECT_EQ(ProgramFolder() + "Skins\\default.tsk", StoredSkin());
}

// The colours of the composed window bitmap, read once: Composed(x, y).
struct ComposedPixels {
    std::vector<DWORD> pixels;
    int width = 0;
    explicit ComposedPixels(const SkinDescription &s)
    {
        BITMAP info = {};
        GetObjectA(s.WindowBitmap, sizeof info, &info);
        width = info.bmWidth;
        pixels.resize(static_cast<size_t>(info.bmWidth) * info.bmHeight);
        BITMAPINFOHEADER h = {sizeof h, info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC dc = GetDC(nullptr);
        GetDIBits(dc, s.WindowBitmap, 0, info.bmHeight, pixels.data(),
                  reinterpret_cast<BITMAPINFO *>(&h), DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
    }
    COLORREF operator()(int x, int y) const
    {
        DWORD p = pixels[static_cast<size_t>(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

TEST_F(Skins, RegionLeavesOutTheKeyColourOfTitleCornerAndGrip)
{
    ASSERT_EQ(1, Prefstore_LoadSkin(&skin, nullptr));
    ASSERT_EQ(1, Prefstore_ApplySkin(window, &skin, nullptr));
    ComposedPixels Composed(skin);
    EXPECT_EQ(200, skin.CurrentSize.cx);
    EXPECT_EQ(150, skin.CurrentSize.cy);
    RECT box;
    EXPECT_NE(ERROR, GetRgnBox(skin.WindowRegion, &box));
    RECT full = {0, 0, 200, 150};
    EXPECT_TRUE(EqualRect(&full, &box));
    // Every key-coloured pixel of the title strip, corner and grip is outside, all others inside.
    struct {
        int x, y, w, h;
    } parts[] = {{0, 0, 16, 150}, {180, 0, 20, 20}, {180, 130, 20, 20}};
    int cut = 0;
    for (auto &p : parts)
        for (int y = p.y; y < p.y + p.h; ++y)
            for (int x = p.x; x < p.x + p.w; ++x) {
                bool key = Composed(x, y) == kMagenta;
                cut += key;
                ASSERT_EQ(!key, PtInRegion(skin.WindowRegion, x, y) != 0) << x << "," << y;
            }
    EXPECT_GT(cut, 30);
    EXPECT_TRUE(PtInRegion(skin.WindowRegion, 100, 75));
    // The window holds an equal region of its own, which outlives our copy.
    HRGN held = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(window, held));
    EXPECT_TRUE(EqualRgn(held, skin.WindowRegion));
    Prefstore_FreeSkin(&skin);
    EXPECT_EQ(nullptr, skin.WindowRegion);
    HRGN again = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, GetWindowRgn(window, again));
    EXPECT_TRUE(EqualRgn(held, again));
    DeleteObject(held);
    DeleteObject(again);
}

// Paints the window with the composed bitmap of the skin kept in its user data.
WNDPROC g_staticProc;
LRESULT CALLBACK PaintSkin(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        const SkinDescription *s = reinterpret_cast<SkinDescription *>(GetWindowLongPtrA(w, GWLP_USERDATA));
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, s->WindowBitmap);
        BitBlt(dc, 0, 0, s->CurrentSize.cx, s->CurrentSize.cy, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        EndPaint(w, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return CallWindowProcA(g_staticProc, w, message, wParam, lParam);
}

TEST_F(Skins, ComposesTheWindowBitmapForAnotherSize)
{
    ASSERT_EQ(1, Prefstore_LoadSkin(&skin, nullptr));
    SIZE size = {300, 200};
    ASSERT_EQ(1, Prefstore_ApplySkin(window, &skin, &size));
    ComposedPixels Composed(skin);
    EXPECT_EQ(300, skin.CurrentSize.cx);
    BITMAP info = {};
    GetObjectA(skin.WindowBitmap, sizeof info, &info);
    EXPECT_EQ(300, info.bmWidth);
    EXPECT_EQ(200, info.bmHeight);
    COLORREF caption = RGB(72, 112, 176), title = RGB(48, 80, 144), view = RGB(255, 255, 255);
    EXPECT_EQ(caption, Composed(250, 5));     // top caption stretched
    EXPECT_EQ(caption, Composed(290, 150));   // right caption moved and stretched
    EXPECT_EQ(caption, Composed(200, 195));   // bottom caption
    EXPECT_EQ(title, Composed(3, 190));       // title strip stretched down
    EXPECT_EQ(view, Composed(250, 150));      // view frame stretched
    EXPECT_EQ(kMagenta, Composed(299, 0));    // corner copied unscaled
    EXPECT_EQ(kMagenta, Composed(299, 199));  // grip copied unscaled
    EXPECT_FALSE(PtInRegion(skin.WindowRegion, 299, 199));
    EXPECT_TRUE(PtInRegion(skin.WindowRegion, 290, 100));

    // A picture of the skinned window as the display shows it, painted with the composed bitmap.
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&skin));
    g_staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintSkin)));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Testkit_Pump();
    GdiFlush();
    HDC screen = GetDC(nullptr);
    Testkit_SavePicture(screen, 20, 20, 300, 200, "skin.bmp");
    ReleaseDC(nullptr, screen);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_staticProc));
}

TEST_F(Skins, SkinWithoutPictureLeavesTheWindowUnshaped)
{
    std::string file = Here("nopicture.tsk");
    Testkit_WriteFile(file, "[SkinInfo]\r\nTitle=Bare\r\nImage=missing.bmp\r\nTitleRect=0,0,15,99\r\n"
                    "GripRect=80,80,99,99\r\n");
    StoreSkin(file);
    SetWindowRgn(window, CreateEllipticRgn(0, 0, 50, 50), TRUE);
    EXPECT_EQ(0, Prefstore_LoadSkin(&skin, nullptr));
    EXPECT_EQ(nullptr, skin.SkinBitmap);
    EXPECT_EQ(100, skin.FullSize.cx);
    EXPECT_EQ(0, Prefstore_ApplySkin(window, &skin, nullptr));
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(window, probe));   // no region: the whole window shows
    DeleteObject(probe);
    EXPECT_TRUE(IsWindowVisible(window));
    DeleteFileA(file.c_str());
}

struct Listed {
    std::vector<std::string> paths, titles;
};

int CALLBACK Collect(const char *path, const char *title, LPARAM user)
{
    Listed *l = reinterpret_cast<Listed *>(user);
    l->paths.push_back(path);
    l->titles.push_back(title);
    return 0;   // the walk goes on whatever the answer
}

TEST_F(Skins, ListingWalksSubFoldersAndSkipsUntitledFiles)
{
    std::string root = ProgramFolder() + "Skins\\listing-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\deeper").c_str(), nullptr);
    Testkit_WriteFile(root + "\\alpha.tsk", "[SkinInfo]\r\nTitle=Alpha\r\n");
    Testkit_WriteFile(root + "\\untitled.tsk", "[SkinInfo]\r\nImage=x.bmp\r\n");
    // Under code page 932 an empty Title_Jpn falls back to Title; a given one is taken.
    Testkit_WriteFile(root + "\\deeper\\gamma.tsk", "[SkinInfo]\r\nTitle=Gamma\r\nTitle_Jpn=\r\n");
    Testkit_WriteFile(root + "\\deeper\\delta.tsk",
              "[SkinInfo]\r\nTitle=Delta\r\nTitle_Jpn=\x95\x57\x8f\x80\r\n");   // "standard" in Shift-JIS
    char before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    Listed listed;
    EXPECT_EQ(1, Prefstore_EnumSkins(Collect, reinterpret_cast<LPARAM>(&listed)));
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    auto titleOf = [&](const std::string &path) -> std::string {
        for (size_t i = 0; i < listed.paths.size(); ++i)
            if (lstrcmpiA(listed.paths[i].c_str(), path.c_str()) == 0) return listed.titles[i];
        return "(not listed)";
    };
    EXPECT_EQ("Standard", titleOf(ProgramFolder() + "Skins\\default.tsk"));
    EXPECT_EQ("Alpha", titleOf(root + "\\alpha.tsk"));
    EXPECT_EQ("(not listed)", titleOf(root + "\\untitled.tsk"));
    if (GetACP() == 932) {
        EXPECT_EQ("Gamma", titleOf(root + "\\deeper\\gamma.tsk"));
        EXPECT_EQ("\x95\x57\x8f\x80", titleOf(root + "\\deeper\\delta.tsk"));
    }
    Basekit_DeleteTree(root.c_str());
    RemoveDirectoryA(root.c_str());
}

TEST_F(Skins, SampleImageIsDrawnStretched)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, 50, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, section);
    RECT r = {0, 0, 50, 40};
    EXPECT_EQ(1, Prefstore_LoadSkinSample(dc, &r, (ProgramFolder() + "Skins\\default.tsk").c_str()));
    EXPECT_EQ(1, Prefstore_LoadSkinSample(dc, &r, nullptr));
    GdiFlush();
    uint32_t centre = static_cast<uint32_t *>(bits)[20 * 50 + 25] & 0xFFFFFF;
    EXPECT_EQ(0xFFFFFFu, centre);   // the view's white
    uint32_t left = static_cast<uint32_t *>(bits)[20 * 50 + 1] & 0xFFFFFF;
    EXPECT_NE(0u, left);
    EXPECT_EQ(0, Prefstore_LoadSkinSample(dc, &r, Here("none.tsk").c_str()));
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
}

} // namespace
