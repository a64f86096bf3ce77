// The loader: segments from files named in wide characters, relative to the working folder.
#include "platform/dmusic/loader.h"

#include "platform/dmusic/segment.h"
#include "platform/seams/failure_injection.h"

#include <string>

namespace dmusic {

namespace {

// File names are plain ASCII in practice; anything else is passed on as UTF-8.
bool narrowName(const WCHAR *wide, std::string &narrow) {
    narrow.clear();
    for (std::size_t i = 0; wide[i] != 0; ++i) {
        if (i >= MAX_PATH)
            return false;
        const char32_t c = wide[i];
        if (c < 0x80) {
            narrow.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            narrow.push_back(static_cast<char>(0xC0 | (c >> 6)));
            narrow.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            narrow.push_back(static_cast<char>(0xE0 | (c >> 12)));
            narrow.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            narrow.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return !narrow.empty();
}

} // namespace

HRESULT Loader::QueryInterface(REFIID iid, void **object) {
    return AnswerQuery(iid, {IID_IDirectMusicLoader8}, object);
}

HRESULT Loader::LoadObjectFromFile(REFGUID classId, REFIID iid, WCHAR *filePath, void **object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!filePath)
        return E_POINTER;
    if (classId != CLSID_DirectMusicSegment)
        return REGDB_E_CLASSNOTREG;
    if (iid != IID_IUnknown && iid != IID_IDirectMusicSegment8)
        return E_NOINTERFACE;
    HRESULT injected = DMUS_E_LOADER_FAILEDOPEN;
    if (seams::ShouldFail("LoadObjectFromFile", &injected))
        return injected;
    std::string path;
    if (!narrowName(filePath, path))
        return DMUS_E_LOADER_BADPATH;
    Segment *segment = nullptr;
    const HRESULT hr = Segment::Load(path, &segment);
    if (FAILED(hr))
        return hr;
    *object = static_cast<IDirectMusicSegment8 *>(segment);
    return S_OK;
}

} // namespace dmusic
