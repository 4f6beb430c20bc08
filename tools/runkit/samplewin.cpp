// samplewin: a window with sentences to point at, for the run command on a display of its own.
//
//   samplewin OUTFILE
//
// Shows one window with three rows: an edit control with an English sentence, and two panes that
// draw their own text, a German and a Japanese sentence (the capture reads the first from the
// control and the others from what the panes draw).  Writes to OUTFILE one line per row with the
// screen point of its inflected word, "en|de|ja X Y", then "ready"; afterwards, while it runs,
// a line "popup L T R B" whenever a pop-up viewer comes up or moves (written after it painted), and
// "popup none" when none is shown.  Ends when its window is closed.
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const char kClass[] = "VelosuiteSampleWindow";
const char kPaneClass[] = "VelosuiteSamplePane";
const char kViewerClass[] = "VelomiraV5PopupViewer";
const UINT_PTR kWatchTimer = 1;
const int kRowHeight = 44, kWidth = 620, kMargin = 12, kFontHeight = 22;

// The English row's sentence and the word in it ("houses", base form "house").
const char kEnglish[] = "The children were looking at the old houses.";
const char kEnglishWord[] = "houses";

struct Row {
    const char *name;
    const wchar_t *text;   // the sentence as drawn
    int wordStart;         // index of the inflected word's first character in text
    const char *face;
    BYTE charset;
};

// German: "Die Kinder spielten gestern im Garten." (the word "spielten", base form "spielen").
// Japanese: "watashi wa maiasa pan o tabemashita." in kanji and kana (the word "tabemashita",
// base form "taberu").
const Row kRows[] = {
    {"de", L"Die Kinder spielten gestern im Garten.", 11, "Tahoma", ANSI_CHARSET},
    {"ja", L"\x79c1\x306f\x6bce\x671d\x30d1\x30f3\x3092\x98df\x3079\x307e\x3057\x305f\x3002", 7, "MS Gothic",
     SHIFTJIS_CHARSET},
};

// Per-window state of a pane: its row and font.
struct Pane {
    const Row *row;
    HFONT font;
};

// Per-window state of the main window.
struct Sample {
    const char *outFile;
    HFONT font;
    HWND edit;
    HWND panes[2];
    RECT lastPopup;
    bool popupShown;
    bool noted;
};

HFONT MakeFont(const char *face, BYTE charset)
{
    return CreateFontA(-kFontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

void Append(const char *path, const char *line)
{
    FILE *f = fopen(path, "ab");  // lines end in a plain line feed, for the shell that reads them
    if (!f) return;
    fputs(line, f);
    fputs("\n", f);
    fclose(f);
}

void NotePoint(const Sample *s, const char *name, POINT p)
{
    char line[64];
    snprintf(line, sizeof line, "%s %ld %ld", name, p.x, p.y);
    Append(s->outFile, line);
}

// The middle of the word's first character, in screen coordinates.
POINT EditWordPoint(HWND edit)
{
    int start = (int)(strstr(kEnglish, kEnglishWord) - kEnglish);
    LRESULT a = SendMessageA(edit, EM_POSFROMCHAR, start, 0), b = SendMessageA(edit, EM_POSFROMCHAR, start + 1, 0);
    POINT p = {((short)LOWORD(a) + (short)LOWORD(b)) / 2, (short)HIWORD(a) + kFontHeight / 2};
    ClientToScreen(edit, &p);
    return p;
}

POINT PaneWordPoint(HWND pane, const Pane *state)
{
    HDC dc = GetDC(pane);
    HGDIOBJ old = SelectObject(dc, state->font);
    SIZE before = {0, 0}, first = {0, 0};
    GetTextExtentPoint32W(dc, state->row->text, state->row->wordStart, &before);
    GetTextExtentPoint32W(dc, state->row->text + state->row->wordStart, 1, &first);
    SelectObject(dc, old);
    ReleaseDC(pane, dc);
    POINT p = {kMargin / 2 + before.cx + first.cx / 2, (kRowHeight - 4) / 2};
    ClientToScreen(pane, &p);
    return p;
}

LRESULT CALLBACK PaneProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    Pane *state = (Pane *)GetWindowLongPtrA(w, GWLP_USERDATA);
    switch (message) {
    case WM_NCCREATE: {
        const Row *row = (const Row *)((CREATESTRUCTA *)lParam)->lpCreateParams;
        state = new Pane{row, MakeFont(row->face, row->charset)};
        SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)state);
        break;
    }
    case WM_NCDESTROY:
        if (state) {
            DeleteObject(state->font);
            delete state;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        HGDIOBJ old = SelectObject(dc, state->font);
        SetBkMode(dc, TRANSPARENT);
        // Drawn through TextOutW so that the capture sees the pane draw its own text.
        int height = (kRowHeight - 4 - kFontHeight) / 2;
        TextOutW(dc, kMargin / 2, height, state->row->text, (int)wcslen(state->row->text));
        SelectObject(dc, old);
        EndPaint(w, &ps);
        return 0;
    }
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

// Notes the shown pop-up viewer's place when it changed since the last look.
void WatchPopup(Sample *s)
{
    HWND shown = nullptr;
    for (HWND v = FindWindowExA(nullptr, nullptr, kViewerClass, nullptr); v && !shown;
         v = FindWindowExA(nullptr, v, kViewerClass, nullptr))
        if (IsWindowVisible(v)) shown = v;
    RECT r = {0, 0, 0, 0};
    if (shown) GetWindowRect(shown, &r);
    if (s->noted && (shown != nullptr) == s->popupShown && EqualRect(&r, &s->lastPopup)) return;
    if (shown) {
        // Once the viewer's thread has answered, its search is over; then it paints before the
        // line is written, so that a picture taken on the line shows the entries.
        DWORD_PTR answer;
        SendMessageTimeoutA(shown, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
        RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GetWindowRect(shown, &r);
    }
    s->noted = true;
    s->popupShown = shown != nullptr;
    s->lastPopup = r;
    char line[96];
    if (shown)
        snprintf(line, sizeof line, "popup %ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
    else
        snprintf(line, sizeof line, "popup none");
    Append(s->outFile, line);
}

void OnCreate(HWND w, Sample *s)
{
    s->font = MakeFont("Tahoma", ANSI_CHARSET);
    s->edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", kEnglish, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, kMargin,
                              kMargin, kWidth, kRowHeight - 4, w, nullptr, nullptr, nullptr);
    SendMessageA(s->edit, WM_SETFONT, (WPARAM)s->font, TRUE);
    for (int i = 0; i < 2; i++)
        s->panes[i] = CreateWindowExA(WS_EX_CLIENTEDGE, kPaneClass, "", WS_CHILD | WS_VISIBLE, kMargin,
                                      kMargin + (i + 1) * kRowHeight, kWidth, kRowHeight - 4, w, nullptr, nullptr,
                                      (void *)&kRows[i]);
}

LRESULT CALLBACK SampleProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    Sample *s = (Sample *)GetWindowLongPtrA(w, GWLP_USERDATA);
    switch (message) {
    case WM_NCCREATE:
        s = (Sample *)((CREATESTRUCTA *)lParam)->lpCreateParams;
        SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)s);
        break;
    case WM_CREATE: OnCreate(w, s); return 0;
    case WM_TIMER:
        if (wParam == kWatchTimer) WatchPopup(s);
        return 0;
    case WM_DESTROY:
        KillTimer(w, kWatchTimer);
        DeleteObject(s->font);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: samplewin OUTFILE\n");
        return 1;
    }
    Sample sample = {};
    sample.outFile = argv[1];
    DeleteFileA(sample.outFile);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PaneProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_IBEAM);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kPaneClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = SampleProc;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    RECT frame = {0, 0, kWidth + 2 * kMargin, 3 * kRowHeight + 2 * kMargin - 4};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND main = CreateWindowExA(0, kClass, "Velosuite sample", WS_OVERLAPPEDWINDOW, 40, 40, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, &sample);
    if (!main) {
        fprintf(stderr, "samplewin: cannot create the window\n");
        return 2;
    }
    ShowWindow(main, SW_SHOWNORMAL);
    UpdateWindow(main);
    NotePoint(&sample, "en", EditWordPoint(sample.edit));
    for (int i = 0; i < 2; i++)
        NotePoint(&sample, kRows[i].name, PaneWordPoint(sample.panes[i], (Pane *)GetWindowLongPtrA(sample.panes[i], GWLP_USERDATA)));
    Append(sample.outFile, "ready");
    SetTimer(main, kWatchTimer, 100, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
