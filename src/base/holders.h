// Thin RAII holders for handles, so that every early return releases what was opened:
// one template for the handles, with a small traits record per kind, and the holders of
// COM. Each converts to its handle, so a call site reads like the plain call. The
// registry key's holder is in base/registry.h.
#pragma once
#include <windows.h>
#include <objbase.h>

// One holder for every kind of handle: Traits names the handle's type, tells a held
// handle from none and releases it.
template <class Traits> class Holder {
public:
    typedef typename Traits::Type Type;
    explicit Holder(Type h) : h_(h) {}
    ~Holder() { if (Valid()) Traits::Release(h_); }
    bool Valid() const { return Traits::Holds(h_); }
    operator Type() const { return h_; }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
private:
    Type h_;
};

// A search of FindFirstFileA, closed by FindClose.
struct FindTraits {
    typedef HANDLE Type;
    static bool Holds(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
    static void Release(HANDLE h) { FindClose(h); }
};
typedef Holder<FindTraits> FindHandle;

// A file of CreateFileA (which gives INVALID_HANDLE_VALUE, not NULL, on failure), closed by
// CloseHandle.
struct FileTraits {
    typedef HANDLE Type;
    static bool Holds(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != NULL; }
    static void Release(HANDLE h) { CloseHandle(h); }
};
typedef Holder<FileTraits> FileHandle;

// A library of LoadLibraryA, freed by FreeLibrary.
struct LibraryTraits {
    typedef HMODULE Type;
    static bool Holds(HMODULE m) { return m != NULL; }
    static void Release(HMODULE m) { FreeLibrary(m); }
};
typedef Holder<LibraryTraits> LibraryHandle;

// A block of GlobalAlloc (GMEM_FIXED), freed by GlobalFree.
struct GlobalTraits {
    typedef char* Type;
    static bool Holds(char* p) { return p != NULL; }
    static void Release(char* p) { GlobalFree(p); }
};
typedef Holder<GlobalTraits> GlobalBlock;

// A new block of size bytes for a GlobalBlock; NULL when there is no memory.
inline char* NewBlock(SIZE_T size)
{
    return static_cast<char*>(GlobalAlloc(GMEM_FIXED, size));
}

// COM for the thread, from CoInitialize to CoUninitialize.
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

