/* baseline.c - the same-work baselines of the benchmarks: plain loops that make exactly
 * the system calls whose work the program's jobs consist of, and nothing else, timed
 * inside the process.
 *
 *   baseline.exe scan LEAF
 *       The earlier-installation scan: every sub-key of the Uninstall key is enumerated
 *       (RegEnumKeyA), opened with KEY_ALL_ACCESS, its UninstallString read and closed;
 *       a value naming install.exe with /r has its folder tested for the file LEAF
 *       (entry 1's name) with GetFileAttributesA; the scan ends at the first folder that
 *       holds it.
 *   baseline.exe install LIST SOURCE_DIR DEST_DIR TITLE FOLDER
 *       The install sequence: DEST_DIR is created, each file of LIST copied from
 *       SOURCE_DIR (CopyFileA, fail-if-exists) and set to normal attributes; then the
 *       start-menu and desktop links named TITLE to DEST_DIR\<first file of LIST> are
 *       saved through IShellLinkA/IPersistFile (the folders read from Shell Folders, the
 *       first link with DEST_DIR as working folder), and the uninstall entry FOLDER gets
 *       DisplayName and UninstallString.
 *   baseline.exe uninstall LIST DIR TITLE FOLDER
 *       The uninstallation: each file of LIST deleted in DIR, DIR removed, the uninstall
 *       entry FOLDER deleted, the links TITLE.lnk deleted in the programs, desktop and
 *       Startup folders (each read from Shell Folders).
 *   baseline.exe copy LIST SOURCE_DIR DEST_DIR | del LIST DIR
 *       The bare CopyFileA or DeleteFileA loop of earlier benchmarks.
 *   baseline.exe readwrite LIST SOURCE_DIR DEST_DIR KIB
 *       The copy as a loop of ReadFile and WriteFile through a buffer of KIB KiB (the
 *       source's last-write time set on the copy, as CopyFileA does), against which the
 *       copy call is measured.
 *   baseline.exe run COMMAND
 *       No work of its own: the time from starting COMMAND (one argument, the whole
 *       command line) until its process has ended, for the peer installers that can only
 *       be timed from outside; failed=1 when it could not start or exited non-zero.
 *
 * LIST holds one file name per line; it is read and every path formed before the clock
 * starts.  Prints "files=N failed=F ms=T" (T with three decimals); exit code 0 when no
 * call failed. */
#define COBJMACROS
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_FILES 20000
#define UNINSTALL_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
#define SHELL_FOLDERS "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"

static char *g_from[MAX_FILES], *g_to[MAX_FILES];
static LARGE_INTEGER g_freq, g_start;

static char *join(const char *dir, const char *name)
{
    size_t n = strlen(dir) + strlen(name) + 2;
    char *p = malloc(n);
    if (!p) exit(3);
    snprintf(p, n, "%s\\%s", dir, name);
    return p;
}

/* Reads the names of LIST and forms the paths; the number of files, -1 on an error. */
static int load(const char *list, const char *from_dir, const char *to_dir)
{
    FILE *f = fopen(list, "r");
    char line[MAX_PATH];
    int n = 0;
    if (!f) return -1;
    while (fgets(line, sizeof line, f)) {
        line[strcspn(line, "\r\n")] = 0;
        if (!line[0]) continue;
        if (n == MAX_FILES) { fclose(f); return -1; }
        g_from[n] = join(from_dir, line);
        g_to[n] = to_dir ? join(to_dir, line) : NULL;
        n++;
    }
    fclose(f);
    return n;
}

static void start_clock(void)
{
    QueryPerformanceFrequency(&g_freq);
    QueryPerformanceCounter(&g_start);
}

static int report(int files, int failed)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    printf("files=%d failed=%d ms=%.3f\n", files, failed,
           (double)(now.QuadPart - g_start.QuadPart) * 1000.0 / (double)g_freq.QuadPart);
    return failed ? 1 : 0;
}

/* The first use of the registry and the file system in a process costs extra (libraries
 * and keys are looked up); the program has made such first uses before its jobs are
 * timed (its start-up reads the registry and its setup information file), so the baseline
 * makes them before its clock starts.  COM and the shell-link object are not warmed: the
 * program's first CoInitialize and shell link come in the last step of its install
 * sequence, inside the timed job, and the baseline's do as well. */
static void warm_up(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS)
        RegCloseKey(key);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SHELL_FOLDERS, 0, KEY_READ, &key) == ERROR_SUCCESS)
        RegCloseKey(key);
    GetFileAttributesA("C:\\");
}

/* The folder of a Shell Folders value of the user, with a trailing backslash. */
static int shell_folder(const char *value, char *folder, DWORD size)
{
    HKEY key;
    DWORD bytes = size - 2;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SHELL_FOLDERS, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    LONG r = RegQueryValueExA(key, value, NULL, NULL, (BYTE *)folder, &bytes);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS) return 0;
    folder[bytes] = 0;
    strcat(folder, "\\");
    return 1;
}

static int scan(const char *leaf)
{
    HKEY parent;
    int keys = 0, failed = 0;
    warm_up();  /* steps.exe makes the program's first registry access untimed as well */
    start_clock();
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_ENUMERATE_SUB_KEYS, &parent) !=
        ERROR_SUCCESS)
        return report(0, 1);
    for (DWORD index = 0;; index++) {
        char name[258], command[258];
        HKEY entry;
        if (RegEnumKeyA(parent, index, name, 256) != ERROR_SUCCESS) break;
        keys++;
        command[0] = 0;
        if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &entry) != ERROR_SUCCESS) {
            failed++;
            continue;
        }
        DWORD size = 256;
        if (RegQueryValueExA(entry, "UninstallString", NULL, NULL, (BYTE *)command, &size) !=
            ERROR_SUCCESS)
            command[0] = 0;
        RegCloseKey(entry);
        if ((strstr(command, "install.exe") || strstr(command, "INSTALL.EXE")) &&
            (strstr(command, "/r") || strstr(command, "/R"))) {
            char *colon = strchr(command, ':'), *slash = strrchr(command, '\\');
            char path[MAX_PATH];
            if (!colon || colon == command || !slash || slash < colon) continue;
            snprintf(path, sizeof path, "%.*s%s", (int)(slash - colon + 2), colon - 1, leaf);
            if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) break;
        }
    }
    RegCloseKey(parent);
    return report(keys, failed);
}

/* One link named title in the place's folder to target; 0 when it could not be saved. */
static int save_link(const char *place, const char *title, const char *target,
                     const char *working)
{
    char folder[MAX_PATH], path[MAX_PATH];
    WCHAR wide[MAX_PATH];
    IShellLinkA *link;
    IPersistFile *file;
    int saved = 0;
    if (!shell_folder(place, folder, sizeof folder)) return 0;
    snprintf(path, sizeof path, "%s%s.lnk", folder, title);
    CoInitialize(NULL);
    if (SUCCEEDED(CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkA,
                                   (void **)&link))) {
        IShellLinkA_SetPath(link, target);
        IShellLinkA_SetDescription(link, title);
        if (working) IShellLinkA_SetWorkingDirectory(link, working);
        if (SUCCEEDED(IShellLinkA_QueryInterface(link, &IID_IPersistFile, (void **)&file))) {
            MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
            saved = SUCCEEDED(IPersistFile_Save(file, wide, TRUE));
            IPersistFile_Release(file);
        }
        IShellLinkA_Release(link);
    }
    CoUninitialize();
    return saved;
}

static int install(int n, const char *dest, const char *title, const char *folder)
{
    char key_path[MAX_PATH], command[MAX_PATH], installer[MAX_PATH];
    HKEY key;
    int failed = 0;
    /* The list ends with install.inf and INSTALL.EXE; links point at its first file. */
    snprintf(key_path, sizeof key_path, "%s%s", UNINSTALL_KEY, folder);
    snprintf(installer, sizeof installer, "%s\\INSTALL.EXE", dest);
    snprintf(command, sizeof command, "\"%s\" /r", installer);
    warm_up();
    start_clock();
    if (!CreateDirectoryA(dest, NULL)) failed++;
    for (int i = 0; i < n; i++) {
        if (!CopyFileA(g_from[i], g_to[i], TRUE)) failed++;
        SetFileAttributesA(g_to[i], FILE_ATTRIBUTE_NORMAL);
    }
    if (!save_link("Programs", title, g_to[0], dest)) failed++;
    if (!save_link("Desktop", title, g_to[0], NULL)) failed++;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_path, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, "DisplayName", 0, REG_SZ, (const BYTE *)title, strlen(title) + 1);
        RegSetValueExA(key, "UninstallString", 0, REG_SZ, (const BYTE *)command,
                       strlen(command) + 1);
        RegCloseKey(key);
    } else {
        failed++;
    }
    return report(n, failed);
}

static int uninstall(int n, const char *dir, const char *title, const char *folder)
{
    static const char *const places[] = {"Programs", "Desktop", "Startup"};
    char key_path[MAX_PATH];
    int failed = 0;
    snprintf(key_path, sizeof key_path, "%s%s", UNINSTALL_KEY, folder);
    warm_up();
    start_clock();
    for (int i = n - 1; i >= 0; i--)
        if (!DeleteFileA(g_from[i])) failed++;
    if (!RemoveDirectoryA(dir)) failed++;
    if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_path) != ERROR_SUCCESS) failed++;
    for (int p = 0; p < 3; p++) {
        char link[MAX_PATH];
        if (!shell_folder(places[p], link, sizeof link)) continue;
        strncat(link, title, sizeof link - strlen(link) - 5);
        strcat(link, ".lnk");
        DeleteFileA(link); /* the Startup link was never made */
    }
    return report(n, failed);
}

/* One file copied through the buffer; 0 when a call failed. */
static int read_write_one(const char *from, const char *to, char *buffer, DWORD size)
{
    HANDLE in = CreateFileA(from, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (in == INVALID_HANDLE_VALUE) return 0;
    HANDLE out = CreateFileA(to, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    int ok = out != INVALID_HANDLE_VALUE;
    DWORD got, put;
    while (ok && ReadFile(in, buffer, size, &got, NULL) && got)
        ok = WriteFile(out, buffer, got, &put, NULL) && put == got;
    FILETIME written;
    if (ok && GetFileTime(in, NULL, NULL, &written)) SetFileTime(out, NULL, NULL, &written);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    CloseHandle(in);
    return ok;
}

static int read_write(int n, DWORD kib)
{
    DWORD size = kib * 1024;
    char *buffer = malloc(size);
    int failed = 0;
    if (!kib || !buffer) return 2;
    start_clock();
    for (int i = 0; i < n; i++)
        if (!read_write_one(g_from[i], g_to[i], buffer, size)) failed++;
    return report(n, failed);
}

/* Starts the command line and waits for its process to end. */
static int run(char *command)
{
    STARTUPINFOA start;
    PROCESS_INFORMATION process;
    DWORD code = 1;
    ZeroMemory(&start, sizeof start);
    start.cb = sizeof start;
    start_clock();
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &start, &process))
        return report(0, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return report(0, code != 0);
}

int main(int argc, char **argv)
{
    const char *mode = argc > 1 ? argv[1] : "";
    int n;
    if (strcmp(mode, "scan") == 0 && argc == 3) return scan(argv[2]);
    if (strcmp(mode, "install") == 0 && argc == 7) {
        if ((n = load(argv[2], argv[3], argv[4])) < 1) return 2;
        return install(n, argv[4], argv[5], argv[6]);
    }
    if (strcmp(mode, "uninstall") == 0 && argc == 6) {
        if ((n = load(argv[2], argv[3], NULL)) < 1) return 2;
        return uninstall(n, argv[3], argv[4], argv[5]);
    }
    if (strcmp(mode, "copy") == 0 && argc == 5) {
        int failed = 0;
        if ((n = load(argv[2], argv[3], argv[4])) < 0) return 2;
        start_clock();
        for (int i = 0; i < n; i++)
            if (!CopyFileA(g_from[i], g_to[i], TRUE)) failed++;
        return report(n, failed);
    }
    if (strcmp(mode, "del") == 0 && argc == 4) {
        int failed = 0;
        if ((n = load(argv[2], argv[3], NULL)) < 0) return 2;
        start_clock();
        for (int i = 0; i < n; i++)
            if (!DeleteFileA(g_from[i])) failed++;
        return report(n, failed);
    }
    if (strcmp(mode, "readwrite") == 0 && argc == 6) {
        if ((n = load(argv[2], argv[3], argv[4])) < 0) return 2;
        return read_write(n, (DWORD)atoi(argv[5]));
    }
    if (strcmp(mode, "run") == 0 && argc == 3) return run(argv[2]);
    fputs("usage: baseline.exe scan LEAF | install LIST SRC DEST TITLE FOLDER |"
          " uninstall LIST DIR TITLE FOLDER | copy LIST SRC DEST | del LIST DIR |"
          " readwrite LIST SRC DEST KIB | run COMMAND\n",
          stderr);
    return 2;
}
