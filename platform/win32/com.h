// COM's core: the IUnknown contract, a reference-counting base for the layer's objects, and
// class creation for the classes the layer registers (the music loader and performance).
#pragma once

#include "platform/win32/results.h"

#include <atomic>
#include <initializer_list>

#define STDMETHODCALLTYPE
#define STDMETHOD(method) virtual HRESULT method
#define STDMETHOD_(type, method) virtual type method
#define PURE = 0

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void **object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown *;

inline const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Implements AddRef and Release for one interface; Release deletes the object at zero and returns
// the count that remains, which callers may read.
template <class Interface> class RefCounted : public Interface {
public:
    ULONG AddRef() override { return m_refs.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() override {
        const ULONG left = m_refs.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0)
            delete this;
        return left;
    }
    ULONG RefCount() const { return m_refs.load(std::memory_order_relaxed); }

protected:
    // The usual QueryInterface of an object with one interface: IUnknown or any of the interface's
    // identifiers hands out the object with a new reference; anything else clears the out-pointer.
    HRESULT AnswerQuery(REFIID iid, std::initializer_list<IID> own, void **object) {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        bool known = iid == IID_IUnknown;
        for (const IID &candidate : own)
            known = known || iid == candidate;
        if (!known)
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<Interface *>(this);
        return S_OK;
    }

    RefCounted() = default;
    ~RefCounted() override = default;

private:
    std::atomic<ULONG> m_refs{1};
};

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;

HRESULT CoInitialize(void *reserved);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid, void **object);

namespace com {
// Creates an object of a registered class and asks it for `iid`; the object out-pointer is NULL
// on failure.
using ClassFactory = HRESULT (*)(REFIID iid, void **object);
// Registers a class for CoCreateInstance (the layer's areas do this from their own files).
void RegisterClass(REFCLSID clsid, ClassFactory factory);
} // namespace com
