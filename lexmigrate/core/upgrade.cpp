// Upgrading one old dictionary: the old file, the patch and the base file are copied into the
// install folder, the base file is patched there, and only then does it take the dictionary's
// name and its catalogue entry.  Until that switch the dictionary the user has is never written
// to; every failure removes what the run made and leaves the rest as it was.
#include <stdio.h>
#include <string.h>

#include "migrate.h"

namespace {

// The working files of one upgrade in the install folder.
struct Work {
    char target[MAX_PATH];      // the dictionary's name in the install folder
    char oldCopy[MAX_PATH];     // the old file copied in (empty when it already was there)
    char patch[MAX_PATH];
    char base[MAX_PATH];
    char backup[MAX_PATH];      // the file the switch replaced, until the entry is written
};

bool InFolder(const char *folder, const char *name, char *out)
{
    Migrate_Copy(out, folder, MAX_PATH);
    return Basekit_PathAppend(out, name) != nullptr;
}

void ClearReadOnly(const char *path)
{
    DWORD a = GetFileAttributesA(path);
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path, a & ~FILE_ATTRIBUTE_READONLY);
}

void Remove(const char *path)
{
    if (!path[0]) return;
    ClearReadOnly(path);
    DeleteFileA(path);
}

// Removes every working file (the switched dictionary excepted).
void CleanUp(const Work &w)
{
    Remove(w.oldCopy);
    Remove(w.patch);
    Remove(w.base);
}

bool Stopping(const Migration *m) { return m->host->stopping && m->host->stopping(m->host->context); }

void Progress(const Migration *m, int percent) { m->host->progress(m->host->context, percent); }

bool FindPatch(const Migration *m, const char *name, char *out);

bool FoundOnCd(Migration *m, void *record)
{
    return Migrate_FindFile(m, (UpgradeRecord *)record, FIND_CD, m->env.cdFolder);
}

struct PatchSearch {
    const char *name;
    char *out;
};

bool PatchFound(Migration *m, void *search)
{
    PatchSearch *s = (PatchSearch *)search;
    return FindPatch(m, s->name, s->out);
}

// The old file where the record says, else where the scans look, else on the CD-ROM.
int MakeReachable(Migration *m, UpgradeRecord *r, const char *name)
{
    if (Migrate_FileExists(r->path)) return MIGRATE_CD_OK;
    r->matched = false;
    if (Migrate_FindFile(m, r, FIND_V3, m->env.v3Folder) ||
        Migrate_FindFile(m, r, FIND_V2, m->env.v2Folder))
        return MIGRATE_CD_OK;
    return Migrate_AskUntilFound(m, name, FoundOnCd, r);
}

// The patch file under the install folder, else under the CD folder.
bool FindPatch(const Migration *m, const char *name, char *out)
{
    return Migrate_SearchUnder(m->env.installFolder, name, out) ||
           Migrate_SearchUnder(m->env.cdFolder, name, out);
}

// Copies source into the install folder as target unless it is that file already.
bool CopyIn(const char *source, const char *target)
{
    if (lstrcmpiA(source, target) == 0) return true;
    if (!Migrate_LzCopy(source, target)) return false;
    ClearReadOnly(target);
    return true;
}

// Puts the patched base file in the dictionary's place and writes its entry; on any failure the
// place holds what it held before.
bool Switch(Migration *m, UpgradeRecord *r, Work *w, const DWORD *languages, int count)
{
    bool hadTarget = Migrate_FileExists(w->target);
    if (hadTarget) {
        ClearReadOnly(w->backup);
        if (!MoveFileExA(w->target, w->backup, MOVEFILE_REPLACE_EXISTING)) return false;
    }
    if (!MoveFileExA(w->base, w->target, 0)) {
        if (hadTarget) MoveFileExA(w->backup, w->target, 0);
        return false;
    }
    char name[256];
    Migrate_DisplayName(m, r, name, sizeof name);
    if (!Migrate_WriteCatalogue(r->newId, w->target, name, languages, count)) {
        DeleteFileA(w->target);
        if (hadTarget) MoveFileExA(w->backup, w->target, 0);
        return false;
    }
    if (hadTarget) Remove(w->backup);
    return true;
}

}  // namespace

int Migrate_AskUntilFound(Migration *m, const char *text, bool (*found)(Migration *, void *),
                          void *user)
{
    for (;;) {
        if (Stopping(m)) {
            m->aborted = true;
            return MIGRATE_CD_CANCEL;
        }
        char cd[MAX_PATH];
        Migrate_Copy(cd, m->env.cdFolder, sizeof cd);
        int answer = m->host->askCd(m->host->context, text, cd);
        if (Stopping(m)) {
            m->aborted = true;
            return MIGRATE_CD_CANCEL;
        }
        if (answer == MIGRATE_CD_OK) {
            Migrate_Copy(m->env.cdFolder, cd, sizeof m->env.cdFolder);
            if (found(m, user)) return MIGRATE_CD_OK;
        } else if (answer == MIGRATE_CD_SKIP) {
            return MIGRATE_CD_SKIP;
        } else if (m->host->askYesNo(m->host->context, IDS_MIG_STOP, IDS_MIG_NOTIFY) == IDYES) {
            m->aborted = true;
            return MIGRATE_CD_CANCEL;
        }
    }
}

int Migrate_Upgrade(Migration *m, UpgradeRecord *r)
{
    if (!r->matched) return UPGRADE_SKIPPED;
    const VLPatchRow *row = Migrate_FindPatchRow(r->product, r->newId);
    if (!row) return UPGRADE_SKIPPED;
    const MigrateHost *host = m->host;

    char name[256], text[512];
    Migrate_DisplayName(m, r, name, sizeof name);
    Migrate_Format(m, IDS_MIG_NOW_UPGRADING, name, text, sizeof text);
    host->status(host->context, text);
    Progress(m, 0);

    Work w = {};
    if (!InFolder(m->env.installFolder, r->fileName, w.target)) return UPGRADE_FAILED;
    DWORD attributes = GetFileAttributesA(w.target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        if (host->askYesNo(host->context, IDS_MIG_OVERWRITE, IDS_MIG_OVERWRITE_CAPTION) != IDYES)
            return UPGRADE_SKIPPED;
        ClearReadOnly(w.target);
    }
    if (Migrate_UsableFile(&m->env, r->newId, nullptr)) {
        Progress(m, 100);
        return UPGRADE_PRESENT;
    }
    int reach = MakeReachable(m, r, name);
    if (reach == MIGRATE_CD_SKIP) return UPGRADE_SKIPPED;
    if (reach == MIGRATE_CD_CANCEL) return UPGRADE_CANCELLED;

    // The old file, copied in unless it is the dictionary in the install folder itself.
    char caption[256] = "", message[256] = "";
    host->loadText(host->context, IDS_MIG_CAPTION, caption, sizeof caption);
    host->loadText(host->context, IDS_MIG_PREPARING, message, sizeof message);
    const char *old = r->path;
    if (lstrcmpiA(r->path, w.target) != 0) {
        char work[32];
        snprintf(work, sizeof work, "VLV4%04x.old", (unsigned)r->newId);
        InFolder(m->env.installFolder, work, w.oldCopy);
        if (!Basekit_CopyFileWithProgress(r->path, w.oldCopy, FALSE, caption, message,
                                          host->copyProgress, host->copyContext)) {
            Migrate_Trace("copy of %s failed (%lu)", r->path, GetLastError());
            CleanUp(w);
            return UPGRADE_FAILED;
        }
        ClearReadOnly(w.oldCopy);
        old = w.oldCopy;
    }
    Progress(m, 33);
    if (Stopping(m)) {
        CleanUp(w);
        return UPGRADE_CANCELLED;
    }

    // The patch and the base file beside it, from the install folder or the CD-ROM.
    char patchSource[MAX_PATH];
    if (!FindPatch(m, row->name, patchSource)) {
        char product[128] = "";
        host->loadText(host->context, IDS_MIG_PRODUCT, product, sizeof product);
        PatchSearch search = {row->name, patchSource};
        int answer = Migrate_AskUntilFound(m, product, PatchFound, &search);
        if (answer != MIGRATE_CD_OK) {
            CleanUp(w);
            return answer == MIGRATE_CD_SKIP ? UPGRADE_SKIPPED : UPGRADE_CANCELLED;
        }
    }
    char baseName[32], baseSource[MAX_PATH];
    Migrate_BaseFileName(r->newId, baseName, sizeof baseName);
    Migrate_Copy(baseSource, patchSource, sizeof baseSource);
    Basekit_PathReplaceFileName(baseSource, baseName);
    InFolder(m->env.installFolder, row->name, w.patch);
    InFolder(m->env.installFolder, baseName, w.base);
    if (!CopyIn(patchSource, w.patch) || !CopyIn(baseSource, w.base)) {
        Migrate_Trace("copy of %s or %s failed", patchSource, baseSource);
        CleanUp(w);
        return UPGRADE_FAILED;
    }
    Progress(m, 66);

    DWORD languages[PATCH_MAX_LANGUAGES];
    int count = 0;
    int patched = Migrate_ReadPatchHeader(w.patch, languages, &count);
    if (patched == PATCH_OK) patched = Migrate_ApplyPatch(old, w.patch, w.base);
    if (patched != PATCH_OK) Migrate_Trace("patch %s failed (%d)", row->name, patched);

    char backupName[32];
    snprintf(backupName, sizeof backupName, "VLV4%04x.bak", (unsigned)r->newId);
    InFolder(m->env.installFolder, backupName, w.backup);
    bool switched = false;
    if (host->enterReplace(host->context)) {
        if (patched == PATCH_OK) switched = Switch(m, r, &w, languages, count);
        CleanUp(w);
        host->leaveReplace(host->context);
    } else {
        CleanUp(w);
        return UPGRADE_CANCELLED;
    }
    if (!switched) return UPGRADE_FAILED;
    Migrate_RegisterLanguage(m, r->newId);
    r->upgraded = true;
    Progress(m, 100);
    return UPGRADE_DONE;
}
