/* copyloop.c - the plain baseline of the install and uninstall benchmarks: a CopyFileA or
 * DeleteFileA loop over a list of file names, timed inside the process.
 *
 *   copyloop.exe copy LIST SOURCE_DIR DEST_DIR   CopyFileA each name from SOURCE_DIR to DEST_DIR
 *   copyloop.exe del LIST DIR                    DeleteFileA each name in DIR
 *
 * LIST holds one file name per line.  The list is read and every path is formed before the
 * clock starts; the timed loop makes nothing but the one call per file.  Prints
 * "files=N failed=F ms=T" (T with three decimals); exit code 0 when no call failed. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_FILES 20000

static char *g_from[MAX_FILES], *g_to[MAX_FILES];

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

int main(int argc, char **argv)
{
    int copy = argc == 5 && strcmp(argv[1], "copy") == 0;
    int del = argc == 4 && strcmp(argv[1], "del") == 0;
    if (!copy && !del) {
        fputs("usage: copyloop.exe copy LIST SOURCE_DIR DEST_DIR | del LIST DIR\n", stderr);
        return 2;
    }
    int n = load(argv[2], argv[3], copy ? argv[4] : NULL);
    if (n < 0) {
        fprintf(stderr, "copyloop: cannot read %s\n", argv[2]);
        return 2;
    }
    LARGE_INTEGER freq, t0, t1;
    int failed = 0, i;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    if (copy) {
        for (i = 0; i < n; i++)
            if (!CopyFileA(g_from[i], g_to[i], TRUE)) failed++;
    } else {
        for (i = 0; i < n; i++)
            if (!DeleteFileA(g_from[i])) failed++;
    }
    QueryPerformanceCounter(&t1);
    printf("files=%d failed=%d ms=%.3f\n", n, failed,
           (double)(t1.QuadPart - t0.QuadPart) * 1000.0 / (double)freq.QuadPart);
    return failed ? 1 : 0;
}
