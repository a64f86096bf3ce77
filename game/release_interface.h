// Gives back a device object the game holds and forgets it, so that a second release (a reset
// followed by shutdown) finds nothing to give back.
#pragma once

template <class Interface> void ReleaseInterface(Interface *&object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}
