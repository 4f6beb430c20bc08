// The operation log: a flat run of 16-byte day records, at most one per local date, in no order.
//
// The whole log is read at once (one record per day: a few kilobytes after years of use), so every
// day is looked up among all records and records stored out of date order are found.  A trailing
// partial record (a write cut short) is ignored on read and overwritten by the next append.
#include "chartpane_int.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <vector>

namespace {

// An open log with its complete records read in.
struct LogFile {
    HANDLE h = INVALID_HANDLE_VALUE;
    std::vector<OprLogDay> rec;
    ~LogFile() { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
};

int OpenLog(LogFile &f, const char *path, bool write)
{
    f.h = CreateFileA(path, write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                      FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f.h == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.h, &size) || size.QuadPart > 64 * 1024 * 1024) return 0;
    DWORD whole = (DWORD)(size.QuadPart / sizeof(OprLogDay));
    f.rec.resize(whole);
    DWORD want = whole * sizeof(OprLogDay), got = 0;
    if (want && (!ReadFile(f.h, f.rec.data(), want, &got, nullptr) || got != want)) return 0;
    return 1;
}

}  // namespace

int OprLog_DateKey(INT32 t)
{
    __time64_t t64 = t;
    struct tm *tm = _localtime64(&t64);
    if (!tm) return 0;
    return (tm->tm_year + 1900) * 10000 + (tm->tm_mon + 1) * 100 + tm->tm_mday;
}

INT32 OprLog_AddDays(INT32 t, int days)
{
    // Day arithmetic at local noon: a daylight-saving change can never push the result into the
    // neighbouring date, so no date repeats and none is skipped.
    __time64_t t64 = t;
    struct tm *p = _localtime64(&t64);
    if (!p) return t;
    struct tm tm = *p;
    tm.tm_mday += days;
    tm.tm_hour = 12;
    tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    __time64_t r = _mktime64(&tm);
    return r == -1 ? t : (INT32)r;
}

int OprLog_ReadDays(const char *path, INT32 now, int page, OprLogDay *out, int n)
{
    if (!path || !out || n <= 0 || page < 1) return 0;
    LogFile f;
    if (!OpenLog(f, path, false)) return 0;
    std::vector<OprLogDay> days(n);
    for (int i = 0; i < n; i++) {
        // Day i of page p lies (n * p - 1 - i) days before today.
        INT32 t = OprLog_AddDays(now, i + 1 - n * page);
        int key = OprLog_DateKey(t);
        OprLogDay d = {t, 0, 0, 0};
        for (const OprLogDay &r : f.rec) {
            if (OprLog_DateKey(r.dayTime) == key) { d = r; break; }
        }
        days[i] = d;
    }
    memcpy(out, days.data(), n * sizeof(OprLogDay));
    return 1;
}

int OprLog_WriteDay(const char *path, const OprLogDay *day)
{
    if (!path || !day) return 0;
    LogFile f;
    if (!OpenLog(f, path, true)) return 0;
    int key = OprLog_DateKey(day->dayTime);
    size_t slot = f.rec.size();
    for (size_t i = 0; i < f.rec.size(); i++) {
        if (OprLog_DateKey(f.rec[i].dayTime) == key) { slot = i; break; }
    }
    LARGE_INTEGER pos;
    pos.QuadPart = (LONGLONG)slot * sizeof(OprLogDay);
    DWORD wrote = 0;
    if (!SetFilePointerEx(f.h, pos, nullptr, FILE_BEGIN) ||
        !WriteFile(f.h, day, sizeof(OprLogDay), &wrote, nullptr) || wrote != sizeof(OprLogDay))
        return 0;
    if (slot == f.rec.size() && !SetEndOfFile(f.h)) return 0;  // drop a partial tail
    return 1;
}
