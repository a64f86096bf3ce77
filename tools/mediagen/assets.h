// One entry point per asset family; each writes its files through the output folder.
#pragma once

#include "tools/mediagen/mesh.h"
#include "tools/mediagen/output.h"
#include "tools/mediagen/text.h"

namespace mediagen {

void MakeSky(Output &out);                               // skybox.x, sky_*.jpg, cubemap.dds
void MakeRocks(Output &out);                             // asteroid1-4.x, debris.x, rock1-4.jpg
void MakeShip(Output &out, const TextRenderer &text);    // ship.x, shiphull.jpg
void MakeMarsShip(Output &out);                          // marsship.x, marshull.jpg
void MakeSatellite(Output &out);                         // satellite.x and its textures
void MakeStation(Output &out, const TextRenderer &text); // station.x and its textures
void MakeCockpit(Output &out); // cockpit.x and its textures, cockpit-lights.jpg
void MakePhoto(Output &out, const TextRenderer &text); // photo.x, photo.jpg, photo-back.jpg
void MakeSprites(Output &out); // explosion.x, flare meshes, explosion frames, glows, smoke
void MakeHud(Output &out);     // radar, dots, gauge, target marks, black quads, textasset.x
void MakeCaptions(Output &out, const TextRenderer &text); // the 28 captions
void MakeFont(Output &out, const TextRenderer &text);     // font.png, font.dat
void MakeSounds(Output &out);                             // the 17 effects
void MakeMusic(Output &out);                              // menuloop.wav, menuloop2.wav

// Mesh builders, each writing one of the mesh files.
Mesh BuildRock(int index);
Mesh BuildDebris();
Mesh BuildShip();
Mesh BuildMarsShip();
Mesh BuildSatellite();
Mesh BuildStation();
Mesh BuildCockpit();
Mesh BuildSkybox();
Mesh BuildPhoto();

} // namespace mediagen
