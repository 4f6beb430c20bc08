// A driver-dictionary library for the engine's tests: an English "translator" with fixed answers.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "ddsample.h"
#include "lexidata.h"

extern "C" BOOL WINAPI DDGetInfo(const char *libraryPath, void *fileRecord, void *subRecord) {
    if (!libraryPath || !fileRecord || !subRecord) return FALSE;
    const char *name = strrchr(libraryPath, '\\');
    name = name ? name + 1 : libraryPath;
    char lower[MAX_PATH];
    snprintf(lower, sizeof lower, "%s", name);
    CharLowerA(lower);
    if (strstr(lower, "refuse")) return FALSE;
    DicInfo *file = (DicInfo *)fileRecord;
    DicProperty *sub = (DicProperty *)subRecord;
    file->language = 0x0100;
    file->languageCount = 2;
    file->languages[0] = 0x0100;
    file->languages[1] = 0x0400;
    snprintf(file->name, sizeof file->name, "Sample translator");
    sub->language = 0x0100;
    snprintf(sub->name, sizeof sub->name, "Sample translator");
    snprintf(sub->nickname, sizeof sub->nickname, "DD");
    return TRUE;
}

extern "C" int WINAPI DDOpen(void *) { return 1; }

extern "C" void WINAPI DDClose(void) {
    char buf[16] = {0};
    GetEnvironmentVariableA("DDSAMPLE_CLOSED", buf, sizeof buf);
    snprintf(buf, sizeof buf, "%d", atoi(buf) + 1);
    SetEnvironmentVariableA("DDSAMPLE_CLOSED", buf);
}

extern "C" int WINAPI DDTranslate(void *fileRecord, const char *key, DDSampleItemProc proc, void *query) {
    if (!key || !proc) return 0;
    const DicInfo *file = (const DicInfo *)fileRecord;
    int added = 0;
    for (int i = 1; i <= 3; i++) {
        char headword[300];
        snprintf(headword, sizeof headword, "%.250s-%d", key, i);
        VLDataItem head;
        memset(&head, 0, sizeof head);
        head.head.type = VLITEM_DATA;
        head.head.fileId = file ? file->fileId : 0;
        head.head.entryNo = (DWORD)i;
        head.language = 0x0100;
        VLDataItem *item = VLDataItem_Create(&head, headword, "sample translation", nullptr, nullptr);
        if (!item) return added;
        int r = proc(item, 1, query);
        VLDataItem_Destroy(item);
        if (r == 1) added = 1;
        if (r == 2 || r == 4) break;
    }
    return added;
}

extern "C" int WINAPI DDGetData(void *, const void *, void *) { return 0; }
