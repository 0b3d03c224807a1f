// The program's entry point. It is linked without the C runtime's start-up code, which
// would cost several kilobytes, so it finds the command tail itself.
#include <windows.h>
#include "startup/entry.h"
#include "common/host.h"

#ifdef INSTALL_TEST_SEAM
void ApplyTestSeam();
#endif

// The command line without the program's own name (quoted or not) and the blanks and
// tabs after it.
static const char* CommandTail(const char* line)
{
    if (*line == '"') {
        line++;
        while (*line && *line != '"') line++;
        if (*line) line++;
    } else {
        while (*line && *line != ' ' && *line != '\t') line++;
    }
    while (*line == ' ' || *line == '\t') line++;
    return line;
}

extern "C" __attribute__((force_align_arg_pointer)) void ProgramEntry()
{
    ResetHostHooks();
#ifdef INSTALL_TEST_SEAM
    ApplyTestSeam();
#endif
    ExitProcess(RunProgram(GetModuleHandleA(NULL), CommandTail(GetCommandLineA())));
}
