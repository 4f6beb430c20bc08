// What the relay test and its second process agree on.
#ifndef SHAREDKIT_PEER_COMMON_H
#define SHAREDKIT_PEER_COMMON_H

#include <windows.h>
#include <string.h>
#include "lexidata.h"

// Messages the test sends to the peer window.
enum : UINT {
    PEER_DELIVER_ITEM = 0x83F3,   // fetch the request of the id, answer its digest
    PEER_STUDY_ENTRY = 0x8405,    // fetch the entry of the id, answer its digest
    PEER_REFETCH = 0x0500,        // fetch the last id again (request or entry by wParam), 1 when nothing came
    PEER_NOTICE = 0x8408,         // a broadcast notice: counted
    PEER_NOTICE_COUNT = 0x0501,   // the count of notices so far
    PEER_ECHO = 0x0502,           // answers wParam + lParam
    PEER_LAST_ID = 0x0503,        // the last delivery id it was given
    PEER_BUSY = 0x0504,           // answers 1 at once, then keeps its thread busy for wParam ms
};

// Answers of the fetch handlers besides a digest.
enum : LONG { PEER_NONE = -2, PEER_SECOND_FETCH = -3, PEER_BAD_POINTER = -4, PEER_WRONG_TAG = -5 };

inline DWORD PeerMix(DWORD h, const void *data, size_t n) {
    const unsigned char *p = (const unsigned char *)data;
    for (size_t i = 0; i < n; i++)
        h = (h ^ p[i]) * 16777619u;
    return h;
}

// Digest of a lookup request record: every field but the text pointer, then the text it points to.
inline LONG PeerRequestDigest(const void *record) {
    const VLTranParam *r = (const VLTranParam *)record;
    DWORD h = 2166136261u;
    const DWORD words[4] = {r->dicId, r->searchMode, r->searchFlags, r->requestKind};
    h = PeerMix(h, words, sizeof words);
    h = PeerMix(h, &r->font, sizeof r->font);
    const DWORD rest[7] = {r->charset, r->wordPos, r->language, (DWORD)HandleToLong(r->sourceWindow),
                           r->pointTop, r->pointBottom, (DWORD)r->textLen};
    h = PeerMix(h, rest, sizeof rest);
    if (r->textLen > 0 && r->text)
        h = PeerMix(h, r->text, r->textLen + 1);
    return (LONG)(h & 0x3FFFFFFF);
}

// Digest of a data item: identity fields, language and charset, and the four strings.
inline LONG PeerEntryDigest(const void *record) {
    const VLDataItem *item = (const VLDataItem *)record;
    DWORD h = 2166136261u;
    const DWORD words[8] = {item->head.type, item->head.fileId, item->head.subDicNo, item->head.entryNo,
                            item->language, item->entryLink, item->score, item->charset};
    h = PeerMix(h, words, sizeof words);
    const char *strs[4] = {item->headword, item->second, item->third, item->fourth};
    const LONG lens[4] = {item->headwordLen, item->secondLen, item->thirdLen, item->fourthLen};
    for (int i = 0; i < 4; i++) {
        h = PeerMix(h, &lens[i], 4);
        if (strs[i] && lens[i] > 0)
            h = PeerMix(h, strs[i], lens[i] + 1);
    }
    return (LONG)(h & 0x3FFFFFFF);
}

#endif
