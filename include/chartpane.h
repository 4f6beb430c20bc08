/* Chartpane: the operation log of daily usage counts and the usage-graph dialog.
 *
 * The log `vloprlog.log` lives in the user data folder: a flat run of 16-byte OprLogDay records,
 * no header, in no particular order, at most one per local calendar day.  Exported by ordinal. */
#ifndef CHARTPANE_H
#define CHARTPANE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One day of the log.  Only the local year, month and day of `dayTime` count. */
typedef struct OprLogDay {
    INT32 dayTime;      /* seconds since 1970 (32-bit), some time of that day */
    INT32 popupCount;   /* pop-ups shown with at least one candidate */
    INT32 searchCount;  /* searches in the search station */
    INT32 outsideCount; /* lookups requested from outside the suite */
} OprLogDay;

/* Shows the modal usage graph (a week or a month, paged back in time); returns the dialog result. */
INT_PTR WINAPI Chartpane_ShowGraph(HWND parent);

/* Fills out[0..n-1] with the n days of the current page (page 1 ends today); a day without a
 * record gets a zero record dated that day.  1 on success; 0 when the log cannot be opened or
 * memory is short, with out left as it was.  The log is created when missing. */
int WINAPI Chartpane_ReadDays(OprLogDay *out, int n);

/* Stores one day: overwrites the record of the same local date, else appends.  1 on success, 0 on
 * failure (nothing half-written). */
int WINAPI Chartpane_WriteDay(const OprLogDay *day);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
static_assert(sizeof(OprLogDay) == 16, "OprLogDay is 16 bytes on disk");
#endif

#endif /* CHARTPANE_H */
