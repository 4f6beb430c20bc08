// dicbench: times the engine on one installed dictionary.
//
//   dicbench <file id> <language> <work> <words file> <runs> [budget seconds]
//
// work: exact, base (exact lookup of every form the language driver's analysis gives), prefix,
// wildcard, fulltext (entry texts containing the word), open (open and close the dictionary).
// The words file holds one word or pattern per line in UTF-8.  Prints, for each run, the time per
// word in microseconds and the number of entries found, then the median and the peak working set:
//   RESULT <work> <median us per word> <entries found> <peak KiB> <words> <first word us> <first run us per word>
// (the first word of the first run pays what the engine keeps for later words: full text folds a
// dictionary's texts then).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "lexicore.h"
#include "linguakeeper.h"
#include <psapi.h>

namespace {

double Now() {
    static LARGE_INTEGER freq;
    if (!freq.QuadPart) QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1e6 / (double)freq.QuadPart;
}

std::string ToCodePage(const std::string &s, UINT cp) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), &w[0], n);
    int m = WideCharToMultiByte(cp, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(m, '\0');
    WideCharToMultiByte(cp, 0, w.data(), n, &out[0], m, nullptr, nullptr);
    return out;
}

struct Bench {
    DWORD dicId;
    WORD language;
    DicSession *session;
    DicQuery *query;
    VLWordList *list;
};

// Reads the entry text of every item of the list (what a lookup shows); the number of entries.
long ReadTexts(Bench &b) {
    LONG n = VLWordList_Count(b.list);
    for (LONG i = 0; i < n; i++) {
        VLData data;
        memset(&data, 0, sizeof data);
        Lexicore_ReadEntryTextEx(b.session, VLWordList_GetItem(b.list, i), &data);
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
    }
    return n;
}

long Run(Bench &b, int mode, DWORD flags, const std::string &key, bool texts) {
    VLWordList_DeleteAllItems(b.list);
    Lexicore_SetQueryText(b.query, key.c_str(), 0, 0);
    Lexicore_RunQuery(b.query, mode, flags);
    return texts ? ReadTexts(b) : VLWordList_Count(b.list);
}

long One(Bench &b, const std::string &work, const std::string &word) {
    // Compare flags 0x30: case and accents are not told apart, as dictd's lookups do not.
    const DWORD fold = 0x30;
    if (work == "exact") return Run(b, LEXICORE_MODE_EXACT, fold | LEXICORE_SF_NOWILD, word, true);
    if (work == "locate") {
        LONG pos = 0;
        return Lexicore_Locate(b.session, word.c_str(), fold, &pos);
    }
    if (work == "compare") {  // the comparer alone, as often as a search of a 200 000-entry window
        LinguakeeperDriverProcs procs;
        Linguakeeper_GetDriverProcs(b.language, 0, &procs);
        long n = 0;
        for (int i = 0; i < 18; i++) n += procs.compare(fold, word.c_str(), "Abcdefgh", 0) != 0;
        return n;
    }
    if (work == "exactlist") return Run(b, LEXICORE_MODE_EXACT, fold | LEXICORE_SF_NOWILD, word, false);
    if (work == "prefix") return Run(b, LEXICORE_MODE_PREFIX, fold | LEXICORE_SF_NOWILD, word, false);
    if (work == "wildcard") return Run(b, LEXICORE_MODE_EXACT, fold, word, false);
    if (work == "base") {
        long found = 0;
        LinguakeeperForms *forms = Linguakeeper_AnalyzeWord(b.language, word.c_str(), 0, 1);
        if (!forms) return Run(b, LEXICORE_MODE_EXACT, fold | LEXICORE_SF_NOWILD, word, true);
        for (DWORD i = 0; forms->keys && i < forms->keys->count; i++) {
            const char *k = forms->keys->items[i].text;
            if (k && *k && (forms->keys->items[i].kind & 0x400))
                found += Run(b, LEXICORE_MODE_EXACT, fold | LEXICORE_SF_NOWILD, k, true);
        }
        Linguakeeper_FreeForms(forms);
        return found;
    }
    if (work == "fulltext") {
        LexicoreCondition c;
        memset(&c, 0, sizeof c);
        c.kind = 8;
        snprintf(c.text, sizeof c.text, "%s", word.c_str());
        c.textLen = (DWORD)strlen(c.text);
        VLWordList_DeleteAllItems(b.list);
        Lexicore_RunFullTextQuery(b.query, &c, 1, TRUE, fold, nullptr, nullptr);
        return VLWordList_Count(b.list);
    }
    if (work == "open") {
        DicSession *s = Lexicore_CreateSession();
        BOOL ok = Lexicore_OpenSession(s, b.dicId, FALSE);
        // The first lookup reads what the open left for later.
        LONG pos = 0;
        if (ok) Lexicore_Locate(s, word.c_str(), 0, &pos);
        Lexicore_CloseSession(s);
        Lexicore_DestroySession(s);
        return ok ? 1 : 0;
    }
    return -1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 6) {
        fprintf(stderr, "usage: dicbench <file id> <language> <work> <words file> <runs> [budget seconds]\n");
        return 1;
    }
    DWORD fileId = strtoul(argv[1], nullptr, 16);
    std::string work = argv[3];
    int runs = atoi(argv[5]);
    double budget = argc > 6 ? atof(argv[6]) * 1e6 : 1e12;
    if (!Lexicore_Init("VelosuiteBench", 0)) return 2;
    DicInfo info;
    if (!Lexicore_GetDicInfo(fileId, &info)) {
        fprintf(stderr, "dicbench: dictionary %04lx is not installed\n", (unsigned long)fileId);
        return 2;
    }
    UINT cp = info.charset == 128 ? 932 : 1252;
    std::vector<std::string> words;
    FILE *f = fopen(argv[4], "rb");
    if (!f) return 2;
    char line[1024];
    while (fgets(line, sizeof line, f)) {
        std::string w = line;
        while (!w.empty() && (w.back() == '\n' || w.back() == '\r')) w.pop_back();
        if (!w.empty()) words.push_back(ToCodePage(w, cp));
    }
    fclose(f);
    Bench b = {fileId << 8, (WORD)strtoul(argv[2], nullptr, 16), Lexicore_CreateSession(), Lexicore_CreateQuery(),
               VLWordList_Create(work == "fulltext" ? 100000 : 1000)};
    if (!Lexicore_OpenSession(b.session, b.dicId, FALSE)) return 2;
    Lexicore_SetQuerySession(b.query, b.session);
    Lexicore_SetQueryResultList(b.query, b.list);
    std::vector<double> perWord;
    long found = 0;
    size_t done = words.size();
    double firstWord = 0;
    for (int r = 0; r < runs; r++) {
        found = 0;
        double t0 = Now();
        size_t i = 0;
        for (; i < words.size(); i++) {
            found += One(b, work, words[i]);
            if (r == 0 && i == 0) firstWord = Now() - t0;
            if (Now() - t0 > budget) {
                i++;
                break;
            }
        }
        done = std::min(done, i);
        double us = (Now() - t0) / (double)i;
        perWord.push_back(us);
        printf("run %d: %s %.2f us per word over %zu words, %ld entries\n", r + 1, work.c_str(), us, i, found);
        fflush(stdout);
    }
    std::vector<double> inOrder = perWord;
    std::sort(perWord.begin(), perWord.end());
    PROCESS_MEMORY_COUNTERS pmc;
    memset(&pmc, 0, sizeof pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    double firstRun = inOrder.empty() ? 0 : inOrder.front();
    printf("RESULT %s %.3f %ld %lu %zu %.0f %.3f\n", work.c_str(), perWord[perWord.size() / 2], found,
           (unsigned long)(pmc.PeakWorkingSetSize / 1024), done, firstWord, firstRun);
    VLWordList_Destroy(b.list);
    Lexicore_DestroyQuery(b.query);
    Lexicore_CloseSession(b.session);
    Lexicore_DestroySession(b.session);
    Lexicore_Term();
    return 0;
}
