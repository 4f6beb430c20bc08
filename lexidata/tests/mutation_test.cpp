// Random damage to a fixture dictionary: thousands of byte changes and truncations, each file
// then read through every reader of the library.  Nothing may crash, hang or read outside its
// buffers; what the readers answer is not checked beyond that.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include <vector>
#include "lexidata.h"
#include "fixtures/dicwriter.h"
#include "support/testkit_files.h"

namespace {

struct Rng {
    uint32_t s;
    uint32_t Next() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
};

void Mutate(std::vector<uint8_t> &b, Rng &rng) {
    uint32_t how = rng.Below(4);
    if (how != 1) {
        int flips = 1 + (int)rng.Below(8);
        for (int i = 0; i < flips && !b.empty(); i++) {
            // Half of the changes land on the records behind the fixed areas, where most of the
            // reading happens.
            uint32_t at = rng.Below(2) ? 912 + rng.Below((uint32_t)b.size() - 912) : rng.Below((uint32_t)b.size());
            b[at] = rng.Below(3) == 0 ? (uint8_t)(b[at] ^ (1u << rng.Below(8))) : (uint8_t)rng.Next();
        }
    }
    if (how >= 1 && how <= 2) b.resize(rng.Below((uint32_t)b.size() + 1));
}

void ReadEverything(const char *path, const dicfix::Layout &lay, Rng &rng) {
    DicInfo info;
    if (!DLVReadDicHeader(nullptr, path, &info)) {
        // Keep going with a plausible record: the records behind the header are read anyway.
        memset(&info, 0, sizeof info);
        info.headerFlags = 0x400;
        info.decoderVersion = (WORD)(rng.Below(2) ? 1025 : 0);
    }
    snprintf(info.path, sizeof info.path, "%s", path);
    info.kind = 1;
    DLVDestroyFontInfo(DLVReadFontInfo(&info));
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DicProperty sub;
    memset(&sub, 0, sizeof sub);
    sub.charset = (BYTE)(rng.Below(2) ? 128 : 0);
    DicSession s;
    memset(&s, 0, sizeof s);
    s.fileRecord = &info;
    s.subDic = &sub;
    s.textFile = s.indexFile = f;
    auto seek = [f](uint32_t pos) { SetFilePointer(f, (LONG)pos, nullptr, FILE_BEGIN); };
    auto u32At = [f, &seek](uint32_t pos) {
        seek(pos);
        BYTE b[4] = {0};
        DWORD got = 0;
        ReadFile(f, b, 4, &got, nullptr);
        return b[0] | (b[1] << 8) | (b[2] << 16) | ((uint32_t)b[3] << 24);
    };

    // Headword indexes: follow the (possibly damaged) pointer tables, as the engine would.
    const uint32_t kinds[] = {1, 7};
    for (size_t i = 0; i < lay.indexes.size(); i++) {
        const dicfix::IndexLayout &il = lay.indexes[i];
        for (uint32_t k = 0; k < il.count; k++) {
            uint32_t rec = u32At(il.forwardTable + 4 * k);
            sub.indexKind = kinds[i];
            seek(rec);
            VLDataItem *it = VLDataItem_Read(&s);
            uint32_t textPos = it ? it->head.textPos : il.texts[k];
            if (it) {
                VLDataItem *dup = VLDataItem_Dup(it);
                VLDataItem_Destroy(dup);
            }
            VLDataItem_Destroy(it);
            VLIndexRecord ir;
            sub.indexKind = 1 + rng.Below(7);
            seek(rec);
            DLVGetIndex(&s, &ir);
            VLData data;
            memset(&data, 0, sizeof data);
            DLVData_Read(&s, &info, textPos, &data);
            VLMem_Free(data.data1);
            VLMem_Free(data.data2);
        }
    }
    HNEncodeSetVersion(info.decoderVersion);
    BOOL decode = (info.headerFlags & 0x400) != 0;
    for (uint32_t k = 0; k < lay.labels.count; k++) {
        seek(u32At(lay.labels.forwardTable + 4 * k));
        VLLabelItem_Destroy(DLVLabelItem_Read(f, decode));
    }
    for (uint32_t k = 0; k < lay.pages.count; k++) {
        seek(u32At(lay.pages.forwardTable + 4 * k));
        VLPageItem_Destroy(DLVPageItem_Read(f, "name", decode));
    }
    // A few reads from anywhere.
    for (int n = 0; n < 4; n++) {
        uint32_t pos = rng.Below(lay.size + 64);
        sub.indexKind = 1 + rng.Below(7);
        seek(pos);
        VLDataItem_Destroy(VLDataItem_Read(&s));
        seek(pos);
        VLFileItem_Destroy(VLFileItem_Read(&s));
        seek(pos);
        VLLabelItem_Destroy(DLVLabelItem_Read(f, decode));
        VLData data;
        memset(&data, 0, sizeof data);
        DLVData_Read(&s, &info, pos, &data);
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
    }
    CloseHandle(f);
}

TEST(Mutation, DamagedDictionariesNeverCrashOrHang) {
    const char *path = "mutated.dic";
    Rng rng{12345};
    int rounds = 0;
    for (dicfix::Coding coding : {dicfix::Coding::V0, dicfix::Coding::V1, dicfix::Coding::Plain}) {
        dicfix::Layout lay;
        const std::vector<uint8_t> base = dicfix::Build(dicfix::Sample(coding), &lay);
        ASSERT_FALSE(base.empty());
        for (int i = 0; i < 1200; i++, rounds++) {
            std::vector<uint8_t> bytes = base;
            Mutate(bytes, rng);
            ASSERT_TRUE(dicfix::WriteBytes(path, bytes));
            ReadEverything(path, lay, rng);
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_EQ(rounds, 3600);
    DeleteFileA(path);
}

// The same for word-list files: a damaged file is loaded whole or refused, never half.
TEST(Mutation, DamagedWordListsLoadWholeOrNotAtAll) {
    const char *path = "mutated.vlh";
    VLWordList *src = VLWordList_Create(6);
    for (int i = 0; i < 6; i++) {
        VLDataItem h;
        memset(&h, 0, sizeof h);
        h.head.entryNo = (DWORD)i;
        std::string w = "word" + std::to_string(i);
        VLDataItem *it = VLDataItem_Create(&h, w.c_str(), i % 2 ? "second" : nullptr, nullptr,
                                           i % 3 ? nullptr : "fourth");
        VLWordList_Add(src, it);
        VLDataItem_Destroy(it);
    }
    ASSERT_TRUE(VLWordList_Save(src, path));
    std::vector<uint8_t> base = Testkit_ReadBytes(path);
    Rng rng{777};
    VLWordList *list = VLWordList_Create(4);
    for (int i = 0; i < 1500; i++) {
        std::vector<uint8_t> bytes = base;
        int flips = 1 + (int)rng.Below(4);
        for (int k = 0; k < flips; k++) bytes[rng.Below((uint32_t)bytes.size())] = (uint8_t)rng.Next();
        if (rng.Below(4) == 0) bytes.resize(rng.Below((uint32_t)bytes.size() + 1));
        ASSERT_TRUE(dicfix::WriteBytes(path, bytes));
        if (VLWordList_Load(list, path)) {
            // Every loaded item is whole: its strings lie in its block and end where they say.
            for (LONG k = 0; k < VLWordList_Count(list); k++) {
                VLDataItem *it = VLWordList_GetItem(list, k);
                ASSERT_NE(it, nullptr);
                const char *lo = (const char *)it, *hi = lo + it->head.size;
                for (const char *p : {it->headword, it->second, it->third, it->fourth}) {
                    if (p) {
                        ASSERT_TRUE(p >= (const char *)(it + 1) && p < hi);
                        ASSERT_LT(p + strlen(p), hi);
                    }
                }
            }
            for (LONG k = VLWordList_Count(list); k < list->maximum; k++) ASSERT_EQ(list->slots[k], nullptr);
        }
    }
    VLWordList_Destroy(list);
    VLWordList_Destroy(src);
    DeleteFileA(path);
}

}  // namespace
