#include "game/sound_actions.h"

#include "sound/sound.h"

#include <algorithm>

void PlaySoundOnce(CSound *sound) {
    if (sound)
        sound->Play(0, 0);
}

void PlaySoundLooping(CSound *sound) {
    if (sound)
        sound->Play(0, DSBPLAY_LOOPING);
}

void RestartSound(CSound *sound) {
    if (!sound)
        return;
    sound->Stop();
    sound->Rewind();
    sound->Play(0, 0);
}

void RewindAndPlaySound(CSound *sound) {
    if (!sound)
        return;
    sound->Rewind();
    sound->Play(0, 0);
}

void StopSound(CSound *sound) {
    if (sound)
        sound->Stop();
}

void StopSoundIfPlaying(CSound *sound) {
    if (sound && sound->IsPlaying())
        sound->Stop();
}

bool IsSoundPlaying(CSound *sound) {
    return sound && sound->IsPlaying();
}

void SetSoundVolume(CSound *sound, LONG volume) {
    if (!sound)
        return;
    if (LPDIRECTSOUNDBUFFER buffer = sound->GetBuffer(0))
        buffer->SetVolume(std::clamp<LONG>(volume, DSBVOLUME_MIN, DSBVOLUME_MAX));
}

void SetSoundFrequency(CSound *sound, DWORD frequency) {
    if (!sound)
        return;
    if (LPDIRECTSOUNDBUFFER buffer = sound->GetBuffer(0))
        buffer->SetFrequency(frequency);
}
