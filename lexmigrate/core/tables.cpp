// The built-in tables: the old dictionary files the upgrade knows, the dictionaries it can add from
// the CD-ROM, and the upgrade patch of each old edition.  The rows stand for products of
// dictionary publishers; their names, sizes and codes are this program's own.
#include <stdio.h>
#include <string.h>

#include "migrate.h"

namespace {

// Product codes: 0x3000xxxx version-3 editions, 0x2000xxxx version-2 editions.  The size of each
// edition is exact; the two GRANDEJ3.DIC editions have the same size and are told apart by the
// bytes at KNOWN_SUM_OFFSET.
const KnownFile kKnownFiles[] = {
    {"EIWA3.DIC", 0x30000101, 0x1001, 18874368, 0},
    {"WAEI3.DIC", 0x30000102, 0x1002, 16252928, 0},
    {"CHSJA3.DIC", 0x30000103, 0x1003, 9437184, 0},
    {"JACHS3.DIC", 0x30000104, 0x1004, 8388608, 0},
    {"KOKUGO3.DIC", 0x30000105, 0x1005, 25165824, 0},
    {"DEJA3.DIC", 0x30000106, 0x1006, 11534336, 0},
    {"JADE3.DIC", 0x30000107, 0x1007, 7340032, 0},
    {"FRJA3.DIC", 0x30000108, 0x1008, 10485760, 0},
    {"JAFR3.DIC", 0x30000109, 0x1009, 6291456, 0},
    {"GRANDEJ3.DIC", 0x3000010A, 0x100A, 7340032, KNOWN_SUM_CHECK},
    {"GRANDEJ3.DIC", 0x3000010B, 0x100B, 7340032, 0},
    {"KOJA3.DIC", 0x3000010C, 0x100C, 8912896, 0},
    {"JAKO3.DIC", 0x3000010D, 0x100D, 8126464, 0},
    {"ESJA3.DIC", 0x3000010E, 0x100E, 5767168, 0},
    {"ITJA3.DIC", 0x3000010F, 0x100F, 5505024, 0},
    {"THESEN3.DIC", 0x30000110, 0x1010, 4194304, 0},
    {"IDIOMS3.DIC", 0x30000111, 0x1011, 2621440, 0},
    {"TECHEJ3.DIC", 0x30000112, 0x1012, 13631488, 0},
    {"MEDEJ3.DIC", 0x30000113, 0x1013, 12058624, 0},
    {"BIZEJ3.DIC", 0x30000114, 0x1014, 3670016, 0},
    {"KANJI3.DIC", 0x30000115, 0x1015, 6815744, 0},
    {"KATAKANA3.DIC", 0x30000116, 0x1016, 2097152, 0},
    {"POCKETEJ.DIC", 0x30000117, 0x1017, 614400, 0},
    {"POCKETJE.DIC", 0x30000118, 0x1018, 573440, 0},
    {"PHRASEEJ.DIC", 0x30000119, 0x1019, 1048576, 0},
    {"NOJA3.DIC", 0x3000011A, 0x101A, 3145728, 0},
    {"SVJA3.DIC", 0x3000011B, 0x101B, 3407872, 0},
    {"FIJA3.DIC", 0x3000011C, 0x101C, 2883584, 0},
    {"CHSEN3.DIC", 0x3000011D, 0xE003, 9961472, 0},
    {"ENCHS3.DIC", 0x3000011E, 0xE004, 8650752, 0},
    {"CHTJA3.DIC", 0x3000011F, 0xE005, 7864320, 0},
    {"JACHT3.DIC", 0x30000120, 0xE006, 7602176, 0},
    {"CHSIDIOM.DIC", 0x30000121, 0xE007, 1572864, 0},
    {"CHSPHRS.DIC", 0x30000122, 0xE008, 1310720, 0},
    {"CHTIDIOM.DIC", 0x30000123, 0xE009, 1835008, 0},
    {"CHTPHRS.DIC", 0x30000124, 0xE00A, 1376256, 0},
    {"EIWA2.DIC", 0x20000101, 0x1001, 15728640, 0},
    {"WAEI2.DIC", 0x20000102, 0x1002, 13107200, 0},
    {"KOKUGO2.DIC", 0x20000105, 0x1005, 20971520, 0},
    {"MINIEJ2.DIC", 0x20000117, 0x1017, 532480, 0},
    // Editions that are recognised but have no upgrade patch.
    {"EIWA3.DIC", 0x30000201, 0x1001, 18350080, 0},
    {"WAEI3.DIC", 0x30000202, 0x1002, 15990784, 0},
    {"DEJA3.DIC", 0x30000206, 0x1006, 11272192, 0},
    {"FRJA3.DIC", 0x30000208, 0x1008, 10223616, 0},
    {"KOKUGO3.DIC", 0x30000205, 0x1005, 24641536, 0},
    {"TECHEJ3.DIC", 0x30000212, 0x1012, 13369344, 0},
    {"MEDEJ3.DIC", 0x30000213, 0x1013, 11796480, 0},
    {"EIWA2.DIC", 0x20000201, 0x1001, 15466496, 0},
    {"WAEI2.DIC", 0x20000202, 0x1002, 12845056, 0},
    {"GEOGRA2.DIC", 0x20000125, 0x1025, 4718592, 0},
    {"HISTORY2.DIC", 0x20000126, 0x1026, 5242880, 0},
    {"VLSAMPLE.DIC", 0x30000127, 0x1027, 524288, 0},
    {"VLTRIAL.DIC", 0x30000128, 0x1028, 786432, 0},
    {"SPORTS2.DIC", 0x20000129, 0x1029, 2359296, 0},
    {"", 0, 0, 0, 0},
};

const AdditionalDic kAdditional[] = {
    {0x1006, "DEJA3.DIC"},    {0x1007, "JADE3.DIC"},     {0x1008, "FRJA3.DIC"},
    {0x1009, "JAFR3.DIC"},    {0x100C, "KOJA3.DIC"},     {0x100D, "JAKO3.DIC"},
    {0x100E, "ESJA3.DIC"},    {0x100F, "ITJA3.DIC"},     {0x1010, "THESEN3.DIC"},
    {0x1011, "IDIOMS3.DIC"},  {0x1014, "BIZEJ3.DIC"},    {0x1015, "KANJI3.DIC"},
    {0x1018, "POCKETJE.DIC"}, {0x101A, "NOJA3.DIC"},     {0x101B, "SVJA3.DIC"},
    {0x101C, "FIJA3.DIC"},    {0xE007, "CHSIDIOM.DIC"},  {0xE009, "CHTIDIOM.DIC"},
};

const VLPatchRow kPatches[] = {
    {"VLV40001.wup", 0x30000101, 0x1001}, {"VLV40002.wup", 0x30000102, 0x1002},
    {"VLV40003.wup", 0x30000103, 0x1003}, {"VLV40004.wup", 0x30000104, 0x1004},
    {"VLV40005.wup", 0x30000105, 0x1005}, {"VLV40006.wup", 0x30000106, 0x1006},
    {"VLV40007.wup", 0x30000107, 0x1007}, {"VLV40008.wup", 0x30000108, 0x1008},
    {"VLV40009.wup", 0x30000109, 0x1009}, {"VLV40010.wup", 0x3000010A, 0x100A},
    {"VLV40011.wup", 0x3000010B, 0x100B}, {"VLV40012.wup", 0x3000010C, 0x100C},
    {"VLV40013.wup", 0x3000010D, 0x100D}, {"VLV40014.wup", 0x3000010E, 0x100E},
    {"VLV40015.wup", 0x3000010F, 0x100F}, {"VLV40016.wup", 0x30000110, 0x1010},
    {"VLV40017.wup", 0x30000111, 0x1011}, {"VLV40018.wup", 0x30000112, 0x1012},
    {"VLV40019.wup", 0x30000113, 0x1013}, {"VLV40020.wup", 0x30000114, 0x1014},
    {"VLV40021.wup", 0x30000115, 0x1015}, {"VLV40022.wup", 0x30000116, 0x1016},
    {"VLV40023.wup", 0x30000117, 0x1017}, {"VLV40024.wup", 0x30000118, 0x1018},
    {"VLV40025.wup", 0x30000119, 0x1019}, {"VLV40026.wup", 0x3000011A, 0x101A},
    {"VLV40027.wup", 0x3000011B, 0x101B}, {"VLV40028.wup", 0x3000011C, 0x101C},
    {"VLV40029.wup", 0x3000011D, 0xE003}, {"VLV40030.wup", 0x3000011E, 0xE004},
    {"VLV40031.wup", 0x3000011F, 0xE005}, {"VLV40032.wup", 0x30000120, 0xE006},
    {"VLV40033.wup", 0x30000121, 0xE007}, {"VLV40034.wup", 0x30000122, 0xE008},
    {"VLV40035.wup", 0x30000123, 0xE009}, {"VLV40036.wup", 0x30000124, 0xE00A},
    {"VLV40037.wup", 0x20000101, 0x1001}, {"VLV40038.wup", 0x20000102, 0x1002},
    {"VLV40039.wup", 0x20000105, 0x1005}, {"VLV40040.wup", 0x20000117, 0x1017},
    {"", 0, 0},
};

// Dictionaries that the scans never ask for on the CD-ROM: samples and trial editions that came
// with the older versions.
const char *const kExceptedTitlePrefixes[] = {"Sample ", "Trial "};
const char *const kExceptedNames[] = {"VLSAMPLE.DIC", "VLTRIAL.DIC"};
// The electronic-book engine of version 3: its dictionaries are books, not files to upgrade.
const char kSkippedEngine[] = "VLEBOOK";

template <class T, size_t N>
int RowsBeforeEnd(const T (&)[N]) { return (int)N - 1; }

}  // namespace

const KnownFile *Migrate_KnownFiles(int *count)
{
    if (count) *count = RowsBeforeEnd(kKnownFiles);
    return kKnownFiles;
}

const AdditionalDic *Migrate_AdditionalDics(int *count)
{
    if (count) *count = (int)(sizeof kAdditional / sizeof kAdditional[0]);
    return kAdditional;
}

const VLPatchRow *Migrate_PatchRows(int *count)
{
    if (count) *count = RowsBeforeEnd(kPatches);
    return kPatches;
}

const VLPatchRow *Migrate_FindPatchRow(DWORD product, DWORD newId)
{
    for (const VLPatchRow *p = kPatches; p->newId != 0; p++)
        if (p->product == product && p->newId == newId) return p;
    return nullptr;
}

void Migrate_BaseFileName(DWORD newId, char *out, int cap)
{
    snprintf(out, (size_t)cap, "%s%04x%s", "VLV4", (unsigned)newId, ".bdf");
}

bool Migrate_IsKnownName(const char *fileName)
{
    for (const KnownFile *k = kKnownFiles; k->size != 0; k++)
        if (lstrcmpiA(k->name, fileName) == 0) return true;
    return false;
}

bool Migrate_IsExcepted(const char *title, const char *fileName)
{
    for (const char *prefix : kExceptedTitlePrefixes)
        if (_strnicmp(title, prefix, strlen(prefix)) == 0) return true;
    for (const char *name : kExceptedNames)
        if (lstrcmpiA(fileName, name) == 0) return true;
    return false;
}

bool Migrate_IsSkippedEngine(const char *dllName)
{
    return _strnicmp(dllName, kSkippedEngine, sizeof kSkippedEngine - 1) == 0;
}
