// Class registration: CoCreateInstance makes loaders and performances.
#include "platform/dmusic/dmusic.h"

#include "platform/dmusic/loader.h"
#include "platform/dmusic/performance.h"

namespace dmusic {

namespace {

template <class Class> HRESULT create(REFIID iid, void **object) {
    auto *created = new Class();
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

} // namespace

bool RegisterClasses() {
    com::RegisterClass(CLSID_DirectMusicLoader, &create<Loader>);
    com::RegisterClass(CLSID_DirectMusicPerformance, &create<Performance>);
    return true;
}

} // namespace dmusic
