// The operation log read and written through its file functions with a fixed "now", and the
// graph's geometry.
#include <gtest/gtest.h>
#include "../chartpane_int.h"

#include <stdio.h>
#include <string.h>
#include <time.h>
#include <string>
#include <vector>

namespace {

const char kLog[] = "oprlog_test.log";

INT32 LocalTime(int y, int m, int d, int hour = 15)
{
    struct tm tm = {};
    tm.tm_year = y - 1900;
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    tm.tm_hour = hour;
    tm.tm_isdst = -1;
    return (INT32)_mktime64(&tm);
}

OprLogDay Day(int y, int m, int d, int a, int b = 0, int c = 0)
{
    return OprLogDay{LocalTime(y, m, d, 9), a, b, c};
}

int Write(OprLogDay d) { return OprLog_WriteDay(kLog, &d); }

void WriteRaw(const std::vector<OprLogDay> &recs, int tailBytes = 0)
{
    FILE *f = fopen(kLog, "wb");
    ASSERT_TRUE(f);
    if (!recs.empty()) fwrite(recs.data(), sizeof(OprLogDay), recs.size(), f);
    for (int i = 0; i < tailBytes; i++) fputc(0x7F, f);
    fclose(f);
}

long FileSize()
{
    FILE *f = fopen(kLog, "rb");
    if (!f) return -1;
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fclose(f);
    return n;
}

struct ReadCase {
    const char *name;
    std::vector<OprLogDay> file;
    int tail;        // bytes of a partial record after the file's records
    int page, n;
    std::vector<int> dates;   // expected yyyymmdd per day
    std::vector<int> popups;  // expected count 1 per day
};

}  // namespace

TEST(OprLog, ReadsPagesOfDays) {
    const INT32 now = LocalTime(2026, 3, 3);
    const ReadCase cases[] = {
        {"empty log", {}, 0, 1, 7,
         {20260225, 20260226, 20260227, 20260228, 20260301, 20260302, 20260303}, {0, 0, 0, 0, 0, 0, 0}},
        {"in order with a gap", {Day(2026, 3, 1, 4), Day(2026, 3, 3, 6)}, 0, 1, 3,
         {20260301, 20260302, 20260303}, {4, 0, 6}},
        {"reversed", {Day(2026, 3, 3, 6), Day(2026, 3, 2, 5), Day(2026, 3, 1, 4)}, 0, 1, 3,
         {20260301, 20260302, 20260303}, {4, 5, 6}},
        {"partial tail ignored", {Day(2026, 3, 3, 6)}, 9, 1, 2, {20260302, 20260303}, {0, 6}},
        {"second page of weeks", {Day(2026, 2, 24, 8), Day(2026, 2, 18, 2)}, 0, 2, 7,
         {20260218, 20260219, 20260220, 20260221, 20260222, 20260223, 20260224}, {2, 0, 0, 0, 0, 0, 8}},
        {"month over a year end", {Day(2025, 12, 31, 3)}, 0, 1, 31,
         {}, {}},
    };
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.name);
        remove(kLog);
        if (!c.file.empty() || c.tail) WriteRaw(c.file, c.tail);
        std::vector<OprLogDay> out(c.n);
        ASSERT_EQ(OprLog_ReadDays(kLog, strcmp(c.name, "month over a year end") ? now : LocalTime(2026, 1, 20),
                                  c.page, out.data(), c.n), 1);
        if (c.dates.empty()) {
            // 31 consecutive dates ending on the 20th of January, one record for 31 December.
            EXPECT_EQ(OprLog_DateKey(out[0].dayTime), 20251221);
            EXPECT_EQ(OprLog_DateKey(out[30].dayTime), 20260120);
            EXPECT_EQ(out[10].popupCount, 3);
            continue;
        }
        for (int i = 0; i < c.n; i++) {
            EXPECT_EQ(OprLog_DateKey(out[i].dayTime), c.dates[i]) << "day " << i;
            EXPECT_EQ(out[i].popupCount, c.popups[i]) << "day " << i;
        }
    }
    remove(kLog);
}

TEST(OprLog, WritingADayTwiceKeepsOneRecord) {
    remove(kLog);
    ASSERT_EQ(Write(Day(2026, 3, 3, 1)), 1);
    OprLogDay later = Day(2026, 3, 3, 7, 2, 1);
    later.dayTime += 3600;
    ASSERT_EQ(OprLog_WriteDay(kLog, &later), 1);
    ASSERT_EQ(Write(Day(2026, 3, 4, 1)), 1);
    EXPECT_EQ(FileSize(), 32);
    OprLogDay out[2];
    ASSERT_EQ(OprLog_ReadDays(kLog, LocalTime(2026, 3, 4), 1, out, 2), 1);
    EXPECT_EQ(out[0].popupCount, 7);
    EXPECT_EQ(out[0].searchCount, 2);
    EXPECT_EQ(out[0].outsideCount, 1);
    remove(kLog);
}

TEST(OprLog, AppendOverwritesAPartialTail) {
    WriteRaw({Day(2026, 3, 1, 4)}, 5);
    ASSERT_EQ(Write(Day(2026, 3, 2, 9)), 1);
    EXPECT_EQ(FileSize(), 32);
    OprLogDay out[2];
    ASSERT_EQ(OprLog_ReadDays(kLog, LocalTime(2026, 3, 2), 1, out, 2), 1);
    EXPECT_EQ(out[0].popupCount, 4);
    EXPECT_EQ(out[1].popupCount, 9);
    remove(kLog);
}

TEST(OprLog, UnopenableLogLeavesTheBufferAlone) {
    OprLogDay out[1] = {{1, 2, 3, 4}};
    EXPECT_EQ(OprLog_ReadDays("no_such_folder\\x.log", LocalTime(2026, 3, 2), 1, out, 1), 0);
    EXPECT_EQ(out[0].popupCount, 2);
    EXPECT_EQ(OprLog_WriteDay("no_such_folder\\x.log", out), 0);
}

TEST(OprLog, ConsecutiveDaysNeverRepeatOrSkip) {
    // A whole year of day steps, through both daylight-saving changes of whatever zone runs us.
    INT32 t = LocalTime(2026, 1, 1, 0);
    int prev = OprLog_DateKey(t);
    for (int i = 1; i <= 366; i++) {
        int key = OprLog_DateKey(OprLog_AddDays(t, i));
        EXPECT_GT(key, prev) << i;
        prev = key;
    }
    EXPECT_EQ(prev, 20270102);
}

TEST(Graph, Geometry) {
    GraphLayout g = Graph_Layout(330, 250, 31);
    EXPECT_EQ(g.left, 20);
    EXPECT_EQ(g.step, 10);
    EXPECT_EQ(g.unit, 2);
    EXPECT_EQ(g.bottom, 200);
    EXPECT_EQ(Graph_PointY(g, 0, 0), g.bottom);     // nothing counted: on the base line
    EXPECT_EQ(Graph_PointY(g, 5, 0), g.bottom);
    EXPECT_EQ(Graph_PointY(g, 10, 10), 0);          // the maximum at the top
    EXPECT_EQ(Graph_PointY(g, 1, 3), 2 * (100 - 33));  // a third, not truncated to 0
    EXPECT_EQ(Graph_PointY(g, 2, 3), 2 * (100 - 66));

    int cols[3];
    ASSERT_EQ(Graph_LabelColumns(7, cols), 2);
    EXPECT_EQ(cols[0], 3);
    EXPECT_EQ(cols[1], 6);
    ASSERT_EQ(Graph_LabelColumns(31, cols), 3);
    EXPECT_EQ(cols[2], 31);

    GraphLayout tiny = Graph_Layout(10, 50, 7);   // too small to draw: no division by zero
    EXPECT_EQ(tiny.step, 0);
    EXPECT_EQ(tiny.unit, 0);
}
