// The resident program's test set-up: a copy of the program in a folder "app" of the working folder
// with the kind stand-in (velomira_kindspy.exe) copied beside it under the names of the sibling
// programs it stands in for, the program's action log and the stand-ins' log in the working folder,
// the suite's libraries on the path, and a user data folder of the test's own.  Header only.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "support/testkit_catalogue.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"

struct VelomiraInstall {
    std::string work, app, trace, spyLog;
};

// False when a program could not be copied.
inline bool Velomira_Install(VelomiraInstall *in, std::initializer_list<const char *> standIns)
{
    in->work = Testkit_Cwd();
    in->app = in->work + "\\app";
    in->trace = in->work + "\\trace.txt";
    in->spyLog = in->work + "\\spy.txt";
    Testkit_RemoveFolder(in->app);
    CreateDirectoryA(in->app.c_str(), nullptr);
    std::string bin = Testkit_ProgramFolder();
    if (!CopyFileA((bin + "\\Velomira.exe").c_str(), (in->app + "\\Velomira.exe").c_str(), FALSE)) return false;
    for (const char *name : standIns)
        if (!CopyFileA((bin + "\\velomira_kindspy.exe").c_str(), (in->app + "\\" + name).c_str(), FALSE)) return false;
    DeleteFileA(in->trace.c_str());
    DeleteFileA(in->spyLog.c_str());
    char path[8192];
    GetEnvironmentVariableA("PATH", path, sizeof path);
    SetEnvironmentVariableA("PATH", (bin + ";" + path).c_str());
    SetEnvironmentVariableA("VELOMIRA_TRACE", in->trace.c_str());
    SetEnvironmentVariableA("VELOMIRA_SPY_LOG", in->spyLog.c_str());
    SetEnvironmentVariableA("SHAREDKIT_NEWDIC_DUE", "0");
    std::string data = in->work + "\\data";
    CreateDirectoryA(data.c_str(), nullptr);
    Testkit_SetUserDataFolder(data);
    return true;
}
