// The keyboard device: 256 key bytes by key code, 0x80 for a key held down.
#include "platform/dinput/devices.h"
#include "platform/dinput/input_tracker.h"
#include "platform/dinput/key_codes.h"

namespace dinput {

namespace {

class Keyboard final : public Device {
public:
    Keyboard() : Device("Keyboard", c_dfDIKeyboard) {}

protected:
    std::vector<DeviceObject> Objects() const override {
        std::vector<DeviceObject> objects;
        for (DWORD dik = 0; dik < 256; ++dik)
            if (const char *name = DikName(static_cast<BYTE>(dik)))
                objects.push_back({GUID_Key, dik, DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(dik), name});
        return objects;
    }

    void ReadState(void *state) override {
        InputTracker::Instance().ReadKeys(static_cast<BYTE *>(state));
    }

    HRESULT CheckLevel(DWORD flags) const override {
        // Nobody may keep the keyboard from every other program.
        if ((flags & DISCL_EXCLUSIVE) && (flags & DISCL_BACKGROUND))
            return DIERR_UNSUPPORTED;
        if ((flags & DISCL_NOWINKEY) && (flags & DISCL_BACKGROUND))
            return DIERR_INVALIDPARAM;
        return DI_OK;
    }
};

} // namespace

Device *CreateKeyboard() {
    return new Keyboard;
}

} // namespace dinput
