// The registry text read and the deletion of a key tree.
#include "base/registry.h"

LONG RegKey::ReadText(const char* name, char* text, DWORD size) const
{
    ZeroMemory(text, size);
    DWORD type = 0;
    DWORD bytes = size - 2;
    LONG result = RegQueryValueExA(key_, name, NULL, &type, reinterpret_cast<BYTE*>(text), &bytes);
    if (result == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        result = ERROR_INVALID_DATATYPE;
    if (result != ERROR_SUCCESS) {
        ZeroMemory(text, size);
        return result;
    }
    text[bytes] = 0;
    return ERROR_SUCCESS;
}

void RegKey::DeleteTree(HKEY parent, const char* subKey)
{
    if (!subKey[0] || subKey[0] == '\\') return;
    RegKey key;
    if (key.Open(parent, subKey, KEY_ALL_ACCESS) == ERROR_SUCCESS) {
        char lastDeleted[256] = "";
        char child[256];
        DWORD index = 0;
        while (RegEnumKeyA(key, index, child, sizeof child) == ERROR_SUCCESS) {
            if (lstrcmpiA(child, lastDeleted) == 0) {
                index++;  // this child survived its deletion: step past it
                continue;
            }
            DeleteTree(key, child);
            lstrcpynA(lastDeleted, child, sizeof lastDeleted);
        }
        key.Close();
    }
    RegDeleteKeyA(parent, subKey);
}
