#include "ui/KolvexDM.h"

#include "UiTestSupport.h"
#include "flow/GameF.h"
#include "flow/MouseControl_KX.h"
#include "gfx/GfxPanel.h"
#include "model/PlayfieldUnit.h"
#include "persistence/Settings_KX.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(KolvexDMTest, SharesTheBroadcasterTheScoreListAndTheMouseControl) {
    TestEnvironment::Reset();
    EXPECT_EQ(KolvexDM(), nullptr);
    {
        TKolvexDM dm;
        EXPECT_EQ(KolvexDM(), &dm);
        EXPECT_EQ(PlayfieldChangedBroadcaster(), &dm.PlayfieldChangedBroadcaster);
        ASSERT_NE(dm.MouseControl(), nullptr);
        EXPECT_EQ(dm.MouseControl()->Form(), nullptr);
        EXPECT_EQ(dm.ScoreList.MaxScores(), 10);
        EXPECT_EQ(dm.ScoreList.MaxPlayerNameLength(), 8);
    }
    EXPECT_EQ(KolvexDM(), nullptr);
    EXPECT_EQ(PlayfieldChangedBroadcaster(), nullptr);
}

TEST(KolvexDMTest, TheScoreFileFollowsTheScoreListPathSetting) {
    TestEnvironment::Reset();
    const QString saved = Settings().ScoreListPath;
    const QString folder = TestEnvironment::ScratchFolder() + QStringLiteral("/dmscores");
    QDir().mkpath(folder);
    Settings().ScoreListPath = folder + QStringLiteral("/");
    {
        TKolvexDM dm;
        EXPECT_EQ(dm.ScoreList.FileName(), folder + QStringLiteral("/Scores.DAT"));
        // No file yet: the list starts with the ten default entries.
        dm.ScoreList.Open();
        ASSERT_EQ(dm.ScoreList.Count(), 10);
        EXPECT_EQ(dm.ScoreList.Items(0).PlayerName, QStringLiteral("ACE"));
        EXPECT_EQ(dm.ScoreList.Items(9).Score, 1000);
        dm.ScoreList.Close();
    }
    EXPECT_EQ(QFileInfo(folder + QStringLiteral("/Scores.DAT")).size(), 5200);
    Settings().ScoreListPath = QString();
    {
        TKolvexDM dm;
        EXPECT_EQ(dm.ScoreList.FilePath(),
                  QCoreApplication::applicationDirPath() + QStringLiteral("/Scores"));
    }
    Settings().ScoreListPath = saved;
}

} // namespace
