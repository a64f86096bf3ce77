#include "tools/mediagen/assets.h"
namespace mediagen {
void MakePhoto(Output&, const TextRenderer&) {}
void MakeSprites(Output&) {}
void MakeHud(Output&) {}
void MakeCaptions(Output&, const TextRenderer&) {}
void MakeFont(Output&, const TextRenderer&) {}
void MakeSounds(Output&) {}
void MakeMusic(Output&) {}
}
