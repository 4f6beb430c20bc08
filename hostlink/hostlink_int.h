/* What the files of the capture client share. */
#ifndef HOSTLINK_INT_H
#define HOSTLINK_INT_H

#include <windows.h>
#include "hostlink.h"
#include "hostlink_proto.h"

/* The block shared by every process that loads the library. */
struct HostlinkShared {
    LONG attachCount;      /* attaches over all processes */
    LONG server;           /* the capture server's window, as a 32-bit handle value (the same
                              width in both lanes; window handles fit 32 bits) */
    CaptureRecord answer;  /* filled by the server's copy-data answer */
    LONG once;             /* set by the first process that loaded the library */
};
static_assert(sizeof(HostlinkShared) == 2196, "shared block is 2196 bytes");
static_assert(offsetof(HostlinkShared, answer) == 8, "answer record follows the two words");
extern HostlinkShared g_hostlinkShared;

inline HWND Hostlink_Server() { return (HWND)LongToHandle(g_hostlinkShared.server); }
inline void Hostlink_SetServer(HWND window) { g_hostlinkShared.server = HandleToLong(window); }

enum {
    HOSTLINK_RULE_ROWS = 256,
    HOSTLINK_RULE_NAME = 64,
    HOSTLINK_PROBE_MS = 2000,   /* a window that does not answer a probe in time counts as silent */
    HOSTLINK_SERVER_MS = 10000  /* the server's own capture may read several controls */
};

/* One class rule: kind 2 never capture, kind 1 capture with rule value 2; kind 0 ends the table. */
struct ClassRule {
    int32_t kind;
    char name[HOSTLINK_RULE_NAME];
};
static_assert(sizeof(ClassRule) == 68, "class rule row is 68 bytes");

/* Per-process state. */
struct HostlinkProcess {
    HINSTANCE module;
    HWND window;             /* this process's HNVLAPIWNDCLS window */
    LONG attaches;           /* attaches of this process not yet detached */
    volatile LONG busy;      /* a capture is under way on some thread of this process */
    HANDLE wordsMapping;     /* NTVLMANXXXX2, held only by the process that created it */
    ATOM browserAtom;        /* IE50_EXIST, when this process added it */
    ClassRule rules[HOSTLINK_RULE_ROWS];
    int ruleCount;
};
extern HostlinkProcess g_hostlink;

/* Class rules (rules.cpp). */
void Hostlink_RulesReset(void);
int Hostlink_RulesCount(void);
/* 0 never capture, 2 capture with the special rule, 1 any other class. */
int Hostlink_RuleForClass(const char *className);
/* Control kind of a window of this class whose WM_NCHITTEST at the point answered hit. */
uint32_t Hostlink_KindForClass(const char *className, LRESULT hit);

/* The window a capture reads at a screen point (pointwalk.cpp); null when there is none. */
HWND Hostlink_WindowAtPoint(POINT pt);

/* Sends a probe that gives up on a hung or slow window; 0 when it did not answer. */
LRESULT Hostlink_Probe(HWND w, UINT msg, WPARAM wp, LPARAM lp);

/* Takes a copy-data answer into the shared record; 0 when it is malformed and ignored. */
int Hostlink_AcceptAnswer(const COPYDATASTRUCT *data);
/* Terminates the text and bounds the length and word position of a received record. */
void Hostlink_SanitizeRecord(CaptureRecord *rec);

/* Keeps the two words of VLM_CAPTURE_SET_WORDS (low and high word of lp) in NTVLMANXXXX2. */
void Hostlink_StoreWords(LPARAM lp);

/* Takes one from the count unless it is zero or below, atomically; answers the count before. */
LONG Hostlink_TakeOne(LONG *count);

/* The capture server (server.cpp). */
void Hostlink_StartServer(void);
void Hostlink_CloseServer(void);

#endif /* HOSTLINK_INT_H */
