/* The conversation between the capture client and the capture server program (GlimpserXP.exe).
 * Shared by the library and the server; both take the CaptureRecord layout from hostlink.h.
 *
 * The server owns a top-level window whose class and title are HOSTLINK_SERVER_CLASS.  The client
 * sends it VLM_CAPTURE_RULE and then VLM_CAPTURE_AT; while handling VLM_CAPTURE_AT the server
 * answers with WM_COPYDATA (a whole CaptureRecord) to a window of class HOSTLINK_CLIENT_CLASS.
 * WM_DESTROY sent to the server's window ends the server. */
#ifndef HOSTLINK_PROTO_H
#define HOSTLINK_PROTO_H

#define HOSTLINK_SERVER_CLASS "VELOHOSTWNDCLS"
#define HOSTLINK_CLIENT_CLASS "HNVLAPIWNDCLS"

enum {
    VLM_CAPTURE_RULE = 0x8B8,      /* wParam rule value (1 or 2), lParam the request flags */
    VLM_CAPTURE_AT = 0x8B9,        /* wParam window at the point, lParam MAKELONG(x, y) screen */
    VLM_CAPTURE_SET_WORDS = 0x8C5, /* to the client's window: two words kept in the words mapping */

    /* Test switches of our own server, each for the next answer only; the server answers 1.
     * SHORT: wParam non-zero makes the answer only wParam bytes long.
     * OVERLONG: the text fills all 2048 bytes without a terminator and the length and word
     * position lie beyond it. */
    VLM_GLIMPSE_SHORT_ANSWER = 0x8D0,
    VLM_GLIMPSE_OVERLONG_ANSWER = 0x8D1
};

#endif /* HOSTLINK_PROTO_H */
