#include "game/ship_health.h"

ShipHealth::ShipHealth() = default;
ShipHealth::~ShipHealth() = default;
void ShipHealth::LoadResources(float, float) {}
void ShipHealth::ReleaseResources() {}
void ShipHealth::Update(float, float) {}
void ShipHealth::Render() {}
