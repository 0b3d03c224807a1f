// Thin RAII holders for handles, so that every early return releases what was opened.
// Each converts to its handle, so a call site reads like the plain call. The registry
// key's holder is in base/registry.h.
#pragma once
#include <windows.h>
#include <objbase.h>

class FindHandle {
public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    ~FindHandle() { if (Valid()) FindClose(h_); }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return h_; }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
private:
    HANDLE h_;
};

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { if (Valid()) CloseHandle(h_); }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != NULL; }
    operator HANDLE() const { return h_; }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
private:
    HANDLE h_;
};

class ComInit {
public:
    ComInit() : ok_(SUCCEEDED(CoInitialize(NULL))) {}
    ~ComInit() { if (ok_) CoUninitialize(); }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
private:
    bool ok_;
};

// A COM interface pointer, released at the end. Created or queried with IID_PPV_ARGS:
//   CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))
template <class T> class ComPtr {
public:
    ComPtr() : p_(NULL) {}
    ~ComPtr() { if (p_) p_->Release(); }
    operator T*() const { return p_; }
    T** operator&() { return &p_; }
    T* operator->() const { return p_; }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
private:
    T* p_;
};

class LibraryHandle {
public:
    explicit LibraryHandle(HMODULE m) : m_(m) {}
    ~LibraryHandle() { if (m_) FreeLibrary(m_); }
    operator HMODULE() const { return m_; }
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;
private:
    HMODULE m_;
};

class GlobalBlock {
public:
    explicit GlobalBlock(SIZE_T size) : p_(static_cast<char*>(GlobalAlloc(GMEM_FIXED, size))) {}
    explicit GlobalBlock(char* taken) : p_(taken) {}  // a block allocated elsewhere
    ~GlobalBlock() { if (p_) GlobalFree(p_); }
    operator char*() const { return p_; }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
private:
    char* p_;
};
