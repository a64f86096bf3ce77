// The states outside play: the attract fly-by, the main and difficulty menus, the initials entry,
// the hall of fame and the credits.
#include "game/asteroid_field.h"
#include "game/asteroid_game.h"
#include "game/explosion.h"
#include "game/laser.h"
#include "game/menu_keys.h"
#include "game/sound_actions.h"
#include "game/spaceship.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Escape leaves a menu, so it waits a little longer: one press must not back out of two menus.
constexpr float kMenuEscapeDelay = 0.2f;
constexpr float kIntroLength = 45.0f;

constexpr const char *kMainMenuItems[] = {"RESUME GAME",  "NEW GAME", "OPTIONS",
                                          "HALL OF FAME", "CREDITS",  "EXIT"};
constexpr const char *kDifficultyItems[] = {"VERY EASY", "EASY", "NORMAL", "HARD", "SUICIDE"};
constexpr float kDifficultyFactors[] = {0.4f, 0.6f, 0.8f, 1.0f, 1.4f};
constexpr INT kNormalDifficulty = 2;

// The engine's pitch when play resumes: the ship is taken as at rest.
constexpr DWORD kEngineMinFrequency = 4000;

INT WrapCursor(INT cursor, INT count) {
    if (cursor >= count)
        return 0;
    if (cursor < 0)
        return count - 1;
    return cursor;
}

} // namespace

void StepMenuCursor(const InputState &input, CSound *selectSound, float &stateTimer, INT &cursor,
                    INT count) {
    if (input.bDown && stateTimer > kMenuKeyDelay) {
        PlaySoundOnce(selectSound);
        stateTimer = 0.0f;
        cursor = WrapCursor(cursor + 1, count);
    }
    if (input.bUp && stateTimer > kMenuKeyDelay) {
        PlaySoundOnce(selectSound);
        stateTimer = 0.0f;
        cursor = WrapCursor(cursor - 1, count);
    }
}

void CMyD3DApplication::UpdateIntro() {
    const float dt = m_fElapsedTime;
    m_fStateTimer += dt;

    LoopSoundIfIdle(m_pEngineSound);
    SetSoundFrequency(m_pEngineSound, EngineFrequency(m_pSpaceship->speed));

    if (m_fStateTimer >= kIntroLength || m_input.bEnter) {
        m_nMainMenuCursor = 0;
        StopSoundIfPlaying(m_pEngineSound);
        m_fKeyRepeatTimer = 0.0f;
        EnterMenuState(GameState::MainMenu);
        // The rest of the fly-by still runs this frame, from a state timer of 0.
    }

    if (m_fStateTimer > 10.0f && m_fStateTimer < 15.0f) {
        const D3DXVECTOR3 position = m_pSpaceship->GetPosition();
        m_pSpaceship->SetPosition(position.x, position.y, position.z * 0.97f);
    }

    if (m_fStateTimer > 25.0f && m_fStateTimer < 35.0f) {
        const D3DXQUATERNION orientation = m_pSpaceship->GetOrientation();
        D3DXMatrixRotationQuaternion(&m_matShipRotation, &orientation);
        m_pSpaceship->acceleration += dt / 150.0f;
        m_pSpaceship->pitchRate -= dt / 50.0f;
        m_pSpaceship->rollRate += dt / 6.0f;
        const D3DXVECTOR3 muzzle = m_pSpaceship->GetShakeOffset();
        if (m_pLaser->Fire(muzzle.x, muzzle.y, muzzle.z, &m_matShipRotation, m_pSpaceship->speed,
                           0)) {
            RestartSound(m_pLaserSound);
            m_pSpaceship->SlowDown();
        }
    }

    if (m_fStateTimer > 35.0f && m_fStateTimer < kIntroLength) {
        m_pSpaceship->acceleration += dt / 20.0f;
        m_pSpaceship->rollRate -= dt / 4.0f;
        // The engine fades out linearly over the last ten seconds.
        SetSoundVolume(m_pEngineSound, -10000.0f * (m_fStateTimer - 35.0f) / 10.0f);
    }

    m_pSpaceship->Update(dt, m_bInvertPitch,
                         static_cast<float>(m_dwSteeringSensitivity) / 10.0f + 0.5f, m_bHeadlight);

    if (m_fStateTimer > 5.0f)
        m_pAsteroidField->Update(dt, 0.0f, 0.0f, 0.0f);

    m_pExplosion->Update(dt);
    m_pLaser->Update(dt);
    DetectCollisions();
}

void CMyD3DApplication::UpdateMainMenu() {
    // During a game the list starts with RESUME GAME; otherwise it starts at NEW GAME.
    const INT first = m_bGameInProgress ? 0 : 1;
    m_nItemCount = static_cast<INT>(std::size(kMainMenuItems)) - first;
    for (INT i = 0; i < m_nItemCount; ++i)
        m_menuItems[i] = kMainMenuItems[first + i];

    m_fStateTimer += m_fElapsedTime;
    if (m_fStateTimer > kIdleTimeout) {
        m_fStateTimer = 0.0f;
        m_gameState = GameState::HallOfFame;
    }

    // Escape during a game resumes it through the RESUME GAME action below, in this same frame.
    if (m_input.bEscape && m_bGameInProgress && m_fStateTimer > kMenuEscapeDelay) {
        m_nMainMenuCursor = 0;
        m_fKeyRepeatTimer = 0.0f;
        StopMusic();
        m_input.bEnter = 1;
    }

    StepMenuCursor(m_input, m_pMenuSelectSound, m_fStateTimer, m_nMainMenuCursor, m_nItemCount);

    if (!m_input.bEnter || m_fStateTimer <= kMenuKeyDelay)
        return;
    m_fStateTimer = 0.0f;
    PlaySoundOnce(m_pMenuBackSound);
    const char *item =
        kMainMenuItems[first + std::clamp<INT>(m_nMainMenuCursor, 0, m_nItemCount - 1)];
    if (std::strcmp(item, "RESUME GAME") == 0) {
        m_fKeyRepeatTimer = 0.0f;
        StopMusic();
        SetSoundFrequency(m_pEngineSound, kEngineMinFrequency);
        PlaySoundLooping(m_pEngineSound);
        SetSoundVolume(m_pRumbleSound, -10000.0f);
        PlaySoundLooping(m_pRumbleSound);
        SetSoundVolume(m_pMarsShipEngineSound, -10000.0f);
        PlaySoundLooping(m_pMarsShipEngineSound);
        m_gameState = GameState::Playing;
    } else if (std::strcmp(item, "NEW GAME") == 0) {
        EnterMenuState(GameState::DifficultyMenu);
        m_nMainMenuCursor = kNormalDifficulty;
    } else if (std::strcmp(item, "OPTIONS") == 0) {
        m_nOptionsCursor = 0;
        m_dwOptionsModeIndex = m_dwChosenModeIndex;
        EnterMenuState(GameState::OptionsMenu);
    } else if (std::strcmp(item, "HALL OF FAME") == 0) {
        m_gameState = GameState::HallOfFame;
    } else if (std::strcmp(item, "CREDITS") == 0) {
        m_gameState = GameState::Credits;
    } else {
        m_bExitChosen = true;
        m_gameState = GameState::Credits;
    }
}

void CMyD3DApplication::UpdateDifficultyMenu() {
    m_nItemCount = static_cast<INT>(std::size(kDifficultyItems));
    for (INT i = 0; i < m_nItemCount; ++i)
        m_menuItems[i] = kDifficultyItems[i];

    m_fStateTimer += m_fElapsedTime;

    if (m_input.bEscape && m_fStateTimer > kMenuEscapeDelay) {
        PlaySoundOnce(m_pMenuBackSound);
        // Back on NEW GAME, wherever it stands in the main menu's list.
        m_nMainMenuCursor = m_bGameInProgress ? 1 : 0;
        EnterMenuState(GameState::MainMenu);
        return;
    }

    StepMenuCursor(m_input, m_pMenuSelectSound, m_fStateTimer, m_nMainMenuCursor, m_nItemCount);
    if (m_input.bEnter && m_fStateTimer > kMenuKeyDelay) {
        m_fStateTimer = 0.0f;
        const INT choice = std::clamp<INT>(m_nMainMenuCursor, 0, m_nItemCount - 1);
        StartNewGame(kDifficultyFactors[choice]);
    }
}

void CMyD3DApplication::UpdateInitialsEntry() {
    m_fStateTimer += m_fElapsedTime;

    if (m_input.bLetterTyped && m_fStateTimer > kMenuKeyDelay && m_nInitialsCount < 3) {
        PlaySoundOnce(m_pMenuSelectSound);
        m_fStateTimer = 0.0f;
        m_initials[m_nInitialsCount] = m_input.cLetter;
        m_initials[m_nInitialsCount + 1] = '\0';
        ++m_nInitialsCount;
    }
    if (m_input.bBackspace && m_fStateTimer > kMenuKeyDelay && m_nInitialsCount > 0) {
        --m_nInitialsCount;
        m_initials[m_nInitialsCount] = '\0';
        PlaySoundOnce(m_pMenuSelectSound);
        m_fStateTimer = 0.0f;
    }
    if (m_input.bEnter && m_fStateTimer > kMenuKeyDelay && m_nInitialsCount == 3) {
        // Entries with a score at least as high keep their place above the new one; the old last
        // row drops out.
        int row = kHallOfFameRows - 1;
        while (row > 0 && m_dwTotalScore > m_hallOfFame[row - 1].score) {
            m_hallOfFame[row] = m_hallOfFame[row - 1];
            --row;
        }
        m_hallOfFame[row].score = m_dwTotalScore;
        std::snprintf(m_hallOfFame[row].initials, sizeof m_hallOfFame[row].initials, "%.3s",
                      m_initials);
        m_nInitialsCount = 0;
        PlaySoundOnce(m_pMenuBackSound);
        m_fStateTimer = 0.0f;
        m_gameState = GameState::HallOfFame;
    }
}

void CMyD3DApplication::UpdateHallOfFame() {
    m_fStateTimer += m_fElapsedTime;
    if ((m_input.bEnter || m_input.bEscape) && m_fStateTimer > kMenuKeyDelay) {
        PlaySoundOnce(m_pMenuBackSound);
        EnterMenuState(GameState::MainMenu);
    }
    if (m_fStateTimer > kIdleTimeout) {
        m_fStateTimer = 0.0f;
        m_gameState = GameState::Credits;
    }
}

void CMyD3DApplication::UpdateCredits() {
    m_fStateTimer += m_fElapsedTime;
    const bool key = (m_input.bEnter || m_input.bEscape) && m_fStateTimer > kMenuKeyDelay;
    if (m_bExitChosen) {
        if (key) {
            StopMusic();
            m_bQuit = true;
        }
        return;
    }
    if (key) {
        PlaySoundOnce(m_pMenuBackSound);
        EnterMenuState(GameState::MainMenu);
    } else if (m_fStateTimer > kIdleTimeout) {
        EnterMenuState(GameState::MainMenu);
    }
}
