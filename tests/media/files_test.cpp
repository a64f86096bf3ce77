// Every file the game opens is generated under its exact name, every texture a mesh names exists
// beside it, and every generated file loads through the reader the game uses for it.
#include "tests/media/media_loaders.h"

#include <filesystem>
#include <set>

using namespace mediatest;

std::vector<std::string> mediatest::FixedNames() {
    std::vector<std::string> n = {"asteroid1.x",
                                  "asteroid2.x",
                                  "asteroid3.x",
                                  "asteroid4.x",
                                  "black.x",
                                  "black2.x",
                                  "cockpit.x",
                                  "debris.x",
                                  "explosion.x",
                                  "flare.x",
                                  "flare2.x",
                                  "marsship.x",
                                  "photo.x",
                                  "radar.x",
                                  "satellite.x",
                                  "ship.x",
                                  "ShipHealth.x",
                                  "skybox.x",
                                  "station.x",
                                  "targ2.x",
                                  "targt.x",
                                  "textasset.x",
                                  "title.png",
                                  "paused.png",
                                  "halloffame.png",
                                  "options.png",
                                  "credits.png",
                                  "gameover.png",
                                  "wavecleared.png",
                                  "tehsuck.png",
                                  "spacejunk.png",
                                  "briefing.png",
                                  "zelgame.png",
                                  "score.png",
                                  "intermission.png",
                                  "nodamage.png",
                                  "wavefailed.png",
                                  "timeremaining.png",
                                  "font.png",
                                  "radar.png",
                                  "radardot0.png",
                                  "radardot1.png",
                                  "radardot2.png",
                                  "radardot3.png",
                                  "shiph.png",
                                  "health-full.png",
                                  "health-lose.png",
                                  "smoke.png",
                                  "shockwave.jpg",
                                  "laser.jpg",
                                  "marslaser.jpg",
                                  "cockpit-lights.jpg",
                                  "cubemap.dds",
                                  "font.dat",
                                  "spring.wav",
                                  "engine.wav",
                                  "marsshipengine.wav",
                                  "marsshiplaser.wav",
                                  "enginestart.wav",
                                  "rumble.wav",
                                  "explosion1.wav",
                                  "explosion2.wav",
                                  "laser.wav",
                                  "danger.wav",
                                  "win.wav",
                                  "lose.wav",
                                  "hit.wav",
                                  "menuloop2.wav",
                                  "menuselect.wav",
                                  "menuback.wav",
                                  "stationorder.wav",
                                  "menuloop.wav"};
    for (int i = 1; i <= 8; ++i) {
        n.push_back("wave" + std::to_string(i) + ".png");
    }
    for (int i = 0; i <= 3; ++i) {
        n.push_back("lives" + std::to_string(i) + ".png");
    }
    for (int i = 1; i <= 60; ++i) {
        n.push_back("explosion" + std::to_string(i) + ".jpg");
    }
    return n;
}

TEST(MediaFiles, EveryFixedNameIsGenerated) {
    auto names = FixedNames();
    ASSERT_EQ(names.size(), 144u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 144u);
    for (const auto &n : names) {
        EXPECT_TRUE(std::filesystem::is_regular_file(MediaDir() + "/" + n)) << n;
        EXPECT_GT(ReadMedia(n).size(), 0u) << n;
    }
}

TEST(MediaFiles, EveryTextureNamedByAMeshExistsAndDecodes) {
    std::set<std::string> textures;
    for (const auto &n : FixedNames()) {
        if (n.ends_with(".x")) {
            Mesh m = LoadMesh(n);
            ASSERT_TRUE(m.ok) << n;
            for (const auto &mat : m.materials) {
                if (mat.hasTexture) {
                    textures.insert(mat.textureFilename);
                }
            }
        }
    }
    EXPECT_GE(textures.size(), 25u);
    auto fixed = FixedNames();
    for (const auto &t : textures) {
        // Bare names only: every loader opens files relative to the working folder.
        EXPECT_EQ(t.find('/'), std::string::npos) << t;
        auto img = LoadPicture(t);
        EXPECT_TRUE(img.ok) << t;
        EXPECT_GT(img.width, 0u) << t;
    }
}

TEST(MediaFiles, EveryGeneratedFileLoadsThroughTheGamesReader) {
    std::size_t count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(MediaDir())) {
        const std::string n = entry.path().filename().string();
        SCOPED_TRACE(n);
        ++count;
        if (n.ends_with(".x")) {
            EXPECT_TRUE(LoadMesh(n).ok);
        } else if (n == "font.png") {
            EXPECT_TRUE(LoadPicture(n, 1).ok);
        } else if (n.ends_with(".png") || n.ends_with(".jpg") || n.ends_with(".dds")) {
            EXPECT_TRUE(LoadPicture(n).ok);
        } else if (n.ends_with(".wav")) {
            EXPECT_TRUE(LoadSound(n).ok);
        } else if (n == "font.dat") {
            ReadWidthTable();
        } else {
            ADD_FAILURE() << "no reader of the game opens this file";
        }
    }
    // The 144 fixed names and the 31 textures the meshes name.
    EXPECT_EQ(count, 175u);
}
