#include "game/radar.h"

Radar::Radar() = default;
Radar::~Radar() = default;
void Radar::LoadResources(float, float) {}
void Radar::ReleaseResources() {}
void Radar::Render() {}
void Radar::SetDotTexture(DWORD) {}
void Radar::DrawDot() {}
