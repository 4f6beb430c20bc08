// Stored index, label, page and file records read one at a time from a dictionary's index file.
#include <stdio.h>
#include "lexidata_int.h"
#include "dicfile_int.h"
#include "textblock_int.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The hexadecimal number of n characters; false when one of them is not a hex digit.
bool Hex(const BYTE *p, int n, LONG *out) {
    DWORD v = 0;
    for (int i = 0; i < n; i++) {
        int d = HexDigit((char)p[i]);
        if (d < 0) return false;
        v = (v << 4) | (DWORD)d;
    }
    *out = (LONG)v;
    return true;
}

bool SessionFile(DicSession *s, HANDLE *file) {
    if (!s || !s->fileRecord || !s->subDic || !Lexi_HandleOk(s->indexFile)) return false;
    *file = s->indexFile;
    return true;
}

bool Encoded(const DicSession *s) { return (s->fileRecord->headerFlags & DICFLAG_ENCODED) != 0; }

}  // namespace

extern "C" BOOL WINAPI DLVGetIndex(DicSession *session, VLIndexRecord *out) {
    HANDLE file;
    if (!out || !SessionFile(session, &file)) return FALSE;
    HNEncodeSetVersion(session->fileRecord->decoderVersion);
    int version = Lexi_VersionOf(session->fileRecord);
    DWORD kind = session->subDic->indexKind;
    BYTE r[kIndexRec1Size];
    DWORD fixed, keyLen = 0, value = 0;
    const BYTE *inlineKey = nullptr;
    switch (kind) {
    case 1: fixed = kIndexRec1Size; break;
    case 2: case 3: fixed = kIndexRecKeySize; break;
    case 4: case 5: case 6: fixed = kLabelRefSize; break;
    case 7: fixed = kIndexRec7Size; break;
    default: return FALSE;
    }
    if (!Lexi_ReadExact(file, r, fixed)) return FALSE;
    switch (kind) {
    case 1: case 2: case 3: case 7:
        value = Lexi_Get16(r);
        keyLen = r[2];
        break;
    case 5:
        keyLen = r[0];
        break;
    case 4:  // the page number's first four characters
        inlineKey = r;
        keyLen = (DWORD)strnlen((const char *)r, 4);
        break;
    case 6:  // the 15 characters of the label number
        inlineKey = r;
        keyLen = (DWORD)strnlen((const char *)r, 15);
        break;
    }
    if (keyLen == 0) return FALSE;
    memset(out, 0, sizeof *out);
    out->value = value;
    if (inlineKey) {
        memcpy(out->key, inlineKey, keyLen);
        out->keyLen = keyLen;
        return TRUE;
    }
    size_t len = 0;
    char *key = Lexi_ReadString(file, keyLen, Encoded(session), version, sizeof out->key - 1, &len);
    if (!key || len == 0) {
        Lexi_Free(key);
        return FALSE;
    }
    memcpy(out->key, key, len);
    out->keyLen = (DWORD)len;
    Lexi_Free(key);
    return TRUE;
}

extern "C" VLLabelItem *WINAPI DLVLabelItem_Read(HANDLE file, BOOL decode) {
    VLLabelRef r;
    if (!Lexi_HandleOk(file) || !Lexi_ReadExact(file, &r, sizeof r)) return nullptr;
    // Level digit, then three groups read as hexadecimal: 2, 4 and 8 characters.
    const BYTE *num = (const BYTE *)r.number;
    LONG level, n1, n2, n3;
    if (num[0] < '0' || num[0] > '9' || !Hex(num + 1, 2, &n1) || !Hex(num + 3, 4, &n2) ||
        !Hex(num + 7, 8, &n3))
        return nullptr;
    level = num[0] - '0';
    DWORD textPos = r.textPos;
    VLData d;
    if (!Lexi_ReadTextRecord(file, textPos, decode != 0, Lexi_CurrentVersion(), false, &d))
        return nullptr;
    VLLabelItem *item = VLLabelItem_Create(d.data1);
    Lexi_Free(d.data1);
    if (!item) return nullptr;
    item->level = level;
    item->number1 = n1;
    item->number2 = n2;
    item->number3 = n3;
    item->head.textPos = textPos;
    return item;
}

extern "C" BOOL WINAPI VLLabelItem_Write(DicSession *session, DWORD, const VLLabelItem *item) {
    HANDLE file;
    if (!item || !SessionFile(session, &file)) return FALSE;
    // Every group is written in the base it is read in (the second group too), so that a label
    // number written here reads back the same.
    char text[32];
    int n = snprintf(text, sizeof text, "%01d%02x%04x%08x", (int)(item->level % 10),
                     (unsigned)item->number1 & 0xFF, (unsigned)item->number2 & 0xFFFF,
                     (unsigned)item->number3);
    if (n != 15) return FALSE;
    VLLabelRef r;
    memcpy(r.number, text, sizeof r.number);
    r.textPos = item->head.textPos;
    return Lexi_WriteExact(file, &r, sizeof r);
}

extern "C" DWORD WINAPI VLLabelItem_GetSize(void) {
    return kLabelRefSize;
}

extern "C" VLPageItem *WINAPI DLVPageItem_Read(HANDLE file, const char *defaultName, BOOL decode) {
    VLPageRecord r;
    if (!Lexi_HandleOk(file) || !Lexi_ReadExact(file, &r, sizeof r)) return nullptr;
    LONG number = 0;
    for (int i = 0; i < 4 && r.number[i] >= '0' && r.number[i] <= '9'; i++)
        number = number * 10 + (r.number[i] - '0');
    char *name = nullptr;
    size_t nameLen = 0;
    if (r.nameLen != 0) {
        name = Lexi_ReadString(file, r.nameLen, decode != 0, Lexi_CurrentVersion(), 0xFFFF, &nameLen);
        if (!name) return nullptr;
    } else if (defaultName) {
        nameLen = strlen(defaultName);
        name = (char *)Lexi_Alloc(nameLen + 1);
        if (!name) return nullptr;
        memcpy(name, defaultName, nameLen + 1);
    }
    VLPageItem *item = VLPageItem_Create();
    if (!item) {
        Lexi_Free(name);
        return nullptr;
    }
    item->head.entryNo = (DWORD)(number - 1);
    item->pageByte = r.pageByte;
    item->value1 = r.value1;
    item->value2 = r.value2;
    item->position = r.textPos;
    item->head.textPos = item->position;
    item->name = name;
    item->nameLen = (LONG)nameLen;
    return item;
}

extern "C" VLFileItem *WINAPI VLFileItem_Read(DicSession *session) {
    HANDLE file;
    if (!SessionFile(session, &file)) return nullptr;
    HNEncodeSetVersion(session->fileRecord->decoderVersion);
    int version = Lexi_VersionOf(session->fileRecord);
    VLFileRecord r;
    if (!Lexi_ReadExact(file, &r, sizeof r) || r.len1 == 0) return nullptr;
    size_t l1 = 0, l2 = 0;
    char *s1 = Lexi_ReadString(file, r.len1, Encoded(session), version, 0xFFFF, &l1);
    char *s2 = nullptr;
    if (s1 && r.len2) s2 = Lexi_ReadString(file, r.len2, Encoded(session), version, 0xFFFF, &l2);
    VLFileItem *item = nullptr;
    if (s1 && (s2 || r.len2 == 0)) {
        VLFileItem h;
        memset(&h, 0, sizeof h);
        h.value = r.value;
        item = VLFileItem_Create(&h, s1, s2);
    }
    Lexi_Free(s1);
    Lexi_Free(s2);
    return item;
}

extern "C" BOOL WINAPI VLFileItem_Write(DicSession *session, DWORD flags, const VLFileItem *item) {
    HANDLE file;
    if (!item || !SessionFile(session, &file)) return FALSE;
    DWORD start = Lexi_Tell(file);
    VLFileRecord old;
    memset(&old, 0, sizeof old);
    DWORD got = 0;
    ReadFile(file, &old, sizeof old, &got, nullptr);
    DWORD secondLen = item->second != item->first && item->secondLen > 0 ? (DWORD)item->secondLen : 0;
    if (secondLen > 255) return FALSE;
    bool ok = true;
    if (flags & 1) {
        DWORD value = item->head.textPos;
        BYTE l = (BYTE)secondLen;
        ok = Lexi_Seek(file, start) && Lexi_WriteExact(file, &value, sizeof value) &&
             Lexi_Seek(file, start + offsetof(VLFileRecord, len2)) && Lexi_WriteExact(file, &l, 1);
    }
    DWORD at = start + kFileRecordSize + old.len1;
    if (ok && (flags & 2)) {
        ok = Lexi_Seek(file, at) && Lexi_WriteExact(file, item->second, secondLen);
        at += secondLen;
    } else {
        at += old.len2;
    }
    return ok && Lexi_Seek(file, at);
}

extern "C" DWORD WINAPI VLFileItem_GetSize(const VLFileItem *item) {
    if (!item) return 0;
    return 7 + (item->secondLen > 0 ? (DWORD)item->secondLen : 0);
}
