// Test access to the mixer: stepping, capture and buffer loss.
#include "platform/dsound/seams.h"

#include "platform/dsound/mixer.h"

namespace seams {

void SyncSoundMixer() {
    auto guard = dsound::Mixer::Instance().Enter();
}

void CaptureSoundOutput(bool on) {
    dsound::Mixer::Instance().SetCapture(on);
}

MixedSound TakeSoundOutput() {
    dsound::Mixer &mixer = dsound::Mixer::Instance();
    MixedSound mixed;
    mixed.samples = mixer.TakeCapture();
    auto guard = mixer.Enter();
    mixed.rate = mixer.Format().rate;
    mixed.channels = mixer.Format().channels;
    return mixed;
}

void LoseSoundBuffers() {
    dsound::Mixer &mixer = dsound::Mixer::Instance();
    auto guard = mixer.Enter();
    mixer.LoseAllVoices();
}

} // namespace seams
