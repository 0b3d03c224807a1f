// The registry key holder, with the two registry rules every caller shares: a text read
// that always ends in a terminator, and the deletion of a key tree.
#pragma once
#include <windows.h>

enum {
    kRegTextSize = 258,  // a registry text buffer
    kRegTextRead = 256   // the bytes asked for into it (kRegTextSize - 2)
};

// Its members are defined in registry.cpp, not here: the tests of the 32-bit build link
// with the program's link-time optimised objects, and that linker takes a member defined
// in a header and emitted by both for two definitions.
class RegKey {
public:
    RegKey() : key_(NULL) {}
    ~RegKey() { Close(); }
    LONG Open(HKEY root, const char* path, REGSAM access);
    LONG Create(HKEY root, const char* path, REGSAM access);
    void Close();
    operator HKEY() const { return key_; }

    // Reads the text value name (REG_SZ or REG_EXPAND_SZ) into text of size bytes (at
    // least 2). At most size - 2 bytes are asked for, so the text always ends in a
    // terminator, even when the stored value lacks one; a value that does not fit is not
    // read. On any failure text is empty. Returns ERROR_SUCCESS or the failure.
    LONG ReadText(const char* name, char* text, DWORD size) const;

    // Deletes subKey of parent with every key below it. An empty path, or one that starts
    // with a backslash, would stand for the parent itself and is left alone.
    static void DeleteTree(HKEY parent, const char* subKey);

    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
private:
    HKEY key_;
};
