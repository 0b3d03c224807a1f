/* Holds a file open without sharing, for the end-to-end tests: hold_file PATH [MARKER].
   Writes MARKER (PATH.held when not given) once the file is open and keeps the file open
   until the test deletes MARKER again (at most two minutes). */
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    char marker[MAX_PATH + 8];
    if (argc > 2)
        snprintf(marker, sizeof marker, "%s", argv[2]);
    else
        snprintf(marker, sizeof marker, "%s.held", argv[1]);
    HANDLE flag = CreateFileA(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (flag != INVALID_HANDLE_VALUE) CloseHandle(flag);
    for (int tick = 0; tick < 1200 && GetFileAttributesA(marker) != INVALID_FILE_ATTRIBUTES; tick++)
        Sleep(100);
    CloseHandle(file);
    return 0;
}
