// The music loader class.
#pragma once

#include "platform/dmusic/dmusic.h"

namespace dmusic {

class Loader final : public RefCounted<IDirectMusicLoader8> {
public:
    Loader() = default;
    HRESULT QueryInterface(REFIID iid, void **object) override;
    HRESULT LoadObjectFromFile(REFGUID classId, REFIID iid, WCHAR *filePath,
                               void **object) override;

private:
    ~Loader() override = default;
};

} // namespace dmusic
