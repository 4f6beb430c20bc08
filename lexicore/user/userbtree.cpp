// The B+-tree of a user dictionary's tree file: every entry a key of a leaf, inner keys the first
// entry of the child to their right, per-child entry counts kept as running sums so that an entry
// number leads straight to its leaf.  Insertion and deletion work by entry number; searches by key
// find the number first.
#include <string.h>
#include "user_int.h"

DWORD LuPage::Total() const {
    DWORD t = 0;
    if (level == 0) return (DWORD)keys.size();
    for (DWORD c : counts) t += c;
    return t;
}

namespace {

const DWORD kMaxLevels = 16;
// The level a page is expected at when nothing above it says (the root).
const DWORD kAnyLevel = 0xFFFFFFFF;

// Page words from and to the stored form, with every field checked.
bool Decode(const LuTree *t, DWORD pos, const std::vector<DWORD> &w, LuPage *p) {
    DWORD level = w[0], n = w[3];
    if (w[1] != pos || level >= kMaxLevels || n > kLuMaxKeys) return false;
    p->pos = pos;
    p->level = level;
    p->prev = w[4];
    p->next = w[5];
    p->keys.assign(w.begin() + kLuKeysAt, w.begin() + kLuKeysAt + n);
    p->kids.clear();
    p->counts.clear();
    DWORD fileSize = t->file.size;
    for (DWORD k : p->keys)
        if (k < kLuFirstBlock || k >= 0x7FFFFFF0) return false;
    if (level == 0) {
        // A leaf carries no children.
        for (DWORD i = 0; i <= n; i++)
            if (w[kLuKidsAt + i] != 0) return false;
    } else {
        DWORD before = 0;
        for (DWORD i = 0; i <= n; i++) {
            DWORD kid = w[kLuKidsAt + i], sum = w[kLuSumsAt + i];
            if (kid < kLuFirstBlock || kid >= fileSize || sum < before) return false;
            p->kids.push_back(kid);
            p->counts.push_back(sum - before);
            before = sum;
        }
    }
    return p->Total() == w[2];
}

void Encode(const LuPage &p, std::vector<DWORD> *w) {
    w->assign(kLuPageWords, 0);
    (*w)[0] = p.level;
    (*w)[1] = p.pos;
    (*w)[2] = p.Total();
    (*w)[3] = (DWORD)p.keys.size();
    (*w)[4] = p.prev;
    (*w)[5] = p.next;
    for (size_t i = 0; i < p.keys.size(); i++) (*w)[kLuKeysAt + i] = p.keys[i];
    DWORD sum = 0;
    for (size_t i = 0; i < p.kids.size(); i++) {
        sum += p.counts[i];
        (*w)[kLuKidsAt + i] = p.kids[i];
        (*w)[kLuSumsAt + i] = sum;
    }
}

void Forget(LuTree *t, DWORD pos) {
    for (int i = 0; i < 5; i++)
        if (t->cacheUsed[i] && t->cache[i].pos == pos) t->cacheUsed[i] = 0;
}

void Remember(LuTree *t, const LuPage &p) {
    int slot = 0;
    for (int i = 0; i < 5; i++) {
        if (t->cacheUsed[i] && t->cache[i].pos == p.pos) {
            slot = i;
            break;
        }
        // An empty slot, else the one used longest ago.
        if (!t->cacheUsed[i] || (t->cacheUsed[slot] && (unsigned)t->cacheUsed[i] < (unsigned)t->cacheUsed[slot]))
            slot = i;
    }
    t->cache[slot] = p;
    t->cacheUsed[slot] = (int)++t->tick;
}

bool Load(LuTree *t, DWORD pos, LuPage *p);

// A page that must lie at the given level (one below its parent): anything else is a damaged tree.
bool LoadAt(LuTree *t, DWORD pos, DWORD level, LuPage *p) {
    return Load(t, pos, p) && (level == kAnyLevel || p->level == level);
}

bool Load(LuTree *t, DWORD pos, LuPage *p) {
    for (int i = 0; i < 5; i++) {
        if (t->cacheUsed[i] && t->cache[i].pos == pos) {
            *p = t->cache[i];
            t->cacheUsed[i] = (int)++t->tick;
            return true;
        }
    }
    std::vector<DWORD> w(kLuPageWords);
    if (!LuFile_Read(&t->file, pos + kLuPrefix, w.data(), kLuPageBytes) || !Decode(t, pos, w, p)) return false;
    Remember(t, *p);
    return true;
}

bool Store(LuTree *t, const LuPage &p) {
    std::vector<DWORD> w;
    Encode(p, &w);
    Forget(t, p.pos);
    if (!LuFile_Write(&t->file, p.pos + kLuPrefix, w.data(), kLuPageBytes)) return false;
    Remember(t, p);
    return true;
}

bool NewPage(LuTree *t, DWORD level, LuPage *p) {
    DWORD pos = LuFile_Allocate(&t->file, kLuPageBytes);
    if (!pos) return false;
    p->pos = pos;
    p->level = level;
    p->prev = p->next = 0;
    p->keys.clear();
    p->kids.clear();
    p->counts.clear();
    return true;
}

bool FreePage(LuTree *t, DWORD pos) {
    Forget(t, pos);
    return LuFile_FreeBlock(&t->file, pos);
}

// Sets word 4 (previous page) of the page at pos.
bool SetPrev(LuTree *t, DWORD pos, DWORD prev) {
    if (!pos) return true;
    LuPage p;
    if (!Load(t, pos, &p)) return false;
    p.prev = prev;
    return Store(t, p);
}

bool SetRoot(LuTree *t, DWORD root) {
    t->file.alloc.first = root;
    return true;
}

// Child holding entry index of an inner page: (child, index inside it).  For an insertion the
// index may equal a child's count (appended to it).
void ChildFor(const LuPage &p, LONG index, bool insert, size_t *child, LONG *inner) {
    LONG before = 0;
    size_t last = p.kids.size() - 1;
    for (size_t i = 0; i < p.kids.size(); i++) {
        LONG c = (LONG)p.counts[i];
        if (i == last || (insert ? index <= before + c : index < before + c)) {
            *child = i;
            *inner = index - before;
            return;
        }
        before += c;
    }
}

struct Grow {
    bool split;
    DWORD right, upKey, leftTotal, rightTotal;
    bool minChanged;
    DWORD newMin;
};

// Splits an overfull page (one key above the capacity) at the keep mark.
bool Split(LuTree *t, LuPage *left, Grow *g) {
    LuPage right;
    if (!NewPage(t, left->level, &right)) return false;
    size_t keep = t->keep;
    if (left->level == 0) {
        right.keys.assign(left->keys.begin() + keep, left->keys.end());
        left->keys.resize(keep);
        g->upKey = right.keys[0];
    } else {
        g->upKey = left->keys[keep];
        right.keys.assign(left->keys.begin() + keep + 1, left->keys.end());
        right.kids.assign(left->kids.begin() + keep + 1, left->kids.end());
        right.counts.assign(left->counts.begin() + keep + 1, left->counts.end());
        left->keys.resize(keep);
        left->kids.resize(keep + 1);
        left->counts.resize(keep + 1);
    }
    right.prev = left->pos;
    right.next = left->next;
    left->next = right.pos;
    // The new page first, then its neighbours, then the parent (by the caller).
    if (!Store(t, right) || !SetPrev(t, right.next, right.pos) || !Store(t, *left)) return false;
    g->split = true;
    g->right = right.pos;
    g->leftTotal = left->Total();
    g->rightTotal = right.Total();
    return true;
}

bool Insert(LuTree *t, DWORD pos, LONG index, DWORD key, DWORD level, Grow *g) {
    memset(g, 0, sizeof *g);
    LuPage p;
    if (!LoadAt(t, pos, level, &p)) return false;
    if (p.level == 0) {
        if (index < 0 || (size_t)index > p.keys.size()) return false;
        p.keys.insert(p.keys.begin() + index, key);
        if (index == 0) {
            g->minChanged = true;
            g->newMin = key;
        }
    } else {
        size_t c;
        LONG inner;
        ChildFor(p, index, true, &c, &inner);
        Grow sub;
        if (!Insert(t, p.kids[c], inner, key, p.level - 1, &sub)) return false;
        p.counts[c]++;
        if (sub.minChanged) {
            if (c > 0)
                p.keys[c - 1] = sub.newMin;
            else
                *g = Grow{false, 0, 0, 0, 0, true, sub.newMin};
        }
        if (sub.split) {
            p.counts[c] = sub.leftTotal;
            p.keys.insert(p.keys.begin() + c, sub.upKey);
            p.kids.insert(p.kids.begin() + c + 1, sub.right);
            p.counts.insert(p.counts.begin() + c + 1, sub.rightTotal);
        }
    }
    if (p.keys.size() > t->cap) return Split(t, &p, g);
    return Store(t, p);
}

struct Shrink {
    bool minChanged;
    DWORD newMin;
    bool under;
};

// Evens out child c (left with too few keys) with a neighbour: merged when both fit one page,
// else one key moves over from the fuller one.
bool Rebalance(LuTree *t, LuPage *p, size_t c) {
    size_t s = c > 0 ? c - 1 : c;  // separator between kids[s] and kids[s + 1]
    if (s + 1 >= p->kids.size()) return true;
    LuPage l, r;
    if (!LoadAt(t, p->kids[s], p->level - 1, &l) || !LoadAt(t, p->kids[s + 1], p->level - 1, &r)) return false;
    bool leaf = l.level == 0;
    size_t joined = l.keys.size() + r.keys.size() + (leaf ? 0 : 1);
    if (joined <= t->cap) {
        if (!leaf) {
            l.keys.push_back(p->keys[s]);
            l.kids.insert(l.kids.end(), r.kids.begin(), r.kids.end());
            l.counts.insert(l.counts.end(), r.counts.begin(), r.counts.end());
        }
        l.keys.insert(l.keys.end(), r.keys.begin(), r.keys.end());
        l.next = r.next;
        if (!Store(t, l) || !SetPrev(t, r.next, l.pos)) return false;
        p->counts[s] += p->counts[s + 1];
        p->keys.erase(p->keys.begin() + s);
        p->kids.erase(p->kids.begin() + s + 1);
        p->counts.erase(p->counts.begin() + s + 1);
        return FreePage(t, r.pos);
    }
    if (l.keys.size() > r.keys.size()) {
        if (leaf) {
            r.keys.insert(r.keys.begin(), l.keys.back());
            l.keys.pop_back();
            p->keys[s] = r.keys[0];
        } else {
            r.keys.insert(r.keys.begin(), p->keys[s]);
            r.kids.insert(r.kids.begin(), l.kids.back());
            r.counts.insert(r.counts.begin(), l.counts.back());
            p->keys[s] = l.keys.back();
            l.keys.pop_back();
            l.kids.pop_back();
            l.counts.pop_back();
        }
    } else {
        if (leaf) {
            l.keys.push_back(r.keys[0]);
            r.keys.erase(r.keys.begin());
            p->keys[s] = r.keys[0];
        } else {
            l.keys.push_back(p->keys[s]);
            l.kids.push_back(r.kids[0]);
            l.counts.push_back(r.counts[0]);
            p->keys[s] = r.keys[0];
            r.keys.erase(r.keys.begin());
            r.kids.erase(r.kids.begin());
            r.counts.erase(r.counts.begin());
        }
    }
    p->counts[s] = l.Total();
    p->counts[s + 1] = r.Total();
    return Store(t, r) && Store(t, l);
}

bool Delete(LuTree *t, DWORD pos, LONG index, DWORD level, Shrink *out) {
    memset(out, 0, sizeof *out);
    LuPage p;
    if (!LoadAt(t, pos, level, &p)) return false;
    if (p.level == 0) {
        if (index < 0 || (size_t)index >= p.keys.size()) return false;
        p.keys.erase(p.keys.begin() + index);
        if (index == 0 && !p.keys.empty()) {
            out->minChanged = true;
            out->newMin = p.keys[0];
        }
    } else {
        size_t c;
        LONG inner;
        ChildFor(p, index, false, &c, &inner);
        if (inner < 0 || (DWORD)inner >= p.counts[c]) return false;
        Shrink sub;
        if (!Delete(t, p.kids[c], inner, p.level - 1, &sub)) return false;
        p.counts[c]--;
        if (sub.minChanged) {
            if (c > 0) {
                p.keys[c - 1] = sub.newMin;
            } else {
                out->minChanged = true;
                out->newMin = sub.newMin;
            }
        }
        if (sub.under && !Rebalance(t, &p, c)) return false;
    }
    out->under = p.keys.size() <= t->low;
    return Store(t, p);
}

bool Descend(LuTree *t, LONG index, LuPage *leaf, LONG *slot) {
    DWORD pos = LuTree_Root(t), level = kAnyLevel;
    for (DWORD depth = 0; pos && depth <= kMaxLevels; depth++) {
        if (!LoadAt(t, pos, level, leaf)) return false;
        if (leaf->level == 0) {
            if (index < 0 || (size_t)index >= leaf->keys.size()) return false;
            *slot = index;
            return true;
        }
        size_t c;
        LONG inner;
        ChildFor(*leaf, index, false, &c, &inner);
        if (inner < 0 || (DWORD)inner >= leaf->counts[c]) return false;
        pos = leaf->kids[c];
        level = leaf->level - 1;
        index = inner;
    }
    return false;
}

}  // namespace

void LuTree_Init(LuTree *t) {
    t->cap = kLuMaxKeys;
    t->keep = kLuKeep;
    t->low = kLuLow;
    t->cacheChanges = 0;
    t->tick = 0;
    for (int i = 0; i < 5; i++) t->cacheUsed[i] = 0;
}

bool LuTree_Sync(LuTree *t) {
    if (!LuFile_Reload(&t->file)) return false;
    if (t->file.alloc.changes != t->cacheChanges)
        for (int i = 0; i < 5; i++) t->cacheUsed[i] = 0;
    t->cacheChanges = t->file.alloc.changes;
    return true;
}

DWORD LuTree_Root(const LuTree *t) { return t->file.alloc.first; }

bool LuTree_Count(LuTree *t, LONG *count) {
    *count = 0;
    DWORD root = LuTree_Root(t);
    if (!root) return true;
    LuPage p;
    if (!Load(t, root, &p)) return false;
    *count = (LONG)p.Total();
    return true;
}

bool LuTree_KeyAt(LuTree *t, LONG index, DWORD *itemPos) {
    LuPage leaf;
    LONG slot;
    if (!Descend(t, index, &leaf, &slot)) return false;
    *itemPos = leaf.keys[(size_t)slot];
    return true;
}

bool LuTree_Bound(LuTree *t, LuSeekProc seek, void *ctx, bool upper, LONG *index) {
    *index = 0;
    DWORD pos = LuTree_Root(t);
    LONG before = 0;
    DWORD level = kAnyLevel;
    for (DWORD depth = 0; pos && depth <= kMaxLevels; depth++) {
        LuPage p;
        if (!LoadAt(t, pos, level, &p)) return false;
        // Number of keys of this page that lie before the sought place.
        size_t lo = 0, hi = p.keys.size();
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            int c = seek(ctx, p.keys[mid]);
            if (upper ? c >= 0 : c > 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (p.level == 0) {
            *index = before + (LONG)lo;
            return true;
        }
        for (size_t i = 0; i < lo; i++) before += (LONG)p.counts[i];
        pos = p.kids[lo];
        level = p.level - 1;
    }
    return pos == 0;
}

bool LuTree_InsertAt(LuTree *t, LONG index, DWORD itemPos) {
    DWORD root = LuTree_Root(t);
    if (!root) {
        LuPage leaf;
        if (!NewPage(t, 0, &leaf)) return false;
        leaf.keys.push_back(itemPos);
        if (index != 0 || !Store(t, leaf) || !SetRoot(t, leaf.pos)) return false;
        return LuFile_SaveAlloc(&t->file);
    }
    Grow g;
    if (!Insert(t, root, index, itemPos, kAnyLevel, &g)) return false;
    if (g.split) {
        LuPage top;
        LuPage old;
        if (!Load(t, root, &old) || !NewPage(t, old.level + 1, &top)) return false;
        top.keys.push_back(g.upKey);
        top.kids = {root, g.right};
        top.counts = {g.leftTotal, g.rightTotal};
        if (!Store(t, top) || !SetRoot(t, top.pos)) return false;
    }
    return LuFile_SaveAlloc(&t->file);
}

bool LuTree_DeleteAt(LuTree *t, LONG index) {
    DWORD root = LuTree_Root(t);
    if (!root) return false;
    Shrink s;
    if (!Delete(t, root, index, kAnyLevel, &s)) return false;
    LuPage p;
    if (!Load(t, root, &p)) return false;
    if (p.level == 0 && p.keys.empty()) {
        // No entry left: the file goes back to its empty form.
        if (!SetRoot(t, 0) || !FreePage(t, root)) return false;
        return LuFile_SaveAlloc(&t->file);
    }
    if (p.level > 0 && p.keys.empty()) {
        // The root left with one child gives way to it.
        if (!SetRoot(t, p.kids[0]) || !LuFile_SaveAlloc(&t->file) || !FreePage(t, root)) return false;
        return true;
    }
    return LuFile_SaveAlloc(&t->file);
}

bool LuTree_Build(LuTree *t, const std::vector<DWORD> &sorted) {
    for (int i = 0; i < 5; i++) t->cacheUsed[i] = 0;
    if (!LuFile_Reset(&t->file)) return false;
    if (sorted.empty()) return true;
    // One level at a time: pages filled evenly up to the keep mark.
    struct Node {
        DWORD pos, total, min;
    };
    std::vector<Node> level;
    std::vector<DWORD> keys = sorted;
    DWORD height = 0;
    std::vector<Node> below;
    for (;;) {
        size_t units = height == 0 ? keys.size() : below.size();
        size_t per = height == 0 ? t->keep : t->keep + 1;
        size_t pages = (units + per - 1) / per;
        level.clear();
        std::vector<LuPage> made(pages);
        size_t at = 0;
        for (size_t i = 0; i < pages; i++) {
            size_t n = units / pages + (i < units % pages ? 1 : 0);
            if (!NewPage(t, height, &made[i])) return false;
            LuPage &p = made[i];
            if (height == 0) {
                p.keys.assign(keys.begin() + at, keys.begin() + at + n);
            } else {
                for (size_t k = at; k < at + n; k++) {
                    if (k > at) p.keys.push_back(below[k].min);
                    p.kids.push_back(below[k].pos);
                    p.counts.push_back(below[k].total);
                }
            }
            level.push_back(Node{p.pos, 0, height == 0 ? keys[at] : below[at].min});
            at += n;
        }
        for (size_t i = 0; i < pages; i++) {
            made[i].prev = i > 0 ? made[i - 1].pos : 0;
            made[i].next = i + 1 < pages ? made[i + 1].pos : 0;
            level[i].total = made[i].Total();
            if (!Store(t, made[i])) return false;
        }
        if (pages == 1) {
            SetRoot(t, level[0].pos);
            return LuFile_SaveAlloc(&t->file);
        }
        below = level;
        height++;
        if (height >= kMaxLevels) return false;
    }
}

bool LuTree_Seek(LuTree *t, LONG index, LuCursor *c) {
    LuPage leaf;
    c->leaf = 0;
    c->slot = 0;
    c->index = index;
    c->count = 0;
    if (!LuTree_Count(t, &c->count) || !Descend(t, index, &leaf, &c->slot)) return false;
    c->leaf = leaf.pos;
    return true;
}

bool LuTree_Step(LuTree *t, LuCursor *c, int dir) {
    LuPage leaf;
    if (!c->leaf || !Load(t, c->leaf, &leaf)) return false;
    c->slot += dir;
    c->index += dir;
    // A walk never passes more entries than the tree holds, and goes only to a page that links
    // back to the one it leaves: a damaged chain ends the walk instead of running in a circle.
    if (c->index < 0 || c->index >= c->count) {
        c->leaf = 0;
        return false;
    }
    for (int guard = 0; c->slot < 0 || (size_t)c->slot >= leaf.keys.size(); guard++) {
        DWORD from = leaf.pos, next = dir > 0 ? leaf.next : leaf.prev;
        if (!next || guard > 64 || !Load(t, next, &leaf) || leaf.level != 0 ||
            (dir > 0 ? leaf.prev : leaf.next) != from) {
            c->leaf = 0;
            return false;
        }
        c->leaf = next;
        c->slot = dir > 0 ? 0 : (LONG)leaf.keys.size() - 1;
    }
    return true;
}

bool LuTree_CursorKey(LuTree *t, const LuCursor *c, DWORD *itemPos) {
    LuPage leaf;
    if (!c->leaf || !Load(t, c->leaf, &leaf) || c->slot < 0 || (size_t)c->slot >= leaf.keys.size())
        return false;
    *itemPos = leaf.keys[(size_t)c->slot];
    return true;
}

namespace {

// Checks the subtree at pos; its keys are appended, its first key and total returned.
bool CheckPage(LuTree *t, DWORD pos, DWORD level, bool root, LuSeekProc cmpKeys, std::vector<DWORD> *keys,
               std::vector<std::vector<DWORD>> *levels, DWORD *total) {
    LuPage p;
    if (!Load(t, pos, &p) || p.level != level) return false;
    if (!root && p.keys.empty()) return false;
    if (p.keys.size() > t->cap) return false;
    if (levels->size() <= level) levels->resize(level + 1);
    (*levels)[level].push_back(pos);
    if (level == 0) {
        keys->insert(keys->end(), p.keys.begin(), p.keys.end());
        *total = (DWORD)p.keys.size();
        return true;
    }
    DWORD sum = 0;
    for (size_t i = 0; i < p.kids.size(); i++) {
        size_t first = keys->size();
        DWORD sub = 0;
        if (!CheckPage(t, p.kids[i], level - 1, false, cmpKeys, keys, levels, &sub) || sub != p.counts[i])
            return false;
        if (i > 0 && (first >= keys->size() || (*keys)[first] != p.keys[i - 1])) return false;
        sum += sub;
    }
    (void)cmpKeys;
    *total = sum;
    return true;
}

}  // namespace

bool LuTree_Check(LuTree *t, LuSeekProc cmpKeys, std::vector<DWORD> *keys) {
    keys->clear();
    DWORD root = LuTree_Root(t);
    if (!root) return true;
    LuPage r;
    if (!Load(t, root, &r)) return false;
    std::vector<std::vector<DWORD>> levels;
    DWORD total = 0;
    if (!CheckPage(t, root, r.level, true, cmpKeys, keys, &levels, &total)) return false;
    // Every level's chain runs through its pages in order.
    for (const std::vector<DWORD> &pages : levels) {
        for (size_t i = 0; i < pages.size(); i++) {
            LuPage p;
            if (!Load(t, pages[i], &p)) return false;
            if (p.prev != (i ? pages[i - 1] : 0) || p.next != (i + 1 < pages.size() ? pages[i + 1] : 0))
                return false;
        }
    }
    return total == keys->size();
}
