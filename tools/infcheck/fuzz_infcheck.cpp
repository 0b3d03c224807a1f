// libFuzzer target: any bytes as a setup information file, checked in both code pages
// and as a Japanese language file, with a package that holds some of the sources.
#include <stddef.h>
#include <stdint.h>
#include "checks.h"

// Half the sources are in the package, chosen by their length, so that both outcomes
// of the source check run.
static int SomeSources(const char* source, unsigned, void*)
{
    unsigned length = 0;
    while (source[length]) length++;
    return length % 2;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const kNames[] = {"install.inf", "installJ.inf"};
    static const unsigned kCodePages[] = {0, 932, 1252};
    for (unsigned name = 0; name < 2; name++) {
        for (unsigned page = 0; page < 3; page++) {
            Findings findings = Findings();
            CheckInput input = {NULL, kNames[name], kCodePages[page], SomeSources, NULL};
            CheckInfBytes(reinterpret_cast<const char*>(data), size, input, &findings);
        }
    }
    return 0;
}
