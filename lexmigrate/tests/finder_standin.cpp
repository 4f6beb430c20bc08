// Stands in for the dictionary finder in the program's tests: adds the command line it was
// started with as one line to finder.txt beside itself and ends.
#include <windows.h>
#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    char *slash = strrchr(path, '\\');
    if (!slash || slash - path + 12 >= MAX_PATH) return 1;
    strcpy(slash + 1, "finder.txt");
    FILE *f = fopen(path, "ab");
    if (!f) return 1;
    fputs(GetCommandLineA(), f);
    fputs("\n", f);
    fclose(f);
    return 0;
}
