#include "tools/mediagen/assets.h"
namespace mediagen {
void MakeCaptions(Output&, const TextRenderer&) {}
void MakeFont(Output&, const TextRenderer&) {}
void MakeSounds(Output&) {}
void MakeMusic(Output&) {}
}
