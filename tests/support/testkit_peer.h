// Test support for a second process that acts on a test's behalf: it is started with the names of
// three events and a report file, signals "ready" once it has set up, acts when told "go", and at
// "done" writes its report and ends.  Header only; include as "support/testkit_peer.h".
#pragma once

#include <windows.h>
#include <stdio.h>

#include <string>
#include <vector>

struct TestkitPeer {
    PROCESS_INFORMATION pi = {};
    HANDLE ready = nullptr, go = nullptr, done = nullptr;
    std::string result;
    bool started = false;

    // Starts `"program" args ready go done "result" action` in folder (null: the test's own) and
    // waits until it is ready; started says whether it came that far.
    TestkitPeer(const std::string &program, const std::string &args, const std::string &resultFile,
                const std::string &action, const char *folder = nullptr)
        : result(resultFile)
    {
        std::string tag = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
        std::string names[3] = {"peer_ready_" + tag, "peer_go_" + tag, "peer_done_" + tag};
        ready = CreateEventA(nullptr, TRUE, FALSE, names[0].c_str());
        go = CreateEventA(nullptr, TRUE, FALSE, names[1].c_str());
        done = CreateEventA(nullptr, TRUE, FALSE, names[2].c_str());
        std::string line = "\"" + program + "\" " + args + " " + names[0] + " " + names[1] + " " + names[2] +
                           " \"" + result + "\" " + action;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::vector<char> buf(line.begin(), line.end());
        buf.push_back(0);
        if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi)) return;
        HANDLE both[2] = {ready, pi.hProcess};
        started = WaitForMultipleObjects(2, both, FALSE, 60000) == WAIT_OBJECT_0;
    }
    TestkitPeer(const TestkitPeer &) = delete;
    TestkitPeer &operator=(const TestkitPeer &) = delete;

    void Go() { SetEvent(go); }

    // Ends the peer; its report, or "exit <code>" when it failed.
    std::string Finish()
    {
        SetEvent(go);
        SetEvent(done);
        WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = 99;
        GetExitCodeProcess(pi.hProcess, &code);
        std::string text;
        if (FILE *f = fopen(result.c_str(), "rb")) {
            char b[4096];
            size_t n;
            while ((n = fread(b, 1, sizeof b, f)) > 0) text.append(b, n);
            fclose(f);
        }
        return code == 0 ? text : "exit " + std::to_string(code);
    }

    ~TestkitPeer()
    {
        if (pi.hProcess) {
            SetEvent(done);
            WaitForSingleObject(pi.hProcess, 60000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        for (HANDLE h : {ready, go, done})
            if (h) CloseHandle(h);
    }
};
