// The score file: read at every Open, written back at Close.
#include "FuzzSupport.h"
#include "persistence/ScoreList_KX.h"
#include "platform/Dialogs.h"

#include <QTemporaryDir>

namespace {
ScriptedDialogs* answers = nullptr;

QString Folder() {
    static QTemporaryDir folder;
    return folder.path();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    auto dialogs = std::make_unique<ScriptedDialogs>();
    answers = dialogs.get();
    Dialogs::Install(std::move(dialogs));
    const QString seeds = Fuzz::SeedFolder();
    if (seeds.isEmpty()) return 0;
    // The defaults as the program writes them, then with a new entry of its own.
    QFile::remove(Folder() + QStringLiteral("/Scores.DAT"));
    TScoreList list;
    list.SetFilePath(Folder() + QStringLiteral("/Scores"));
    list.OnNoFile = [&list](QObject*) { ScoreListNoFile(list); };
    list.Open();
    list.Close();
    QFile defaults(list.FileName());
    if (!defaults.open(QIODevice::ReadOnly)) std::abort();
    Fuzz::WriteSeed(seeds, QStringLiteral("defaults.DAT"), defaults.readAll());
    defaults.close();
    list.Open();
    list.InsertScore(std::make_unique<TScoreListItem>(QStringLiteral("Somebody"), 7777,
                                                      QStringLiteral("08/12/26")));
    list.Close();
    QFile played(list.FileName());
    if (!played.open(QIODevice::ReadOnly)) std::abort();
    Fuzz::WriteSeed(seeds, QStringLiteral("played.DAT"), played.readAll());
    std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    answers->ClearLog();
    const QString base = Folder() + QStringLiteral("/Scores");
    {
        QFile file(base + QStringLiteral(".DAT"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    int count = 0;
    {
        TScoreList list;
        list.SetFilePath(base);
        list.OnNoFile = [&list](QObject*) { ScoreListNoFile(list); };
        list.Open();
        Fuzz::Require(list.Count() <= list.MaxScores());
        list.InsertScore(std::make_unique<TScoreListItem>(QStringLiteral("Fuzz"), 5000));
        count = list.Count();
        const bool writable = !list.ReadOnly();
        list.Close();
        if (!writable) return 0;
    }
    // What was written back reads back the same.
    TScoreList again;
    again.SetFilePath(base);
    again.Open();
    Fuzz::Require(again.Count() == count);
    again.Close();
    return 0;
}
