// [Reg] values: a root and a sub-key inside the value, or a refusal.
#include "fuzz_support.h"
#include <string.h>
#include "core/setupinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string value = Terminated(TakeCodePage(data, size));
    RegRoot root;
    const char* subKey = NULL;
    if (!ParseRegValue(value.c_str(), &root, &subKey)) return 0;
    FUZZ_CHECK(root == REG_ROOT_CURRENT_USER || root == REG_ROOT_LOCAL_MACHINE ||
               root == REG_ROOT_CLASSES_ROOT);
    FUZZ_CHECK(subKey > value.c_str() && subKey < value.c_str() + value.size());
    FUZZ_CHECK(subKey[0] && subKey[0] != '\\');  // never the root itself
    FUZZ_CHECK(strncmp(value.c_str(), "HKEY_", 5) == 0);
    return 0;
}
