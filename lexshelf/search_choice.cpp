// The choice of dictionaries and languages for a search, and the small decisions around it.  Only
// the facts handed in through ShelfWorld are looked at, so the choice is tested on its own.
#include "search_int.h"

int Shelf_KindEntry(DWORD kind) {
    switch (kind) {
    case 5: return 1;
    case 4: return 2;
    case 6: return 3;
    case 7: return 4;
    default: return 0;
    }
}

bool Shelf_KindMode(const ShelfLangFacts &facts, DWORD kind, DWORD callerMode, DWORD *mode, DWORD *flags) {
    if (kind < 1 || kind > 7) {
        *mode = callerMode;
        *flags = 0;
        return true;
    }
    const ShelfKindEntry &e = facts.entries[Shelf_KindEntry(kind)];
    // The first entry serves the three pop-up kinds together: it applies to each of them once it
    // names any of them (0 means the kinds are not looked up).
    bool applies = Shelf_KindEntry(kind) == 0 ? (e.number >= 1 && e.number <= 3) : e.number == kind;
    if (!applies)
        return false;
    *mode = e.mode;
    *flags = e.flags;
    return true;
}

DWORD Shelf_FirstKey(DWORD kind) {
    if (kind >= 1 && kind <= 3)
        return 1;
    if (kind == 4 || kind == 5)
        return 2;
    if (kind == 6)
        return 3;
    if (kind == 7)
        return 4;
    return kind;
}

int Shelf_CharsetSlot(int charset) {
    switch (charset) {
    case 128: return 1;
    case 134: return 2;
    case 136: return 3;
    case 129: return 4;
    default: return 0;
    }
}

bool Shelf_BoxHolds(POINT origin, POINT cursor) {
    LONG dx = cursor.x - origin.x, dy = cursor.y - origin.y;
    return dx >= -2 && dx < 2 && dy >= -3 && dy < 3;
}

void Shelf_SortChoice(DWORD kind, DWORD searchMode, int sortByLength, int *mode, int *descending) {
    *descending = 0;
    if (kind == 5) {
        *mode = 3;
    } else if ((searchMode == 2 || searchMode == 3) && sortByLength == 0) {
        *mode = 1;
        *descending = 1;
    } else {
        *mode = sortByLength;
    }
}

int Shelf_PlanLanguage(const ShelfPlan &plan, WORD language) {
    for (size_t i = 0; i < plan.langs.size(); i++)
        if (plan.langs[i].language == language)
            return (int)i;
    return -1;
}

namespace {

bool Held(const ShelfPlan &plan, DWORD id) {
    for (const ShelfPlanDic &d : plan.dics)
        if (d.id == id)
            return true;
    return false;
}

// Takes the language into the plan (once) when its key is not empty; false when it cannot serve.
bool TakeLanguage(const ShelfWorld &world, ShelfPlan *plan, WORD language, BYTE charset, DWORD mode, DWORD flags) {
    if (Shelf_PlanLanguage(*plan, language) >= 0)
        return true;
    if (plan->langs.size() >= SHELF_PLAN_LANGS || !world.key(world.context, language, charset))
        return false;
    plan->langs.push_back({language, mode, flags, charset});
    return true;
}

void TakeDic(ShelfPlan *plan, DWORD id, const ShelfDicFacts &facts, DWORD order) {
    if (plan->dics.size() < SHELF_PLAN_DICS && !Held(*plan, id))
        plan->dics.push_back({id, facts.language, order, facts.catalogueKind});
}

// A dictionary named by itself: its language decides the mode of the request kind.
void ChooseByDictionary(const ShelfChoice &c, const ShelfWorld &world, ShelfPlan *plan, DWORD id, DWORD order) {
    ShelfDicFacts facts;
    ShelfLangFacts lang;
    DWORD mode, flags;
    if (Held(*plan, id) || !world.dic(world.context, id, &facts) || !world.language(world.context, facts.language, &lang) ||
        !Shelf_KindMode(lang, c.kind, c.mode, &mode, &flags))
        return;
    if (TakeLanguage(world, plan, facts.language, lang.charset, mode, c.flags | flags))
        TakeDic(plan, id, facts, order);
}

// A dictionary of a group: it takes part when the text fits it; the caller's mode and flags hold.
void ChooseInGroup(const ShelfChoice &c, const ShelfWorld &world, ShelfPlan *plan, DWORD id, DWORD order) {
    ShelfDicFacts facts;
    ShelfLangFacts lang;
    if (Held(*plan, id) || !world.dic(world.context, id, &facts) || !world.language(world.context, facts.language, &lang))
        return;
    bool fits = c.multiByte ? facts.charset == c.textCharset : facts.charsetNext == 0;
    if (fits && TakeLanguage(world, plan, facts.language, lang.charset, c.mode, c.flags))
        TakeDic(plan, id, facts, order);
}

}  // namespace

bool Shelf_ChoosePlan(const ShelfChoice &c, const ShelfWorld &world, ShelfPlan *plan) {
    plan->dics.clear();
    plan->langs.clear();
    if (c.dicId >= 0x100000) {
        ChooseByDictionary(c, world, plan, c.dicId, 0);
    } else if (c.dicId != 0) {
        std::vector<DWORD> dics;
        if (world.group(world.context, c.dicId, &dics))
            for (size_t i = 0; i < dics.size(); i++)
                ChooseInGroup(c, world, plan, dics[i], (DWORD)i);
    } else {
        DWORD key = Shelf_FirstKey(c.kind);
        DWORD second = (DWORD)c.charset;
        DWORD probe;
        if (key >= 0x100000 && world.transSet(world.context, key, 0, 1, &probe)) {
            key = 1;
            ShelfLangFacts lang;
            if (world.language(world.context, (DWORD)c.charset, &lang))
                second = lang.charset;
        }
        for (DWORD slot = 1; slot <= 5; slot++) {
            DWORD id;
            if (!world.transSet(world.context, key, second, slot, &id) || id == 0)
                continue;
            DWORD order = (slot - 1) << 16;
            std::vector<DWORD> dics;
            if (id >= 0x100000)
                ChooseByDictionary(c, world, plan, id, order);
            else if (world.group(world.context, id, &dics))
                for (size_t i = 0; i < dics.size(); i++)
                    ChooseByDictionary(c, world, plan, dics[i], order | (DWORD)i);
        }
    }
    return !plan->dics.empty();
}
