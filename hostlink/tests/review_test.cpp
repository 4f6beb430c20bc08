// Answers from other processes that fill every byte of a text field: what the caller gets back is
// always terminated inside its field.
#include "capture_fixture.h"

using namespace hostlink_test;

namespace {

// A document viewer plug-in that answers with a face name of 32 letters and no terminator.
LRESULT CALLBACK FullFacePluginProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_USER) return DefWindowProcA(w, msg, wp, lp);
    HANDLE map = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "VL40_ACROBATPLUGIN_FILEMAPPING");
    if (!map) return 0;
    CaptureRecord *rec = (CaptureRecord *)MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 0);
    if (rec) {
        strcpy(rec->text, "plain words");
        rec->length = 11;
        rec->wordPos = 2;
        memset(rec->font.lfFaceName, 'F', sizeof(rec->font.lfFaceName));
        UnmapViewOfFile(rec);
    }
    CloseHandle(map);
    return 1;
}

TEST_F(CaptureTest, UnterminatedFaceNameInAnAnswerIsCutInsideItsField) {
    PluginPage viewer = OpenPluginPage(FullFacePluginProc);
    HWND plugin = viewer.plugin, page = viewer.page;
    HANDLE loaded = viewer.loaded;
    CaptureRecord rec = Request(ToScreen(page, 30, 30));
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_STREQ(rec.text, "plain words");
    EXPECT_LT(strnlen(rec.font.lfFaceName, sizeof(rec.font.lfFaceName)),
              sizeof(rec.font.lfFaceName));
    DestroyWindow(plugin);
    CloseHandle(loaded);
}

}  // namespace
