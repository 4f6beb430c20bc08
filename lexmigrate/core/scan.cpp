// The scans of the older versions (version 3 in the machine store, version 2 in its settings file)
// and the offer of the dictionaries that can be added from the CD-ROM.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "migrate.h"

namespace {

const char kV3DictionaryKey[] = "SOFTWARE\\Halvenstone\\Velosuite\\3.0\\Dictionary";

void UserDictionaryNote(Migration *m)
{
    if (m->userNoteShown) return;
    m->userNoteShown = true;
    m->host->note(m->host->context, IDS_MIG_USERDIC, IDS_MIG_USERDIC_CAPTION);
}

// The last component of a path.
const char *FileNamePart(const char *path)
{
    const char *slash = Basekit_PathFindFileName(path);
    return slash ? slash + 1 : path;
}

bool FoundOnCd(Migration *m, void *record)
{
    return Migrate_FindFile(m, (UpgradeRecord *)record, FIND_CD, m->env.cdFolder);
}

// Upgrades the record found in folder (kind), or asks for it on the CD-ROM.
void FindAndUpgrade(Migration *m, size_t index, int kind, const char *folder, const char *version)
{
    UpgradeRecord *r = &m->records[index];
    if (Migrate_FindFile(m, r, kind, folder)) {
        if (Migrate_Upgrade(m, r) == UPGRADE_CANCELLED) m->aborted = true;
        return;
    }
    if (!Migrate_IsKnownName(r->fileName) || Migrate_IsExcepted(r->title, r->fileName)) return;
    char name[256], label[300];
    Migrate_DisplayName(m, r, name, sizeof name);
    snprintf(label, sizeof label, "%s%s", version, name);
    Migrate_AskAndUpgrade(m, r, label);
}

}  // namespace

void Migrate_AskAndUpgrade(Migration *m, UpgradeRecord *r, const char *label)
{
    if (Migrate_AskUntilFound(m, label, FoundOnCd, r) != MIGRATE_CD_OK) return;
    if (Migrate_Upgrade(m, r) == UPGRADE_CANCELLED) m->aborted = true;
}

void Migrate_ScanV3(Migration *m)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kV3DictionaryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    int count = Basekit_RegCountSubkeys(key);
    for (int i = 0; i < count && !m->aborted; i++) {
        char idText[256] = "";
        HKEY sub = Basekit_RegOpenSubkeyByIndex(key, i, idText);
        if (!sub) continue;
        UpgradeRecord r = {};
        char dll[MAX_PATH] = "";
        DWORD type = 0, size = sizeof dll - 1;
        if (RegQueryValueExA(sub, "DLLName", nullptr, &type, (BYTE *)dll, &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            dll[0] = 0;
        size = sizeof r.title - 1;
        if (RegQueryValueExA(sub, "Name", nullptr, &type, (BYTE *)r.title, &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            r.title[0] = 0;
        r.title[sizeof r.title - 1] = 0;
        DWORD priority = 0;
        size = sizeof priority;
        if (RegQueryValueExA(sub, "Priority", nullptr, &type, (BYTE *)&priority, &size) == ERROR_SUCCESS &&
            type == REG_DWORD)
            r.priority = priority;
        RegCloseKey(sub);

        if (!dll[0] || Migrate_IsSkippedEngine(FileNamePart(dll))) continue;
        DWORD id = strtoul(idText, nullptr, 16);
        if (id >= 0xF000) {
            UserDictionaryNote(m);
            continue;
        }
        if (Migrate_UsableFile(&m->env, id, nullptr)) continue;
        Migrate_Copy(r.fileName, FileNamePart(dll), sizeof r.fileName);
        Basekit_PathSetExtension(r.fileName, ".dic");
        r.version = 3;
        m->records.push_back(r);
        FindAndUpgrade(m, m->records.size() - 1, FIND_V3, m->env.v3Folder, "Ver.3 ");
    }
    RegCloseKey(key);
}

void Migrate_ScanV2(Migration *m)
{
    if (!m->env.oldSettings[0]) return;
    std::vector<char> keys(32768);
    DWORD n = GetPrivateProfileStringA("Dictionary", nullptr, "", keys.data(), (DWORD)keys.size(),
                                       m->env.oldSettings);
    for (const char *k = keys.data(); k < keys.data() + n && *k && !m->aborted; k += strlen(k) + 1) {
        char file[MAX_PATH] = "";
        GetPrivateProfileStringA(k, "DICT1", "", file, sizeof file, m->env.oldSettings);
        if (!file[0]) continue;
        const char *name = FileNamePart(file);
        if (_strnicmp(name, "us", 2) == 0) {
            UserDictionaryNote(m);
            continue;
        }
        UpgradeRecord r = {};
        Migrate_Copy(r.fileName, name, sizeof r.fileName);
        r.version = 2;
        m->records.push_back(r);
        FindAndUpgrade(m, m->records.size() - 1, FIND_V2, m->env.v2Folder, "Ver.2 ");
    }
}

bool Migrate_AnyMatched(const Migration *m)
{
    for (const UpgradeRecord &r : m->records)
        if (r.matched) return true;
    return false;
}

void Migrate_OfferAdditional(Migration *m)
{
    const MigrateHost *host = m->host;
    bool asked = false;
    while (!m->aborted) {
        if (host->stopping && host->stopping(host->context)) return;
        int count = 0;
        const AdditionalDic *rows = Migrate_AdditionalDics(&count);
        std::vector<const AdditionalDic *> missing;
        for (int i = 0; i < count; i++)
            if (!Migrate_UsableFile(&m->env, rows[i].newId, nullptr)) missing.push_back(&rows[i]);
        if (missing.empty()) return;
        if (!asked) {
            asked = true;
            if (host->askYesNo(host->context, IDS_MIG_MORE, IDS_MIG_MORE_CAPTION) == IDNO) return;
        }
        std::vector<std::vector<char>> texts;
        std::vector<const char *> titles;
        for (const AdditionalDic *row : missing) {
            std::vector<char> t(128);
            if (host->loadText(host->context, row->newId, t.data(), (int)t.size()) <= 0)
                Migrate_Copy(t.data(), row->name, t.size());
            texts.push_back(t);
        }
        for (const std::vector<char> &t : texts) titles.push_back(t.data());
        int chosen = host->chooseAdditional(host->context, titles);
        if (chosen < 0 || chosen >= (int)missing.size()) return;

        UpgradeRecord r = {};
        Migrate_Copy(r.fileName, missing[chosen]->name, sizeof r.fileName);
        Migrate_Copy(r.title, titles[chosen], sizeof r.title);
        m->records.push_back(r);
        UpgradeRecord *rec = &m->records.back();
        if (Migrate_FindFile(m, rec, FIND_CD, m->env.cdFolder)) {
            if (Migrate_Upgrade(m, rec) == UPGRADE_CANCELLED) m->aborted = true;
        } else {
            Migrate_AskAndUpgrade(m, rec, rec->title);
        }
    }
}
