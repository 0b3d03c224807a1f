// Host facts that a test machine cannot hold, reached through one table of entry points.
// The program fills it with the real calls; tests replace single entries.
#pragma once
#include <windows.h>

typedef BOOL(WINAPI* DiskFreeExFn)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

struct HostHooks {
    DWORD(WINAPI* getVersion)(void);
    BOOL(WINAPI* getVersionEx)(LPOSVERSIONINFOA);
    BOOL(WINAPI* getDiskFreeSpace)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
    DiskFreeExFn getDiskFreeSpaceEx;  // looked up in the kernel library when it is called
    UINT(WINAPI* winExec)(LPCSTR, UINT);
    BOOL(WINAPI* moveFileEx)(LPCSTR, LPCSTR, DWORD);
    // The profile writes of the deferred deletion: on 9x the profile cache is shared by
    // every program and reaches the file late, which no test machine reproduces.
    BOOL(WINAPI* writeProfileString)(LPCSTR, LPCSTR, LPCSTR, LPCSTR);
    // The write of WININIT.INI's new copy: a disk that fails halfway, or another program
    // that writes the old file meanwhile.
    BOOL(WINAPI* writeFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    // The file identity of the same-file rule: file systems whose index is handed out per
    // open or repeats (FAT on 9x, some redirectors, ReFS, a cloned volume).
    BOOL(WINAPI* getFileInformationByHandle)(HANDLE, LPBY_HANDLE_FILE_INFORMATION);
    // The uninstall entry's values: a registry that refuses a value (the size limits of
    // the 9x registry, a policy).
    LONG(WINAPI* regSetValueEx)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
    int(WINAPI* messageBox)(HWND, LPCSTR, LPCSTR, UINT);
};

extern HostHooks host;

// Puts the real calls back into every entry, and makes the system's lead-byte test the
// one every double-byte scan uses.
void ResetHostHooks();
