// What the WAV reader accepts as a sound format: a record every user of it can play without
// dividing by zero or stepping through samples of a size that does not match their frames.
#pragma once

#include "platform/mmio/wave_format.h"

namespace wav {

constexpr WORD kMaxChannels = 8;
// The rates a sound buffer can be set to play at.
constexpr DWORD kMinSamplesPerSec = 100;
constexpr DWORD kMaxSamplesPerSec = 200000;

bool IsAcceptableFormat(const PCMWAVEFORMAT &format);

} // namespace wav
