#include "tools/mediagen/assets.h"
namespace mediagen {
void MakeSounds(Output&) {}
void MakeMusic(Output&) {}
}
