// The setup-file checker's entry point over arbitrary bytes: the first byte chooses the
// file's name (install.inf or the Japanese installJ.inf) and the code page (chosen by the
// checker, 932 or 1252); the rest is the file. Half the sources are in the package.
#include <stddef.h>
#include <stdint.h>
#include "infcheck/checks.h"

// In the package or not by the length of the name, so that both outcomes run.
static int SomeSources(const char* source, unsigned, void*)
{
    unsigned length = 0;
    while (source[length]) length++;
    return length % 2;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    static const char* const kNames[] = {"install.inf", "installJ.inf"};
    static const unsigned kCodePages[] = {0, 932, 1252};
    Findings findings = Findings();
    CheckInput input = {NULL, kNames[data[0] & 1], kCodePages[(data[0] >> 1) % 3], SomeSources,
                        NULL};
    CheckInfBytes(reinterpret_cast<const char*>(data + 1), size - 1, input, &findings);
    return 0;
}
