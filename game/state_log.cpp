#include "game/state_log.h"

#include "game/asteroid_field.h"
#include "game/asteroid_game.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/mars_ship.h"
#include "game/satellite.h"
#include "game/smoke.h"
#include "game/spaceship.h"
#include "platform/seams/frame_clock.h"
#include "platform/win32/seams.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Nine significant digits read back as the same single-precision value.
std::string Float(float value) {
    if (!std::isfinite(value))
        return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

template <typename Pool, typename IsActive> long ActiveCount(const Pool *pool, IsActive isActive) {
    return pool ? isActive(*pool) : 0;
}

template <typename Record, size_t N> long CountActive(const Record (&records)[N]) {
    long n = 0;
    for (const Record &r : records)
        n += r.active ? 1 : 0;
    return n;
}

struct LogFile {
    std::FILE *file = nullptr;
    ~LogFile() {
        if (file)
            std::fclose(file);
    }
};

} // namespace

std::string StateLogLine(const CMyD3DApplication &app, long frame) {
    const Spaceship *ship = app.m_pSpaceship;
    std::string line = "{\"frame\":" + std::to_string(frame);
    auto add = [&line](const char *key, const std::string &value) {
        line += ",\"";
        line += key;
        line += "\":";
        line += value;
    };
    add("state", std::to_string(static_cast<int>(app.m_gameState)));
    add("stateTimer", Float(app.m_fStateTimer));
    add("runningTime", Float(app.m_fRunningTime));
    add("wave", std::to_string(app.m_nWave));
    add("lives", std::to_string(app.m_nLives));
    add("waveScore", std::to_string(app.m_dwWaveScore));
    add("totalScore", std::to_string(app.m_dwTotalScore));
    add("timeLeft", Float(app.m_fTimeLeft));
    add("shotCounter", std::to_string(app.m_nShotCounter));
    add("difficulty", Float(app.m_fDifficultyFactor));
    add("viewMode", std::to_string(app.m_nViewMode));
    if (ship) {
        add("ship", "{\"x\":" + Float(ship->position.x) + ",\"y\":" + Float(ship->position.y) +
                        ",\"z\":" + Float(ship->position.z) + ",\"speed\":" + Float(ship->speed) +
                        ",\"health\":" + Float(ship->health) + "}");
    } else {
        add("ship", "null");
    }
    add("bodies", std::to_string(ActiveCount(app.m_pAsteroidField, [](const AsteroidField &f) {
            return CountActive(f.bodies);
        })));
    add("marsShips", std::to_string(ActiveCount(app.m_pMarsShip, [](const MarsShip &m) {
            return CountActive(m.records);
        })));
    add("satellites", std::to_string(ActiveCount(app.m_pSatellite, [](const Satellite &s) {
            long n = 0;
            for (bool on : s.active)
                n += on ? 1 : 0;
            return n;
        })));
    add("shots", std::to_string(ActiveCount(app.m_pLaser,
                                            [](const Laser &l) { return CountActive(l.shots); })));
    add("explosions", std::to_string(ActiveCount(app.m_pExplosion, [](const Explosion &e) {
            return CountActive(e.explosions);
        })));
    add("puffs", std::to_string(ActiveCount(app.m_pSmoke,
                                            [](const Smoke &s) { return CountActive(s.puffs); })));
    add("draws", std::to_string(seams::RandomDraws()));
    line += "}";
    return line;
}

bool InstallStateLog(CMyD3DApplication &app) {
    const char *path = std::getenv("TARVOS_STATE_LOG");
    if (!path || !*path)
        return true;
    static LogFile log;
    if (log.file)
        return true;
    log.file = std::fopen(path, "w");
    if (!log.file) {
        std::fprintf(stderr, "TARVOS_STATE_LOG: cannot write \"%s\"\n", path);
        return false;
    }
    // Pictures of captured frames carry the same frame numbers as the log.
    seams::NumberCapturesByFrame(true);
    auto write = [&app](long frame) {
        if (!log.file)
            return;
        const std::string line = StateLogLine(app, frame) + "\n";
        std::fputs(line.c_str(), log.file);
        std::fflush(log.file);
    };
    // Nothing of a frame has run when the next one begins, so that is when the last one ended.
    seams::OnFrameBegin([write](long frame) { write(frame - 1); });
    seams::OnFramesEnd([write](long lastFrame) {
        write(lastFrame);
        std::fclose(log.file);
        log.file = nullptr;
    });
    return true;
}
