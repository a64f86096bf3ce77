// Whole games of the real program. The pilot (tests/play/pilot) plays a game from the game's own
// state and writes down every key it pressed; the tarvos program then plays that script. Both
// state logs must agree frame for frame, and the program's log must follow the rules of play:
// points, the no-damage bonus, the level's time limits, lives lost each way, pause, the views, a
// visit to the main menu, and the hall of fame stored at exit.
#include "tests/play/program_run.h"

#include <cmath>
#include <functional>
#include <set>

namespace {

using play_test::Field;
using play_test::ProgramRun;

constexpr double kStep = 0.02;

enum State {
    MainMenu = 1,
    InitialsEntry = 3,
    HallOfFame = 5,
    WaveIntro = 8,
    Playing = 9,
    Paused = 10,
    LifeLost = 11,
    WaveCleared = 12
};

struct Frame {
    long frame;
    int state, wave, lives, shotCounter, viewMode, bodies, satellites;
    double waveScore, totalScore, timeLeft, health, x, y, z;
    float difficulty;
};

std::vector<Frame> Frames(const ProgramRun &run) {
    std::vector<Frame> frames;
    for (const play_test::LogLine &line : run.lines) {
        const std::string &t = line.text;
        const auto i = [&t](const char *key) { return static_cast<int>(Field(t, key)); };
        frames.push_back({line.frame, line.state, i("wave"), i("lives"), i("shotCounter"),
                          i("viewMode"), i("bodies"), i("satellites"), Field(t, "waveScore"),
                          Field(t, "totalScore"), Field(t, "timeLeft"), Field(t, "health"),
                          Field(t, "x"), Field(t, "y"), Field(t, "z"),
                          static_cast<float>(Field(t, "difficulty"))});
    }
    return frames;
}

// The pilot's game, then the program's replay of it.
struct Game {
    ProgramRun pilot, program;
    std::vector<Frame> log;
};

Game Play(const std::string &scenario, const std::vector<long> &pictures = {}) {
    Game game;
    const auto folder = play_test::BinaryDir() / "whole-games" / scenario;
    const auto script = folder.parent_path() / (scenario + "-script.txt");
    game.pilot = play_test::RunProgram(TARVOS_PILOT, {scenario, script.string()}, folder / "pilot",
                                       "", kStep, {});
    std::ifstream file(script);
    std::stringstream text;
    text << file.rdbuf();
    game.program = play_test::RunTarvos(folder / "program", text.str(), kStep, pictures);
    game.log = Frames(game.program);
    return game;
}

// The limit the wave table gives at this difficulty, in single precision; -666 for none.
double TimeLimit(int wave, float difficulty) {
    const int base[] = {0, 60, 0, 0, 0, 75, 90, 150};
    if (base[wave - 1] == 0)
        return -666.0;
    return std::trunc((1.0f / difficulty) * 1.0f * static_cast<float>(base[wave - 1]));
}

// The points of one shot on a body of `sizeClass` with the shot counter at `counter`.
double Points(int sizeClass, int counter, float difficulty) {
    const int quotient = (5 - sizeClass) * 1000 / std::max(counter, 1);
    return std::trunc(static_cast<float>(quotient) * difficulty);
}

// A text value of the settings as the program stored them at exit.
std::string StoredText(const ProgramRun &run, const std::string &name) {
    std::ifstream file(run.settings / "tarvos" / "current_user.reg");
    const std::string tag = "value \"" + name + "\" 1 ";
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(tag, 0) != 0)
            continue;
        const std::string hex = line.substr(line.rfind(' ') + 1);
        std::string text;
        for (size_t i = 0; i + 1 < hex.size() && hex.substr(i, 2) != "00"; i += 2)
            text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        return text;
    }
    return "(none)";
}

// The rules every game follows, frame by frame. Counts what it saw in `seen`.
void CheckRules(const std::vector<Frame> &log, std::multiset<std::string> &seen) {
    for (size_t i = 1; i < log.size(); ++i) {
        const Frame &was = log[i - 1], &now = log[i];
        const float f = now.difficulty;
        SCOPED_TRACE("frame " + std::to_string(now.frame));
        if (was.state == WaveIntro && now.state == Playing) {
            EXPECT_EQ(now.timeLeft, TimeLimit(now.wave, f)) << "wave " << now.wave;
            EXPECT_EQ(now.waveScore, 0);
            EXPECT_EQ(now.health, 1.0);
            seen.insert("wave start");
        }
        // A shot breaking a body scores its class's points over the shots since the last hit.
        const int pieces = now.bodies - was.bodies;
        const bool noMarsShips = now.wave == 1 || now.wave == 2 || now.wave == 5;
        if (now.state == Playing && noMarsShips && now.waveScore > was.waveScore) {
            const double gained = now.waveScore - was.waveScore;
            const int c = was.shotCounter;
            if (pieces == -1) {
                EXPECT_EQ(gained, Points(3, c, f));
                seen.insert("class 3 hit");
            } else if (pieces == 2 && f >= 1.0f) {
                EXPECT_EQ(gained, Points(1, c, f));
                seen.insert("class 1 hit");
            } else if (pieces == 1) {
                // Below difficulty 1.0 a large body breaks in two, as a middle one does.
                EXPECT_TRUE(gained == Points(2, c, f) || (f < 1.0f && gained == Points(1, c, f)))
                    << gained;
                seen.insert("class 1 or 2 hit");
            }
        }
        if (was.state == Playing && now.state == WaveCleared) {
            const double bonus = now.health == 1.0
                                     ? std::trunc(static_cast<float>(was.waveScore) * 1.5f)
                                     : was.waveScore;
            EXPECT_EQ(now.totalScore, was.totalScore + bonus);
            EXPECT_EQ(now.waveScore, 0);
            seen.insert(now.health == 1.0 ? "cleared with bonus" : "cleared");
        }
        if (was.state == WaveCleared && now.state != WaveCleared) {
            EXPECT_EQ(now.wave, was.wave + 1);
        }
        if (was.state == Playing && now.state == LifeLost) {
            EXPECT_EQ(now.lives, was.lives - 1);
            EXPECT_EQ(now.waveScore, 0);
            if (now.satellites < was.satellites && now.health > 0.0) {
                seen.insert("satellite lost");
            } else if (now.health <= 0.0) {
                seen.insert(now.health == 0.0 && now.bodies == was.bodies ? "self-destruct"
                                                                          : "ship destroyed");
            } else {
                EXPECT_LE(now.timeLeft, 0.0);
                EXPECT_GT(was.timeLeft, 0.0);
                seen.insert("time out");
            }
        }
        if (was.state == LifeLost && now.state == WaveIntro) {
            EXPECT_EQ(now.wave, was.wave) << "the same wave again";
        }
        if (was.state == Paused && now.state == Paused) {
            EXPECT_EQ(now.timeLeft, was.timeLeft);
            EXPECT_EQ(std::make_tuple(now.x, now.y, now.z), std::make_tuple(was.x, was.y, was.z));
            seen.insert("paused");
        }
        if (was.state == Playing && now.state == Playing && now.viewMode != was.viewMode)
            seen.insert("view " + std::to_string(now.viewMode));
    }
}

// The frames of a visit to the main menu from play, and the first frame back in play.
void CheckMenuVisitKeepsTheGame(const std::vector<Frame> &log, std::multiset<std::string> &seen) {
    for (size_t i = 1; i < log.size(); ++i) {
        if (log[i - 1].state != Playing || log[i].state != MainMenu)
            continue;
        size_t back = i;
        while (back < log.size() && log[back].state == MainMenu)
            ++back;
        ASSERT_LT(back, log.size());
        const Frame &left = log[i], &resumed = log[back];
        EXPECT_EQ(resumed.state, Playing) << "RESUME GAME goes back to play";
        EXPECT_EQ(std::make_tuple(resumed.wave, resumed.lives, resumed.totalScore, resumed.bodies),
                  std::make_tuple(left.wave, left.lives, left.totalScore, left.bodies));
        EXPECT_EQ(resumed.timeLeft, left.timeLeft) << "the clock stops outside play";
        seen.insert("menu and back");
    }
}

TEST(WholeGames, VeryEasyThroughFourWavesWithEveryPlayKey) {
    const Game game = Play("very-easy");
    ASSERT_EQ(game.pilot.exitCode, 0);
    ASSERT_EQ(game.program.exitCode, 0);
    ASSERT_EQ(game.program.log, game.pilot.log) << "the script replays the pilot's game";
    std::multiset<std::string> seen;
    CheckRules(game.log, seen);
    CheckMenuVisitKeepsTheGame(game.log, seen);
    EXPECT_EQ(game.log.back().difficulty, 0.4f);
    EXPECT_GE(seen.count("cleared with bonus"), 1u) << "wave 1 without a scratch";
    EXPECT_GE(seen.count("cleared"), 1u);
    for (const char *event : {"view 0", "view 1", "paused", "menu and back", "self-destruct",
                              "satellite lost", "class 1 or 2 hit", "class 3 hit"})
        EXPECT_GE(seen.count(event), 1u) << event;
    EXPECT_GE(game.log.back().wave, 4);
}

TEST(WholeGames, SuicideLosesEveryLifeEachWayAndStoresTheScore) {
    const Game game = Play("suicide");
    ASSERT_EQ(game.pilot.exitCode, 0);
    ASSERT_EQ(game.program.exitCode, 0);
    ASSERT_EQ(game.program.log, game.pilot.log) << "the script replays the pilot's game";
    std::multiset<std::string> seen;
    CheckRules(game.log, seen);
    EXPECT_EQ(game.log.back().difficulty, 1.4f);
    for (const char *event : {"time out", "ship destroyed", "self-destruct", "class 1 hit",
                              "class 1 or 2 hit", "class 3 hit"})
        EXPECT_GE(seen.count(event), 1u) << event;

    // The game ends with no life left; a total above the tenth score of the fresh table (10000)
    // asks for initials, and the row is stored in its place when the program ends.
    auto end = std::find_if(game.log.begin(), game.log.end(),
                            [](const Frame &f) { return f.lives < 0 && f.state != LifeLost; });
    ASSERT_NE(end, game.log.end());
    const double total = end->totalScore;
    ASSERT_EQ(end->state, total > 10000 ? InitialsEntry : HallOfFame);
    if (total > 10000) {
        long row = 0; // below every row that scored as much
        while (100000 - 10000 * row >= total)
            ++row;
        EXPECT_EQ(game.program.Setting("Score" + std::to_string(row)), static_cast<long>(total));
        EXPECT_EQ(StoredText(game.program, "Name" + std::to_string(row)), "TAR");
        EXPECT_EQ(game.program.Setting("Score" + std::to_string(row + 1)), 100000 - 10000 * row)
            << "the rows below move down";
    }
}

} // namespace
