// COM start-up counting and class creation over the layer's own class table.
#include "platform/win32/com.h"

#include "platform/seams/failure_injection.h"

#include <mutex>
#include <vector>

namespace {

struct ClassEntry {
    CLSID clsid;
    com::ClassFactory factory;
};

struct ComState {
    std::mutex lock;
    std::vector<ClassEntry> classes;
    int initCount = 0;
};

ComState &comState() {
    static ComState s;
    return s;
}

} // namespace

HRESULT CoInitialize(void *) {
    ComState &s = comState();
    std::lock_guard guard(s.lock);
    return s.initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    ComState &s = comState();
    std::lock_guard guard(s.lock);
    if (s.initCount > 0)
        --s.initCount;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown *, DWORD, REFIID iid, void **object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    com::ClassFactory factory = nullptr;
    {
        ComState &s = comState();
        std::lock_guard guard(s.lock);
        if (s.initCount == 0)
            return CO_E_NOTINITIALIZED;
        for (const ClassEntry &entry : s.classes)
            if (entry.clsid == clsid)
                factory = entry.factory;
    }
    HRESULT injected = E_FAIL;
    if (seams::ShouldFail("CoCreateInstance", &injected))
        return injected;
    if (!factory)
        return REGDB_E_CLASSNOTREG;
    const HRESULT hr = factory(iid, object);
    if (FAILED(hr))
        *object = nullptr;
    return hr;
}

namespace com {

void RegisterClass(REFCLSID clsid, ClassFactory factory) {
    ComState &s = comState();
    std::lock_guard guard(s.lock);
    for (ClassEntry &entry : s.classes)
        if (entry.clsid == clsid) {
            entry.factory = factory;
            return;
        }
    s.classes.push_back({clsid, factory});
}

} // namespace com
