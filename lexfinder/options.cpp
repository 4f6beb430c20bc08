// What the drive options make of the checked rows, and the size texts of the result window's
// status bar: the rules behind the dialogs, kept apart from the windows.
#include <ctype.h>
#include <string.h>

#include "uiassets.h"
#include "finder_res.h"
#include "finder_int.h"

FinderDriveChoice Finder_ChooseDrives(bool chosenMode, const std::vector<std::string> &roots,
                                      const std::vector<bool> &checked)
{
    FinderDriveChoice choice;
    std::string list;
    size_t count = 0;
    if (chosenMode) {
        for (size_t i = 0; i < roots.size(); i++) {
            if (i < checked.size() && checked[i]) {
                list += roots[i] + ";";
                count++;
            }
        }
        if (count == 0) {
            choice.none = true;
            choice.save = true;
            choice.stored = "-1";
            return choice;
        }
        if (count == roots.size()) list.clear();
    }
    if (list.empty()) {
        // All drives: stored as the empty value, searched as every logical drive.
        choice.save = true;
        choice.stored = "";
        for (const std::string &root : roots) list += root + ";";
    }
    choice.list = list;
    return choice;
}

std::vector<bool> Finder_InitialChecks(const std::vector<std::string> &roots, const char *stored)
{
    std::string upper = stored ? stored : "";
    for (char &c : upper) c = (char)toupper((unsigned char)c);
    std::vector<bool> checks;
    for (const std::string &root : roots) {
        std::string drive = root.substr(0, 2);
        for (char &c : drive) c = (char)toupper((unsigned char)c);
        checks.push_back(!upper.empty() && upper.find(drive) != std::string::npos);
    }
    return checks;
}

void Finder_SizeParts(uint64_t bytes, bool *gigabytes, unsigned *units, unsigned *hundredths)
{
    const uint64_t gb = 0x40000000, mb = 0x100000;
    *gigabytes = bytes >= gb;
    uint64_t unit = *gigabytes ? gb : mb;
    *units = (unsigned)(bytes / unit);
    *hundredths = (unsigned)((bytes % unit) * 100 / unit);
}

std::string Finder_FormatSize(uint64_t bytes)
{
    bool gigabytes;
    unsigned units, hundredths;
    Finder_SizeParts(bytes, &gigabytes, &units, &hundredths);
    char text[128] = {0};
    Uiassets_FormatString(text, sizeof text, gigabytes ? UIA_IDS_SIZE_GB : UIA_IDS_SIZE_MB, units, hundredths);
    return text;
}
