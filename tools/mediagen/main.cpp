// Writes every data file of the game into the folder named on the command line.
#include "tools/mediagen/assets.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    if (ec) {
        std::fprintf(stderr, "mediagen: cannot create %s: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    mediagen::TextRenderer text;
    if (!text.ok()) {
        return 1;
    }
    mediagen::Output out(argv[1]);
    mediagen::MakeSky(out);
    mediagen::MakeRocks(out);
    mediagen::MakeShip(out, text);
    mediagen::MakeMarsShip(out);
    mediagen::MakeSatellite(out);
    mediagen::MakeStation(out, text);
    mediagen::MakeCockpit(out);
    mediagen::MakePhoto(out, text);
    mediagen::MakeSprites(out);
    mediagen::MakeHud(out);
    mediagen::MakeCaptions(out, text);
    mediagen::MakeFont(out, text);
    mediagen::MakeSounds(out);
    mediagen::MakeMusic(out);
    std::printf("mediagen: wrote %zu files to %s\n", out.written().size(), argv[1]);
    return out.ok() ? 0 : 1;
}
