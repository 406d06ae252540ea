// Saves one kind of the program's files over and over, each save one step
// further than the last, and says on standard output which save has been
// completed (and which one it is writing). The crash-safe-saves check kills it at random moments and then
// asks it whether the file is whole and one of the last two saves.
//
//   kolvex-save-probe write replay|demo|score FILE
//   kolvex-save-probe check replay|demo|score FILE LAST
#include "persistence/Recorder_KX.h"
#include "persistence/ScoreList_KX.h"
#include "platform/Dialogs.h"

#include <QFile>
#include <QString>
#include <cstdio>
#include <memory>

namespace {
// The demo data is larger than a player's replay; both go through the same save.
int ActionsOf(const QString& kind, int step) {
    return (kind == QLatin1String("demo") ? 1500 : 400) + step;
}

constexpr int32_t ScoreBase = 20000;

void SaveRecording(const QString& kind, const QString& file, int step) {
    TRecordedData data;
    data.Settings().Players = 2;
    data.Settings().RandomSeed = step;
    for (int i = 0; i < ActionsOf(kind, step); ++i) {
        TGameAction action;
        action.GameIndex = i % 2;
        action.BrickLeft = 16 * (i % 9);
        action.BrickTop = i;
        action.ActionCode = static_cast<uint8_t>(i % 4);
        data.Add(action);
    }
    data.SaveToFile(file);
}

void SaveScore(const QString& base, int step) {
    TScoreList list;
    list.SetFilePath(base);
    list.OnNoFile = [&list](QObject*) { ScoreListNoFile(list); };
    list.Open();
    list.InsertScore(std::make_unique<TScoreListItem>(QStringLiteral("Probe"), ScoreBase + step,
                                                      QStringLiteral("08/12/26")));
    list.Close();
}

int Write(const QString& kind, const QString& file) {
    for (int step = 0;; ++step) {
        std::printf("writing %d\n", step);
        std::fflush(stdout);
        if (kind == QLatin1String("score"))
            SaveScore(file, step);
        else
            SaveRecording(kind, file, step);
        std::printf("saved %d\n", step);
        std::fflush(stdout);
    }
}

// 0 when the file is whole and holds save `last` or the one after it.
int Check(const QString& kind, const QString& file, int last, ScriptedDialogs& dialogs) {
    int step = -1;
    if (kind == QLatin1String("score")) {
        const qint64 size = QFile(file + QStringLiteral(".DAT")).size();
        if (size != 10 * TScoreListItem::RecordSize) {
            std::printf("the score file has %lld bytes\n", static_cast<long long>(size));
            return 1;
        }
        TScoreList list;
        list.SetFilePath(file);
        list.Open();
        if (!dialogs.Log().empty() || list.Count() != 10) {
            std::printf("the score file is damaged\n");
            return 1;
        }
        step = list.Items(0).Score - ScoreBase;
        list.Close();
    } else {
        TRecordedData data;
        try {
            data.LoadFromFile(file);
        } catch (const EReplayFileError& e) {
            std::printf("%s\n", qPrintable(e.Message()));
            return 1;
        }
        step = data.Settings().RandomSeed;
        if (data.GetCount() != ActionsOf(kind, step)) {
            std::printf("save %d has %d actions\n", step, data.GetCount());
            return 1;
        }
    }
    if (step != last && step != last + 1) {
        std::printf("the file holds save %d after save %d\n", step, last);
        return 1;
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    auto scripted = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs& dialogs = *scripted;
    Dialogs::Install(std::move(scripted));
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString kind = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString file = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (mode == QLatin1String("write") && argc == 4) return Write(kind, file);
    if (mode == QLatin1String("check") && argc == 5)
        return Check(kind, file, QString::fromLocal8Bit(argv[4]).toInt(), dialogs);
    std::fprintf(stderr, "usage: kolvex-save-probe write|check replay|demo|score FILE [LAST]\n");
    return 2;
}
