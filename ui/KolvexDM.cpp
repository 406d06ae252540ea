#include "ui/KolvexDM.h"

#include "flow/GameF.h"
#include "flow/MouseControl_KX.h"
#include "gfx/GfxPanel.h"
#include "model/PlayfieldUnit.h"
#include "persistence/Settings_KX.h"

#include <QPointer>

namespace {
QPointer<TKolvexDM>& Current() {
    static QPointer<TKolvexDM> current;
    return current;
}
} // namespace

TKolvexDM* KolvexDM() {
    return Current().data();
}

TKolvexDM::TKolvexDM(QObject* owner) : QObject(owner), FMouseControl(new TMouseControl(this)) {
    ScoreList.SetMaxScores(10);
    ScoreList.SetMaxPlayerNameLength(8);
    ScoreList.OnNoFile = [this](QObject* Sender) { ScoreListNoFile(Sender); };
    ScoreList.SetFilePath(ScoreListFilePath(Settings().ScoreListPath));
    SetPlayfieldChangedBroadcaster(&PlayfieldChangedBroadcaster);
    Current() = this;
}

TKolvexDM::~TKolvexDM() {
    if (::PlayfieldChangedBroadcaster() == &PlayfieldChangedBroadcaster)
        SetPlayfieldChangedBroadcaster(nullptr);
    if (Current() == this) Current() = nullptr;
}

void TKolvexDM::ScoreListNoFile(QObject*) {
    ::ScoreListNoFile(ScoreList);
}
