// The registry key holder: open, create and close, the text read and the deletion of a
// key tree.
#include "base/registry.h"

LONG RegKey::Open(HKEY root, const char* path, REGSAM access)
{
    Close();
    return RegOpenKeyExA(root, path, 0, access, &key_);
}

LONG RegKey::Create(HKEY root, const char* path, REGSAM access)
{
    Close();
    return RegCreateKeyExA(root, path, 0, NULL, 0, access, NULL, &key_, NULL);
}

void RegKey::Close()
{
    if (key_) RegCloseKey(key_);
    key_ = NULL;
}

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
