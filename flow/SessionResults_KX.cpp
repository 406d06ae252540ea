#include "flow/SessionResults_KX.h"

#include "flow/GameF.h"
#include "flow/SessionCoordinator_KX.h"
#include "flow/brenmarGameCtrl.h"
#include "model/Playfield_KX.h"

#include <QFile>

namespace SessionResults {

std::vector<TGameResult> Collect(const TSessionCoordinator* session) {
    std::vector<TGameResult> results;
    if (!session) return results;
    for (int i = 0; i < session->Count(); ++i) {
        TGameForm* game = session->GetGame(i);
        TGameResult result;
        result.Score = game->Score();
        result.Level = game->Level();
        result.Stopped = game->TheGame().StopRequested();
        const TPlayfield& playfield = *game->Playfield();
        for (int y = 0; y < TPlayfield::Rows; ++y) result.Rows.push_back(playfield.RowPicture(y));
        results.push_back(std::move(result));
    }
    return results;
}

QString Format(const std::vector<TGameResult>& results) {
    QString text;
    for (size_t i = 0; i < results.size(); ++i) {
        const TGameResult& r = results[i];
        text += QStringLiteral("game %1 score %2 level %3 stopped %4\n")
                    .arg(i)
                    .arg(r.Score)
                    .arg(r.Level)
                    .arg(r.Stopped ? 1 : 0);
        for (const QString& row : r.Rows) text += row + QLatin1Char('\n');
    }
    return text;
}

bool AppendTo(const QString& fileName, const std::vector<TGameResult>& results) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) return false;
    const QByteArray text = (Format(results) + QStringLiteral("end\n")).toUtf8();
    return file.write(text) == text.size() && file.flush();
}

} // namespace SessionResults
