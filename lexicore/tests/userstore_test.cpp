// The user-dictionary store on its own: side-file blocks and free list, the B+-tree with subtree
// counts against an in-memory model, entries against a model, a reader process beside a writer,
// a writer process ended in the middle of a change, damaged side files.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdlib.h>
#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>
// The store is built into this program so that the tests can reach its fault hook and use small
// tree pages.
#include "../user/userstore.cpp"
#include "../user/userbtree.cpp"
#include "../user/userentry.cpp"

namespace {

const DWORD kId = 0xF123;

std::string Folder() {
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    return cwd;
}

std::string Path(const std::string &name) { return Folder() + "\\" + name; }

void RemoveSet(const std::string &base) {
    for (const char *ext : {".rdc", ".rdt", ".rxa", ".rna", ".rra", ".rxb", ".rnb", ".rrb"})
        DeleteFileA((base + ext).c_str());
}

DWORD SizeOfFile(const std::string &path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a) ? a.nFileSizeLow : 0;
}

// The order of the tests: bytes forward, or from the end of the word for the backward tree.
std::string Reversed(const std::string &s) { return std::string(s.rbegin(), s.rend()); }
int Compare(void *, DWORD flags, const char *key, const char *text) {
    std::string a = key, b = text;
    if (flags & 0x8000) {
        a = Reversed(a);
        b = Reversed(b);
    }
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0;
}
void Normalise(void *, const char *key, char *out) { strcpy(out, key); }
const LuOrder kOrder = {nullptr, Compare, Normalise};

// The record points into hw, which must outlive it.
LuRecord Rec(std::string &&hw, const char *reading = "") = delete;
LuRecord Rec(const std::string &hw, const char *reading = "") {
    LuRecord r;
    memset(&r, 0, sizeof r);
    r.str[0] = hw.c_str();
    r.len[0] = (DWORD)hw.size();
    r.str[1] = reading;
    r.len[1] = (DWORD)strlen(reading);
    return r;
}

void SmallPages(LuDic *d) {
    for (LuTree *t : {&d->forward, &d->backward}) {
        t->cap = 8;
        t->keep = 6;
        t->low = 2;
    }
}

std::vector<DWORD> TreeKeys(LuDic *d, bool backward) {
    std::vector<DWORD> keys;
    EXPECT_TRUE(LuTree_Check(LuDic_Tree(d, backward), nullptr, &keys));
    return keys;
}

std::string TextOf(LuDic *d, DWORD itemPos) {
    LuItem it;
    TextInfo t;
    if (!LuDic_ReadItem(d, itemPos, &it) || !ReadTextInfo(&d->text, it.textPos, &t)) return "?";
    std::string s(t.len1, 0);
    if (t.len1) LuFile_Read(&d->text, it.textPos + 12 + 17, &s[0], t.len1);
    return s;
}

// ---- Side files --------------------------------------------------------------------------------

TEST(UserBlocks, AllocateFreeAndCut) {
    std::string p = Path("blocks.rdt");
    ASSERT_TRUE(LuFile_Create(p.c_str(), kId, kLuTypeText, 0, 0, 0));
    LuFile f;
    ASSERT_TRUE(LuFile_Open(&f, p.c_str(), kId, kLuTypeText, true));
    EXPECT_EQ(72u, f.size);
    DWORD a = LuFile_Allocate(&f, 20);  // 32 bytes with the prefix take 48
    DWORD b = LuFile_Allocate(&f, 100);
    DWORD c = LuFile_Allocate(&f, 10);
    EXPECT_EQ(72u, a);
    EXPECT_EQ(72u + 48, b);
    EXPECT_EQ(72u + 48 + 128, c);
    EXPECT_EQ(3u, f.alloc.blocks);
    EXPECT_EQ(a, f.alloc.first);
    // A block inside the file goes on the free list; the first record moves past it.
    ASSERT_TRUE(LuFile_FreeBlock(&f, a));
    EXPECT_EQ(1u, f.alloc.freeBlocks);
    EXPECT_EQ(a, f.alloc.freeHead);
    EXPECT_EQ(b, f.alloc.first);
    // First fit: a small request takes the freed block whole.
    EXPECT_EQ(a, LuFile_Allocate(&f, 5));
    EXPECT_EQ(0u, f.alloc.freeBlocks);
    EXPECT_EQ(a, f.alloc.first);
    // The block at the end is cut off.
    ASSERT_TRUE(LuFile_FreeBlock(&f, c));
    EXPECT_EQ(c, f.size);
    EXPECT_EQ(2u, f.alloc.blocks);
    ASSERT_TRUE(LuFile_FreeBlock(&f, a));
    // The last block in use: the file goes back to its empty form.
    ASSERT_TRUE(LuFile_FreeBlock(&f, b));
    EXPECT_EQ(72u, f.size);
    EXPECT_EQ(0u, f.alloc.blocks);
    EXPECT_EQ(0u, f.alloc.freeBlocks);
    EXPECT_EQ(0u, f.alloc.freeHead);
    EXPECT_EQ(0u, f.alloc.first);
    LuFile_Close(&f);
    EXPECT_EQ(72u, SizeOfFile(p));
    DeleteFileA(p.c_str());
}

// ---- Tree ----------------------------------------------------------------------------------------

struct TreeBox {
    std::string path = Path("tree.rna");
    LuTree t;
    bool Open(DWORD cap, DWORD keep, DWORD low) {
        LuTree_Init(&t);
        t.cap = cap;
        t.keep = keep;
        t.low = low;
        return LuFile_Open(&t.file, path.c_str(), kId, kLuTypeForward, true);
    }
    TreeBox() { LuFile_Create(path.c_str(), kId, kLuTypeForward, 0, 0, 0); }
    ~TreeBox() {
        LuFile_Close(&t.file);
        DeleteFileA(path.c_str());
    }
};

void ExpectSame(LuTree *t, const std::vector<DWORD> &model) {
    std::vector<DWORD> keys;
    ASSERT_TRUE(LuTree_Check(t, nullptr, &keys));
    ASSERT_EQ(model, keys);
    // The leaf chain walks the same keys both ways.
    if (model.empty()) return;
    LuCursor c;
    ASSERT_TRUE(LuTree_Seek(t, 0, &c));
    std::vector<DWORD> walked;
    do {
        DWORD k;
        ASSERT_TRUE(LuTree_CursorKey(t, &c, &k));
        walked.push_back(k);
    } while (LuTree_Step(t, &c, 1));
    EXPECT_EQ(model, walked);
    ASSERT_TRUE(LuTree_Seek(t, (LONG)model.size() - 1, &c));
    size_t n = 0;
    do {
        DWORD k;
        ASSERT_TRUE(LuTree_CursorKey(t, &c, &k));
        EXPECT_EQ(model[model.size() - 1 - n], k);
        n++;
    } while (LuTree_Step(t, &c, -1));
    EXPECT_EQ(model.size(), n);
}

TEST(UserTree, RandomInsertsAndDeletesFollowTheModel) {
    TreeBox box;
    ASSERT_TRUE(box.Open(8, 6, 2));
    std::mt19937 rng(7);
    std::vector<DWORD> model;
    DWORD next = 1000;
    for (int step = 0; step < 4000; step++) {
        bool grow = model.size() < 40 || (rng() % 100) < (step < 2500 ? 60u : 35u);
        if (grow) {
            LONG at = (LONG)(rng() % (model.size() + 1));
            ASSERT_TRUE(LuTree_InsertAt(&box.t, at, next)) << step;
            model.insert(model.begin() + at, next++);
        } else if (!model.empty()) {
            LONG at = (LONG)(rng() % model.size());
            ASSERT_TRUE(LuTree_DeleteAt(&box.t, at)) << step;
            model.erase(model.begin() + at);
        }
        LONG count;
        ASSERT_TRUE(LuTree_Count(&box.t, &count));
        ASSERT_EQ((LONG)model.size(), count) << step;
        if (!model.empty()) {
            LONG probe = (LONG)(rng() % model.size());
            DWORD k;
            ASSERT_TRUE(LuTree_KeyAt(&box.t, probe, &k));
            ASSERT_EQ(model[probe], k) << step;
        }
        if (step % 250 == 0) ExpectSame(&box.t, model);
    }
    ExpectSame(&box.t, model);
    // Down to nothing: the file goes back to its empty form.
    while (!model.empty()) {
        ASSERT_TRUE(LuTree_DeleteAt(&box.t, 0));
        model.erase(model.begin());
    }
    ExpectSame(&box.t, model);
    EXPECT_EQ(72u, box.t.file.size);
    EXPECT_EQ(0u, LuTree_Root(&box.t));
}

TEST(UserTree, FullLeafSplitsIntoPagesOf3072And1025AndMergesBack) {
    TreeBox box;
    ASSERT_TRUE(box.Open(kLuMaxKeys, kLuKeep, kLuLow));
    std::vector<DWORD> model;
    for (DWORD i = 0; i < 4096; i++) {
        ASSERT_TRUE(LuTree_InsertAt(&box.t, (LONG)i, 100 + i));
        model.push_back(100 + i);
    }
    LuPage root;
    ASSERT_TRUE(Load(&box.t, LuTree_Root(&box.t), &root));
    EXPECT_EQ(0u, root.level);
    // The next insertion (low in the page) splits it.
    ASSERT_TRUE(LuTree_InsertAt(&box.t, 10, 99999));
    model.insert(model.begin() + 10, 99999);
    ASSERT_TRUE(Load(&box.t, LuTree_Root(&box.t), &root));
    ASSERT_EQ(1u, root.level);
    ASSERT_EQ(2u, root.kids.size());
    EXPECT_EQ(3072u, root.counts[0]);
    EXPECT_EQ(1025u, root.counts[1]);
    ExpectSame(&box.t, model);
    // Reopened from the file: the same.
    LuFile_Close(&box.t.file);
    ASSERT_TRUE(box.Open(kLuMaxKeys, kLuKeep, kLuLow));
    ExpectSame(&box.t, model);
    // One deletion in the right page brings it to 1024: both fit one page again, the root goes.
    ASSERT_TRUE(LuTree_DeleteAt(&box.t, 4000));
    model.erase(model.begin() + 4000);
    ASSERT_TRUE(Load(&box.t, LuTree_Root(&box.t), &root));
    EXPECT_EQ(0u, root.level);
    EXPECT_EQ(4096u, root.keys.size());
    ExpectSame(&box.t, model);
}

TEST(UserTree, BuildGivesAValidTree) {
    TreeBox box;
    ASSERT_TRUE(box.Open(8, 6, 2));
    for (DWORD n : {0u, 1u, 6u, 7u, 50u, 333u}) {
        std::vector<DWORD> model;
        for (DWORD i = 0; i < n; i++) model.push_back(200 + i);
        ASSERT_TRUE(LuTree_Build(&box.t, model));
        SCOPED_TRACE(n);
        ExpectSame(&box.t, model);
        if (n) {
            ASSERT_TRUE(LuTree_InsertAt(&box.t, (LONG)n / 2, 70000));
            model.insert(model.begin() + n / 2, 70000);
            ASSERT_TRUE(LuTree_DeleteAt(&box.t, 0));
            model.erase(model.begin());
            ExpectSame(&box.t, model);
        }
    }
}

// ---- Entries ---------------------------------------------------------------------------------------

struct Entry {
    std::string hw, text;
    DWORD item;
    unsigned serial;
};

struct Model {
    std::vector<Entry> fwd, bwd;  // in tree order
    unsigned serial = 0;
    static bool Before(const std::string &a, const std::string &b, bool backward) {
        return backward ? Reversed(a) < Reversed(b) : a < b;
    }
    LONG Add(const Entry &e, bool backward) {
        std::vector<Entry> &v = backward ? bwd : fwd;
        auto at = std::upper_bound(v.begin(), v.end(), e,
                                   [&](const Entry &x, const Entry &y) { return Before(x.hw, y.hw, backward); });
        LONG i = (LONG)(at - v.begin());
        v.insert(at, e);
        return i;
    }
    LONG Remove(DWORD item, bool backward) {
        std::vector<Entry> &v = backward ? bwd : fwd;
        for (size_t i = 0; i < v.size(); i++)
            if (v[i].item == item) {
                v.erase(v.begin() + i);
                return (LONG)i;
            }
        return -1;
    }
    Entry *Find(DWORD item) {
        for (Entry &e : fwd)
            if (e.item == item) return &e;
        return nullptr;
    }
};

void ExpectModel(LuDic *d, Model &m, bool texts) {
    for (int b = 0; b < 2; b++) {
        std::vector<DWORD> keys = TreeKeys(d, b != 0);
        const std::vector<Entry> &v = b ? m.bwd : m.fwd;
        ASSERT_EQ(v.size(), keys.size());
        for (size_t i = 0; i < v.size(); i++) {
            ASSERT_EQ(v[i].item, keys[i]) << "index " << i << (b ? " backward" : " forward");
            if (texts && !b) {
                ASSERT_EQ(v[i].text, TextOf(d, keys[i]));
            }
        }
    }
}

std::string RandomWord(std::mt19937 &rng) {
    std::string s;
    size_t n = 1 + rng() % 4;
    for (size_t i = 0; i < n; i++) s += (char)('a' + rng() % 3);
    return s;
}

TEST(UserEntries, RandomChangesFollowTheModelAndSurviveReopening) {
    std::string base = Path("model");
    RemoveSet(base);
    ASSERT_TRUE(LuDic_CreateFiles((base + ".rdc").c_str(), kId, 0, 0, 1, 0x0100, false));
    LuDic d;
    ASSERT_TRUE(LuDic_Open(&d, (base + ".rdc").c_str(), kId, 0, true, &kOrder));
    SmallPages(&d);
    Model m;
    std::mt19937 rng(11);
    for (int step = 0; step < 2500; step++) {
        unsigned r = rng() % 100;
        if (m.fwd.size() < 30 || r < 50) {
            Entry e{RandomWord(rng), "text " + std::to_string(step), 0, m.serial++};
            LuRecord rec = Rec(e.hw, "rd");
            LONG at = LuDic_Add(&d, &rec, e.text.data(), (DWORD)e.text.size(), "f;", 2);
            ASSERT_GE(at, 0) << step;
            ASSERT_TRUE(LuTree_KeyAt(&d.forward, at, &e.item));
            ASSERT_EQ(m.Add(e, false), at) << step << " " << e.hw;
            m.Add(e, true);
        } else if (r < 75) {
            Entry &pick = m.fwd[rng() % m.fwd.size()];
            DWORD item = pick.item;
            std::string text = "changed " + std::to_string(step);
            bool rename = rng() % 2 == 0;
            std::string hw = rename ? RandomWord(rng) : pick.hw;
            LuRecord rec = Rec(hw);
            LONG index;
            ASSERT_TRUE(LuDic_Update(&d, &item, rename ? &rec : nullptr, text.data(), (DWORD)text.size(), "", 0,
                                     &index)) << step;
            if (rename) {
                DWORD was = pick.item;  // pick goes with the removal
                m.Remove(was, false);
                m.Remove(was, true);
                Entry e{hw, text, item, m.serial++};
                ASSERT_EQ(m.Add(e, false), index) << step;
                m.Add(e, true);
            } else {
                ASSERT_EQ(pick.item, item);
                pick.text = text;
                for (Entry &e : m.bwd)
                    if (e.item == item) e.text = text;
            }
        } else {
            DWORD item = m.fwd[rng() % m.fwd.size()].item;
            LuItem it;
            ASSERT_TRUE(LuDic_ReadItem(&d, item, &it));
            LONG index;
            ASSERT_TRUE(LuDic_Delete(&d, it.textPos, &index)) << step;
            ASSERT_EQ(m.Remove(item, false), index) << step;
            m.Remove(item, true);
        }
        LONG count;
        ASSERT_TRUE(LuTree_Count(&d.forward, &count));
        ASSERT_EQ((LONG)m.fwd.size(), count);
        if (step % 100 == 0) ExpectModel(&d, m, step % 500 == 0);
        // Locate finds the first entry of a key.
        if (step % 50 == 0 && !m.fwd.empty()) {
            const Entry &e = m.fwd[rng() % m.fwd.size()];
            LONG at;
            EXPECT_EQ(1, LuDic_Locate(&d, e.hw.c_str(), 0, false, &at));
            EXPECT_EQ(e.hw, m.fwd[at].hw);
            EXPECT_TRUE(at == 0 || m.fwd[at - 1].hw != e.hw);
        }
    }
    ExpectModel(&d, m, true);
    LuDic_Close(&d);
    ASSERT_TRUE(LuDic_Open(&d, (base + ".rdc").c_str(), kId, 0, false, &kOrder));
    ExpectModel(&d, m, true);
    LuDic_Close(&d);
    // Deleting every entry leaves every file empty.
    ASSERT_TRUE(LuDic_Open(&d, (base + ".rdc").c_str(), kId, 0, true, &kOrder));
    SmallPages(&d);
    while (!m.fwd.empty()) {
        LuItem it;
        ASSERT_TRUE(LuDic_ReadItem(&d, m.fwd.back().item, &it));
        ASSERT_TRUE(LuDic_Delete(&d, it.textPos, nullptr));
        m.Remove(m.fwd.back().item, true);
        m.fwd.pop_back();
    }
    EXPECT_EQ(0u, d.text.alloc.blocks);
    EXPECT_EQ(0u, d.text.alloc.freeHead);
    LuDic_Close(&d);
    for (const char *ext : {".rdt", ".rxa", ".rna", ".rra"}) EXPECT_EQ(72u, SizeOfFile(base + ext)) << ext;
    RemoveSet(base);
}

TEST(UserEntries, EmptyOrOverlongHeadwordIsRefused) {
    std::string base = Path("refuse");
    RemoveSet(base);
    ASSERT_TRUE(LuDic_CreateFiles((base + ".rdc").c_str(), kId, 0, 0, 1, 0x0100, false));
    LuDic d;
    ASSERT_TRUE(LuDic_Open(&d, (base + ".rdc").c_str(), kId, 0, true, &kOrder));
    std::string none, big(256, 'x'), a = "a";
    LuRecord empty = Rec(none);
    LuRecord longer = Rec(big);
    EXPECT_EQ(-1, LuDic_Add(&d, &empty, "t", 1, "", 0));
    EXPECT_EQ(-1, LuDic_Add(&d, &longer, "t", 1, "", 0));
    LuRecord ok = Rec(a);
    EXPECT_EQ(0, LuDic_Add(&d, &ok, "t", 1, "", 0));  // position 0 is a real entry
    LuDic_Close(&d);
    RemoveSet(base);
}

// ---- Failures in the middle of a change -------------------------------------------------------------

int g_failAt = 0, g_writes = 0;
int FailNth() { return ++g_writes != g_failAt; }
int ExitNth() {
    if (++g_writes == g_failAt) ExitProcess(7);
    return 1;
}

std::multiset<std::string> Headwords(LuDic *d, bool backward) {
    std::multiset<std::string> out;
    for (DWORD k : TreeKeys(d, backward)) {
        LuItem it;
        EXPECT_TRUE(LuDic_ReadItem(d, k, &it));
        out.insert(std::string(it.key) + "=" + TextOf(d, k));
    }
    return out;
}

// A set of twelve entries in small pages.
std::multiset<std::string> Seed(LuDic *d) {
    std::multiset<std::string> saved;
    SmallPages(d);
    for (int i = 0; i < 12; i++) {
        std::string hw = std::string(1, (char)('a' + i % 5)) + std::to_string(i), text = "t" + std::to_string(i);
        LuRecord rec = Rec(hw);
        EXPECT_GE(LuDic_Add(d, &rec, text.data(), (DWORD)text.size(), "", 0), 0);
        saved.insert(hw + "=" + text);
    }
    return saved;
}

TEST(UserFaults, AFailedWriteKeepsEverySavedEntry) {
    std::string base = Path("fault"), main = base + ".rdc";
    for (int op = 0; op < 3; op++) {
        for (g_failAt = 1; g_failAt < 40; g_failAt++) {
            RemoveSet(base);
            ASSERT_TRUE(LuDic_CreateFiles(main.c_str(), kId, 0, 0, 1, 0x0100, false));
            LuDic d;
            ASSERT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, true, &kOrder));
            std::multiset<std::string> saved = Seed(&d);
            DWORD victim = TreeKeys(&d, false)[5];
            LuItem it;
            ASSERT_TRUE(LuDic_ReadItem(&d, victim, &it));
            std::string before = std::string(it.key) + "=" + TextOf(&d, victim);
            g_writes = 0;
            g_luWriteHook = FailNth;
            bool done;
            std::string zz = "zz";
            LuRecord rec = Rec(zz);
            if (op == 0) {
                done = LuDic_Add(&d, &rec, "new", 3, "", 0) >= 0;
            } else if (op == 1) {
                LONG index;
                done = LuDic_Update(&d, &victim, g_failAt % 2 ? &rec : nullptr, "other", 5, "", 0, &index);
            } else {
                done = LuDic_Delete(&d, it.textPos, nullptr);
            }
            g_luWriteHook = nullptr;
            LuDic_Close(&d);
            // Whatever happened, the set opens and holds every entry saved before the change (the
            // changed one in its old or its new form).
            ASSERT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, true, &kOrder)) << op << " " << g_failAt;
            std::multiset<std::string> now = Headwords(&d, false);
            EXPECT_EQ(now, Headwords(&d, true));
            for (const std::string &s : saved) {
                if (op > 0 && s == before) continue;
                EXPECT_EQ(1u, now.count(s)) << s << " op " << op << " write " << g_failAt;
            }
            if (op == 1) {
                // The changed entry once: the old form, the new text, or (renamed) the new form.
                std::string after = std::string(g_failAt % 2 ? "zz" : it.key) + "=other";
                std::string mixed = std::string(it.key) + "=other";
                size_t forms = now.count(before) + now.count(after) + (after != mixed ? now.count(mixed) : 0);
                EXPECT_EQ(1u, forms) << "write " << g_failAt;
                EXPECT_EQ(saved.size(), now.size()) << "write " << g_failAt;
                if (done) {
                    EXPECT_EQ(1u, now.count(after));
                }
            }
            if (op == 2) {
                EXPECT_EQ(done ? 0u : now.count(before), now.count(before)) << g_failAt;
            }
            EXPECT_EQ(0u, d.text.alloc.busy);
            LuDic_Close(&d);
        }
    }
    RemoveSet(base);
}

// ---- Other processes --------------------------------------------------------------------------------

// Runs this program again as a helper: the test Child.Run with LU_CHILD set to the task.
DWORD RunChild(const std::string &task, HANDLE *process = nullptr) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string cmd = std::string("\"") + exe + "\" --gtest_filter=Child.Run";
    SetEnvironmentVariableA("LU_CHILD", task.c_str());
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("LU_CHILD", nullptr);
    if (!ok) return 999;
    CloseHandle(pi.hThread);
    if (process) {
        *process = pi.hProcess;
        return 0;
    }
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 999;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return code;
}

TEST(Child, Run) {
    const char *task = getenv("LU_CHILD");
    if (!task) GTEST_SKIP() << "helper of the other tests";
    std::string t = task;
    std::string main = Path("proc.rdc");
    LuDic d;
    if (t.rfind("kill:", 0) == 0) {
        // Adds entries with the writes counted: the process ends at the chosen write.
        ASSERT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, true, &kOrder));
        SmallPages(&d);
        g_failAt = atoi(t.c_str() + 5);
        g_writes = 0;
        g_luWriteHook = ExitNth;
        for (int i = 0; i < 3; i++) {
            std::string hw = "k" + std::to_string(i);
            LuRecord rec = Rec(hw);
            LuDic_Add(&d, &rec, "late", 4, "", 0);
        }
        LuItem it;
        DWORD first = TreeKeys(&d, false)[0];
        ASSERT_TRUE(LuDic_ReadItem(&d, first, &it));
        LuDic_Delete(&d, it.textPos, nullptr);
        ExitProcess(0);
    }
    if (t.rfind("reader:", 0) == 0) {
        // Holds a reader open; after the writer's signal reports the count it sees.
        ASSERT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, false, &kOrder));
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (t.substr(7) + "r").c_str());
        HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, (t.substr(7) + "g").c_str());
        ASSERT_TRUE(ready && go);
        SetEvent(ready);
        WaitForSingleObject(go, 60000);
        ASSERT_TRUE(LuDic_Sync(&d));
        LONG count = 0;
        LuTree_Count(&d.forward, &count);
        std::vector<DWORD> keys = TreeKeys(&d, false);
        LuDic_Close(&d);
        ExitProcess(100 + (DWORD)count + (keys.size() == (size_t)count ? 0 : 1000));
    }
}

TEST(UserProcesses, AReaderStaysOpenWhileOneWriterWorks) {
    std::string base = Path("proc"), main = base + ".rdc";
    RemoveSet(base);
    ASSERT_TRUE(LuDic_CreateFiles(main.c_str(), kId, 0, 0, 1, 0x0100, false));
    LuDic w;
    ASSERT_TRUE(LuDic_Open(&w, main.c_str(), kId, 0, true, &kOrder));
    Seed(&w);
    LuDic_Close(&w);
    std::string name = "lu_proc_" + std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (name + "r").c_str());
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, (name + "g").c_str());
    HANDLE child = nullptr;
    ASSERT_EQ(0u, RunChild("reader:" + name, &child));
    HANDLE both[2] = {ready, child};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, FALSE, 60000));
    // The writer opens beside the reader; a second writer does not.
    ASSERT_TRUE(LuDic_Open(&w, main.c_str(), kId, 0, true, &kOrder));
    SmallPages(&w);
    LuDic second;
    EXPECT_FALSE(LuDic_Open(&second, main.c_str(), kId, 0, true, &kOrder));
    for (int i = 0; i < 30; i++) {
        std::string hw = "w" + std::to_string(i);
        LuRecord rec = Rec(hw);
        ASSERT_GE(LuDic_Add(&w, &rec, "x", 1, "", 0), 0);
    }
    LuDic_Close(&w);
    SetEvent(go);
    WaitForSingleObject(child, 60000);
    DWORD code = 0;
    GetExitCodeProcess(child, &code);
    EXPECT_EQ(100u + 42, code);
    CloseHandle(child);
    CloseHandle(ready);
    CloseHandle(go);
    RemoveSet(base);
}

TEST(UserProcesses, AWriterEndedInTheMiddleLosesNothingSavedBefore) {
    std::string base = Path("proc"), main = base + ".rdc";
    // Every write of the three additions and the deletion in turn.
    for (int at = 1; at <= 70; at += 3) {
        RemoveSet(base);
        ASSERT_TRUE(LuDic_CreateFiles(main.c_str(), kId, 0, 0, 1, 0x0100, false));
        LuDic d;
        ASSERT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, true, &kOrder));
        std::multiset<std::string> saved = Seed(&d);
        LuDic_Close(&d);
        DWORD code = RunChild("kill:" + std::to_string(at));
        ASSERT_TRUE(code == 7 || code == 0) << code;
        if (at < 40) {
            EXPECT_EQ(7u, code) << "the helper should have stopped at write " << at;
        }
        // A reader opening first repairs the set (no writer has it open).
        ASSERT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, false, &kOrder)) << at;
        EXPECT_EQ(0u, d.text.alloc.busy);
        std::multiset<std::string> now = Headwords(&d, false);
        EXPECT_EQ(now, Headwords(&d, true));
        size_t kept = 0;
        for (const std::string &s : saved) kept += now.count(s);
        // The deletion takes the first entry ("a0") at most.
        EXPECT_GE(kept, saved.size() - 1) << at;
        for (const std::string &s : saved)
            if (s != "a0=t0") {
                EXPECT_EQ(1u, now.count(s)) << s << " at write " << at;
            }
        LuDic_Close(&d);
    }
    RemoveSet(base);
}

// ---- Damaged side files -------------------------------------------------------------------------------

TEST(UserDamage, DamagedSideFilesDoNotOpen) {
    std::string base = Path("damage"), main = base + ".rdc";
    struct Case {
        const char *ext;
        DWORD at;
        std::string bytes;
    } cases[] = {
        {".rdt", 0, "X"},                          // magic
        {".rxa", 14, "\x03"},                      // type code
        {".rna", 8, std::string("\x01\x02\x00\x00", 4)},  // file id
        {".rna", 40, std::string("\xff\xff\x00\x00", 4)}, // more blocks than the file holds
        {".rna", 48, std::string("\x00\x00\x10\x00", 4)}, // root past the end
        {".rra", 52, std::string("\x00\x00\x10\x00", 4)}, // free list past the end
    };
    for (const Case &c : cases) {
        RemoveSet(base);
        ASSERT_TRUE(LuDic_CreateFiles(main.c_str(), kId, 0, 0, 1, 0x0100, false));
        LuDic d;
        ASSERT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, true, &kOrder));
        Seed(&d);
        LuDic_Close(&d);
        HANDLE h = CreateFileA((base + c.ext).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        SetFilePointer(h, (LONG)c.at, nullptr, FILE_BEGIN);
        DWORD wrote;
        WriteFile(h, c.bytes.data(), (DWORD)c.bytes.size(), &wrote, nullptr);
        CloseHandle(h);
        EXPECT_FALSE(LuDic_Open(&d, main.c_str(), kId, 0, false, &kOrder)) << c.ext << " " << c.at;
        EXPECT_FALSE(LuDic_Open(&d, main.c_str(), kId, 0, true, &kOrder)) << c.ext << " " << c.at;
    }
    // A cut-off tree page is refused when read.
    RemoveSet(base);
    ASSERT_TRUE(LuDic_CreateFiles(main.c_str(), kId, 0, 0, 1, 0x0100, false));
    LuDic d;
    ASSERT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, true, &kOrder));
    Seed(&d);
    DWORD root = LuTree_Root(&d.forward);
    DWORD bad = 12345;
    ASSERT_TRUE(LuFile_Write(&d.forward.file, root + 12 + 4, &bad, 4));  // the page's own position
    for (int i = 0; i < 5; i++) d.forward.cacheUsed[i] = 0;
    LONG count;
    EXPECT_FALSE(LuTree_Count(&d.forward, &count));
    DWORD k;
    EXPECT_FALSE(LuTree_KeyAt(&d.forward, 0, &k));
    LuDic_Close(&d);
    RemoveSet(base);
}

// Writes one word of a stored tree page and drops the cached pages, as another process would.
void PokePage(LuTree *t, DWORD page, DWORD word, DWORD value) {
    ASSERT_TRUE(LuFile_Write(&t->file, page + kLuPrefix + 4 * word, &value, 4));
    for (int i = 0; i < 5; i++) t->cacheUsed[i] = 0;
}

// Pages of one level of the tree, left to right, by descending along the first children.
std::vector<DWORD> LevelPages(LuTree *t, DWORD level) {
    std::vector<DWORD> pages;
    LuPage p;
    DWORD pos = LuTree_Root(t);
    while (Load(t, pos, &p) && p.level > level) pos = p.kids[0];
    while (pos && Load(t, pos, &p)) {
        pages.push_back(pos);
        pos = p.next;
        if (pages.size() > 1000) break;
    }
    return pages;
}

// Keys walked along the leaf chain from an end; at most limit steps are taken.
size_t Walked(LuTree *t, int dir, size_t limit) {
    LONG count;
    LuCursor c;
    if (!LuTree_Count(t, &count) || !LuTree_Seek(t, dir > 0 ? 0 : count - 1, &c)) return 0;
    size_t n = 1;
    while (n < limit && LuTree_Step(t, &c, dir)) n++;
    return n;
}

TEST(UserDamage, ALeafChainThatRunsInACircleEndsEveryWalk) {
    TreeBox box;
    ASSERT_TRUE(box.Open(8, 6, 2));
    std::vector<DWORD> model;
    for (DWORD i = 0; i < 50; i++) model.push_back(300 + 16 * i);
    ASSERT_TRUE(LuTree_Build(&box.t, model));
    std::vector<DWORD> leaves = LevelPages(&box.t, 0);
    ASSERT_GE(leaves.size(), 4u);
    DWORD first = leaves.front(), last = leaves.back();
    struct Case {
        const char *what;
        std::vector<std::vector<DWORD>> pokes;  // page, word, value
    } cases[] = {
        {"the last leaf's next is the first", {{last, 5, first}}},
        {"a circle whose links agree", {{last, 5, first}, {first, 4, last}}},
        {"a leaf skipped going forward", {{leaves[1], 5, leaves[3]}}},
        {"a leaf skipped going backward", {{leaves[3], 4, leaves[1]}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(LuTree_Build(&box.t, model));
        leaves = LevelPages(&box.t, 0);
        first = leaves.front(), last = leaves.back();
        for (const std::vector<DWORD> &k : c.pokes) PokePage(&box.t, k[0], k[1], k[2]);
        EXPECT_LE(Walked(&box.t, 1, 10 * model.size()), model.size());
        EXPECT_LE(Walked(&box.t, -1, 10 * model.size()), model.size());
        std::vector<DWORD> keys;
        EXPECT_FALSE(LuTree_Check(&box.t, nullptr, &keys));
    }

    // The look-up of an entry by its item along the whole chain (a comparer that does not lead to
    // it) ends too: here the item is no longer in the tree at all.
    std::string base = Path("circle"), main = base + ".rdc";
    RemoveSet(base);
    ASSERT_TRUE(LuDic_CreateFiles(main.c_str(), kId, 0, 0, 1, 0x0100, false));
    LuDic d;
    ASSERT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, true, &kOrder));
    SmallPages(&d);
    for (int i = 0; i < 40; i++) {
        std::string hw = "w" + std::to_string(100 + i);
        LuRecord rec = Rec(hw);
        ASSERT_GE(LuDic_Add(&d, &rec, "t", 1, "", 0), 0);
    }
    DWORD gone;
    ASSERT_TRUE(LuTree_KeyAt(&d.forward, 20, &gone));
    ASSERT_TRUE(LuTree_DeleteAt(&d.forward, 20));
    leaves = LevelPages(&d.forward, 0);
    ASSERT_GE(leaves.size(), 2u);
    PokePage(&d.forward, leaves.back(), 5, leaves.front());
    PokePage(&d.forward, leaves.front(), 4, leaves.back());
    EXPECT_EQ(-1, LuDic_IndexOf(&d, false, gone));
    LuDic_Close(&d);
    RemoveSet(base);
}

TEST(UserDamage, TreeLevelsThatDoNotStepDownAreRefused) {
    TreeBox box;
    ASSERT_TRUE(box.Open(8, 6, 2));
    std::vector<DWORD> model;
    for (DWORD i = 0; i < 100; i++) model.push_back(300 + 16 * i);
    struct Case {
        const char *what;
        bool second;  // the damage lies under the root's second child
        std::function<void(LuTree *)> damage;
    } cases[] = {
        {"an inner page's first child is a leaf", false,
         [](LuTree *t) { PokePage(t, LuTree_Root(t), kLuKidsAt, LevelPages(t, 0)[0]); }},
        {"an inner page's second child is a leaf", true,
         [](LuTree *t) { PokePage(t, LuTree_Root(t), kLuKidsAt + 1, LevelPages(t, 0)[0]); }},
        {"a child at its parent's level", false,
         [](LuTree *t) { PokePage(t, LevelPages(t, 1)[0], kLuKidsAt, LevelPages(t, 1)[1]); }},
        {"a leaf that carries a child", false,
         [](LuTree *t) {
             std::vector<DWORD> leaves = LevelPages(t, 0);
             for (DWORD leaf : leaves) PokePage(t, leaf, kLuKidsAt, leaves[1]);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(LuTree_Build(&box.t, model));
        LuPage root;
        ASSERT_TRUE(Load(&box.t, LuTree_Root(&box.t), &root));
        ASSERT_EQ(2u, root.level);
        LONG at = c.second ? (LONG)root.counts[0] : 0;
        c.damage(&box.t);
        DWORD k;
        EXPECT_FALSE(LuTree_KeyAt(&box.t, at, &k));
        EXPECT_FALSE(LuTree_DeleteAt(&box.t, at));
        EXPECT_FALSE(LuTree_InsertAt(&box.t, c.second ? at + 1 : at, 77777));  // inside that child
        LuCursor cur;
        EXPECT_FALSE(LuTree_Seek(&box.t, at, &cur));
        std::vector<DWORD> keys;
        EXPECT_FALSE(LuTree_Check(&box.t, nullptr, &keys));
    }
}

}  // namespace
