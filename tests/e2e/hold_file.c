/* Holds a file open without sharing, for the end-to-end tests: hold_file PATH SECONDS.
   Writes PATH.held once the file is open, so that the test knows when to go on. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc < 3) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    char marker[MAX_PATH + 8];
    snprintf(marker, sizeof marker, "%s.held", argv[1]);
    HANDLE flag = CreateFileA(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (flag != INVALID_HANDLE_VALUE) CloseHandle(flag);
    Sleep((DWORD)atoi(argv[2]) * 1000);
    CloseHandle(file);
    return 0;
}
