#include "game/sound_actions.h"

#include "sound/sound.h"

namespace {

constexpr DWORD kEngineIdleFrequency = 4000;
constexpr DWORD kEngineTopFrequency = 44100;

} // namespace

void PlaySoundOnce(CSound *sound) {
    if (sound)
        sound->Play(0, 0);
}

void PlaySoundLooping(CSound *sound) {
    if (sound)
        sound->Play(0, DSBPLAY_LOOPING);
}

void PlaySoundIfIdle(CSound *sound) {
    if (sound && !sound->IsPlaying())
        sound->Play(0, 0);
}

void LoopSoundIfIdle(CSound *sound) {
    if (sound && !sound->IsPlaying())
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

void SetSoundVolume(CSound *sound, float volume) {
    if (!sound)
        return;
    LPDIRECTSOUNDBUFFER buffer = sound->GetBuffer(0);
    if (!buffer)
        return;
    // Written so that a NaN fails the first test and ends up silent.
    if (!(volume > static_cast<float>(DSBVOLUME_MIN)))
        volume = static_cast<float>(DSBVOLUME_MIN);
    else if (volume > static_cast<float>(DSBVOLUME_MAX))
        volume = static_cast<float>(DSBVOLUME_MAX);
    buffer->SetVolume(static_cast<LONG>(volume));
}

void SetSoundFrequency(CSound *sound, DWORD frequency) {
    if (!sound)
        return;
    if (LPDIRECTSOUNDBUFFER buffer = sound->GetBuffer(0))
        buffer->SetFrequency(frequency);
}

DWORD EngineFrequency(float speed) {
    const float rise = speed * 44100.0f;
    // Below one hertz of rise (a stopped or reversing ship, or no number at all) the engine idles;
    // from the top down it is held there, so the truncation below only sees values in range.
    if (!(rise >= 1.0f))
        return kEngineIdleFrequency;
    if (rise >= static_cast<float>(kEngineTopFrequency - kEngineIdleFrequency))
        return kEngineTopFrequency;
    return kEngineIdleFrequency + static_cast<DWORD>(rise);
}
