#pragma once

#include "flow/GameF.h"
#include "flow/HeadlessSession_KX.h"
#include "flow/SessionCoordinator_KX.h"
#include "gfx/GfxPanel.h"
#include "model/Playfield_KX.h"
#include "persistence/Settings_KX.h"
#include "platform/Application.h"
#include "platform/KeyState.h"
#include "sound/SoundOutput.h"
#include "sound/Sound_KX.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace FlowTest {

// Keeps the names of the effects played, in order.
class SoundLog : public TSoundOutput {
public:
    explicit SoundLog(QStringList* names) : FNames(names) {}
    void Play(const QString& name, const TWaveSound&) override {
        if (FNames) FNames->append(name.toUpper());
    }
    void Stop() override {}

private:
    QStringList* FNames;
};

// A fresh headless host per test, in virtual time, with the player's
// default settings and the effects logged instead of played.
class GameTest : public testing::Test {
protected:
    void SetUp() override {
        TestEnvironment::Reset();
        KeyState::ReleaseAll();
        Settings() = TSettings();
        InstallSoundOutput(std::make_unique<SoundLog>(&Sounds));
        EnableSounds();
        Session = std::make_unique<THeadlessSession>();
    }
    void TearDown() override {
        Session.reset();
        // The log goes with this test; later ones must not write into it.
        InstallSoundOutput(std::make_unique<SoundLog>(nullptr));
        KeyState::ReleaseAll();
        Application::ResetTerminated();
    }

    THeadlessHost& Host() { return Session->Host(); }

    // Starts a session; its show transitions have played.
    TGameForm* Start(int players = 1, int level = 0, uint8_t gameType = gtSpeed) {
        Host().CheckPlayersItem(players);
        Host().CheckLevelItem(level);
        Host().SetGameType(gameType);
        Host().NewSession();
        return Game(0);
    }
    TSessionCoordinator& Coordinator() { return *Host().Session(); }
    TGameForm* Game(int i) { return Coordinator().GetGame(i); }

    // Stops the game's own frame timer: frames then come only from Frame().
    static void Hold(TGameForm* game) { game->GamePanel()->SetFramesPerSec(0); }
    static void Release(TGameForm* game) {
        game->GamePanel()->SetFramesPerSec(TSessionCoordinator::GameFrameRate);
    }
    // One frame of the game's panel and the controller step it requests.
    static void Frame(TGameForm* game, int count = 1) {
        for (int i = 0; i < count; ++i) {
            game->GamePanel()->ComposeFrame();
            QCoreApplication::sendPostedEvents(game, TGameForm::StepRequestEvent());
        }
    }
    static bool RunUntil(const std::function<bool()>& done, int limit = 200000) {
        for (int i = 0; i < limit && !done(); ++i)
            Application::ProcessMessages();
        return done();
    }
    // Fills the places of a picture: rows of ten characters, '1'..'7' brick
    // cells, 'B' bobbles, anything else empty; the last row given is row 19.
    static void Fill(TGameForm* game, const QStringList& rows) {
        TPlayfield& field = *game->Playfield();
        const int top = TPlayfield::Rows - static_cast<int>(rows.size());
        for (int j = 0; j < rows.size(); ++j)
            for (int x = 0; x < TPlayfield::Columns && x < rows[j].size(); ++x) {
                const QChar c = rows[j][x];
                if (c == QLatin1Char('B'))
                    field.AddCell(x, top + j, TCell::cfBobble, 0);
                else if (c >= QLatin1Char('1') && c <= QLatin1Char('7'))
                    field.AddCell(x, top + j, TCell::cfBrick, static_cast<uint8_t>(c.digitValue()));
                else
                    continue;
                game->DrawCell(x, top + j);
            }
    }
    static QString Row(TGameForm* game, int y) {
        QString row;
        for (int x = 0; x < TPlayfield::Columns; ++x) {
            const TCell* cell = game->Playfield()->GetCell(x, y);
            row += !cell              ? QLatin1Char('.')
                   : cell->IsBobble() ? QLatin1Char('B')
                                      : QChar(QLatin1Char('0').unicode() + cell->Colour);
        }
        return row;
    }

    QStringList Sounds;
    std::unique_ptr<THeadlessSession> Session;
};

} // namespace FlowTest
