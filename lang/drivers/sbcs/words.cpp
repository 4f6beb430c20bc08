// The word helpers of the single-byte layer that the drivers' word rules share.
#include <string.h>
#include "sbcs_int.h"

bool Sbcs_CopyWord(char *out, const char *text, int length) {
    if (length < 0 || length >= LANG_OUTPUT_SIZE)
        return false;
    memcpy(out, text, (size_t)length);
    out[length] = 0;
    return true;
}

int Sbcs_Apply(int id, const char *w, int n, int index, LangAnalysisContext *c, LangStringList *list) {
    LangRuleTable *t = Sbcs_Table(id);
    return t ? Linguabase_ApplySuffixRules(w, n, index, c, t, list) : 0;
}

int Sbcs_ApplyIn(int id, DWORD mode, const char *w, int n, int index, LangAnalysisContext *c, LangStringList *list) {
    LangRuleTable *t = Sbcs_Table(id);
    if (!t)
        return 0;
    LangRuleTable pass = *t;  // the shared table stays as loaded: each pass brings its own mode
    pass.mode = mode;
    return Linguabase_ApplySuffixRules(w, n, index, c, &pass, list);
}
