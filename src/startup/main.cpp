// The program's entry point.
#include <windows.h>
#include "startup/entry.h"

#ifdef INSTALL_TEST_SEAM
void ApplyTestSeam();
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int)
{
#ifdef INSTALL_TEST_SEAM
    ApplyTestSeam();
#endif
    return RunProgram(instance, tail);
}
