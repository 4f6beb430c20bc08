// dicbuild: turns a dictd database or an EDICT file into a static dictionary file and registers it.
//
//   dicbuild --format dictd --index X.index --data X.dict.dz | --format edict --data edict
//            --out file.dic --lang 0700 --target 0100 --codepage 1252 --id 2102
//            [--coded] [--name text] [--nick text] [--font face] [--register] [--default] [--popup slot]
//   dicbuild --drivers      names the language drivers beside the program in the language keys
//   dicbuild --register-only --out file.dic --lang ... --id ... [--default] [--popup slot]
//                                                                  registers a built file
// --popup puts the registered dictionary into the pop-up group and into the slot (1 to 5) of the
// current translation set's pop-up entry for its charset, so that the pop-up looks words up in it.
//
// Prints what it met (lines, entries, malformed lines, replaced characters, left-out headwords).
// Exit status 0 when the file was written, 1 on bad arguments, 2 when a source cannot be read,
// 3 when the file cannot be written, 4 when it cannot be registered.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "linguakeeper.h"
#include "dicbuild_int.h"

int main(int argc, char **argv) {
    std::string format, index, data, out;
    DbOptions opt;
    UINT cp = 1252;
    bool reg = false, makeDefault = false, drivers = false, registerOnly = false;
    DWORD popupSlot = 0;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        const char *v = i + 1 < argc ? argv[i + 1] : nullptr;
        auto take = [&](std::string *s) { if (v) { *s = v; i++; } };
        if (a == "--format") take(&format);
        else if (a == "--index") take(&index);
        else if (a == "--data") take(&data);
        else if (a == "--out") take(&out);
        else if (a == "--name") take(&opt.name);
        else if (a == "--nick") take(&opt.nickname);
        else if (a == "--font") take(&opt.font);
        else if (a == "--lang" && v) { opt.language = (WORD)strtoul(v, nullptr, 16); i++; }
        else if (a == "--target" && v) { opt.target = (WORD)strtoul(v, nullptr, 16); i++; }
        else if (a == "--id" && v) { opt.fileId = strtoul(v, nullptr, 16); i++; }
        else if (a == "--codepage" && v) { cp = (UINT)strtoul(v, nullptr, 10); i++; }
        else if (a == "--coded") opt.coded = true;
        else if (a == "--register") reg = true;
        else if (a == "--default") makeDefault = reg = true;
        else if (a == "--popup" && v) { popupSlot = strtoul(v, nullptr, 10); reg = true; i++; }
        else if (a == "--drivers") drivers = true;
        else if (a == "--register-only") registerOnly = true;
        else {
            fprintf(stderr, "dicbuild: unknown argument %s\n", a.c_str());
            return 1;
        }
    }
    if (drivers) {
        Db_RegisterDrivers();
        if (format.empty() && !registerOnly) return 0;
    }
    if (registerOnly) {
        opt.charset = cp == 932 ? 128 : 0;
        if (out.empty() || !Db_Register(opt, out.c_str(), makeDefault) ||
            (popupSlot && !Db_AddToPopup(opt, popupSlot))) {
            fprintf(stderr, "dicbuild: cannot register %s\n", out.c_str());
            return 4;
        }
        return 0;
    }
    if ((format != "dictd" && format != "edict") || data.empty() || out.empty() ||
        (format == "dictd" && index.empty())) {
        fprintf(stderr, "dicbuild: --format dictd|edict, --data, --out (and --index for dictd) are needed\n");
        return 1;
    }
    opt.charset = cp == 932 ? 128 : 0;
    if (format == "edict") cp = 932, opt.charset = 128;
    DbSource src;
    bool read;
    DWORD t0 = GetTickCount();
    if (format == "dictd") {
        DbCodePage page;
        if (!Db_LoadCodePage(cp, &page)) {
            fprintf(stderr, "dicbuild: code page %u is not available\n", cp);
            return 1;
        }
        read = Db_ReadDictd(index.c_str(), data.c_str(), page, &src);
    } else {
        read = Db_ReadEdict(data.c_str(), &src);
    }
    for (const std::string &n : src.notes) fprintf(stderr, "dicbuild: %s\n", n.c_str());
    if (!read) return 2;
    const DbCounts &c = src.counts;
    printf("%s: %ld lines, %ld entries, %ld malformed lines left out, %ld database entries left out, "
           "%ld invalid byte sequences and %ld characters not in code page %u replaced by '?' (in %ld entries)\n",
           out.c_str(), c.lines, c.entries, c.malformed, c.meta, c.badBytes, c.unencodable, cp,
           c.unencodableEntries);
    Linguakeeper_Init(0);
    DbResult res;
    bool ok = Db_Write(src, opt, out.c_str(), &res);
    Linguakeeper_Term();
    if (!ok) {
        fprintf(stderr, "dicbuild: cannot write %s (%s)\n", out.c_str(), res.why.c_str());
        return 3;
    }
    printf("%s: %ld index records (%ld main entries, %ld sub-entries), %ld headwords too long left out, "
           "%ld buckets (%ld with a second level)%s%s, %u bytes, %lu ms\n",
           out.c_str(), res.records, res.mains, res.subs, (long)src.entries.size() - res.records, res.buckets,
           res.secondLevel, res.buckets ? "" : ", no bucket directory: ", res.buckets ? "" : res.why.c_str(),
           res.size, (unsigned long)(GetTickCount() - t0));
    if (reg && (!Db_Register(opt, out.c_str(), makeDefault) || (popupSlot && !Db_AddToPopup(opt, popupSlot)))) {
        fprintf(stderr, "dicbuild: cannot register %s\n", out.c_str());
        return 4;
    }
    return 0;
}
