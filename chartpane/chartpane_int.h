// What the usage graph's own files share.  Nothing here touches windows or GDI except graph
// painting, so the log and the geometry run headless in tests.
#ifndef CHARTPANE_INT_H
#define CHARTPANE_INT_H

#include "chartpane.h"

// ---- The log file (oprlog.cpp) ----
// Reads the n days of page `page` (1 ends at the local date of `now`) from the log at `path`.
int OprLog_ReadDays(const char *path, INT32 now, int page, OprLogDay *out, int n);
// Overwrites the record of day->dayTime's local date, else appends it.
int OprLog_WriteDay(const char *path, const OprLogDay *day);
// The local date of a 32-bit time as yyyymmdd (0 for a time the C library cannot convert).
int OprLog_DateKey(INT32 t);
// The time `days` calendar days after (or before) the local date of t, at local noon.
INT32 OprLog_AddDays(INT32 t, int days);
// The log's path in the user data folder; 0 when there is no user data folder.
int OprLog_Path(char *buf, int size);

// ---- Graph geometry (graph.cpp) ----
struct GraphLayout {
    int left;   // x of the vertical axis
    int step;   // pixels per day
    int unit;   // pixels per percent
    int bottom; // y of the base line (100 * unit)
};
GraphLayout Graph_Layout(int width, int height, int days);
// y of a count given the largest count shown; on the base line when maxCount is 0.
int Graph_PointY(const GraphLayout &g, int value, int maxCount);
// Days (1-based columns) that carry a date label under the base line: fills cols, returns the count.
int Graph_LabelColumns(int days, int cols[3]);
// Paints the graph of `days` records into dc over rc.
void Graph_Paint(HDC dc, const RECT &rc, const OprLogDay *rec, int days);

#endif
