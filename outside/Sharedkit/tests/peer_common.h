// What the relay test and its second process agree on.
#ifndef SHAREDKIT_PEER_COMMON_H
#define SHAREDKIT_PEER_COMMON_H

#include <windows.h>
#include <string.h>

// Messages the test sends to the peer window.
enum : UINT {
    PEER_DELIVER_ITEM = 0x83F3,   // fetch the request of the id, answer its digest
    PEER_STUDY_ENTRY = 0x8405,    // fetch the entry of the id, answer its digest
    PEER_REFETCH = 0x0500,        // fetch the last id again (request or entry by wParam), 1 when nothing came
    PEER_NOTICE = 0x8408,         // a broadcast notice: counted
    PEER_NOTICE_COUNT = 0x0501,   // the count of notices so far
    PEER_ECHO = 0x0502,           // answers wParam + lParam
    PEER_LAST_ID = 0x0503,        // the last delivery id it was given
};

// Answers of the fetch handlers besides a digest.
enum : LONG { PEER_NONE = -2, PEER_SECOND_FETCH = -3, PEER_BAD_POINTER = -4, PEER_WRONG_TAG = -5 };

inline DWORD PeerMix(DWORD h, const void *data, size_t n) {
    const unsigned char *p = (const unsigned char *)data;
    for (size_t i = 0; i < n; i++)
        h = (h ^ p[i]) * 16777619u;
    return h;
}

// Digest of a lookup request: the head without the text pointer, then the text it points to.
inline LONG PeerRequestDigest(const unsigned char *r) {
    DWORD h = 2166136261u;
    h = PeerMix(h, r, 96);
    h = PeerMix(h, r + 100, 4);
    int len;
    const char *text;
    memcpy(&len, r + 100, 4);
    memcpy(&text, r + 96, 4);
    if (len > 0 && text)
        h = PeerMix(h, text, len + 1);
    return (LONG)(h & 0x3FFFFFFF);
}

// Digest of a data item: identity fields, language and charset, and the four strings.
inline LONG PeerEntryDigest(const unsigned char *item) {
    DWORD h = 2166136261u;
    h = PeerMix(h, item + 4, 16);
    h = PeerMix(h, item + 36, 12);
    h = PeerMix(h, item + 104, 1);
    static const int kFields[4][2] = {{60, 48}, {64, 52}, {68, 56}, {96, 92}};
    for (const auto &f : kFields) {
        const char *s;
        int len;
        memcpy(&s, item + f[0], 4);
        memcpy(&len, item + f[1], 4);
        h = PeerMix(h, &len, 4);
        if (s && len > 0)
            h = PeerMix(h, s, len + 1);
    }
    return (LONG)(h & 0x3FFFFFFF);
}

#endif
