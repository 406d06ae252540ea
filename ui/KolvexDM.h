#pragma once

#include "foundation/brenmarNotify.h"
#include "persistence/ScoreList_KX.h"

#include <QObject>

class TMouseControl;

// The data module: the components the whole program shares. It lives from
// start-up to the end of the run; while it exists every playfield announces
// its changes through its broadcaster.
class TKolvexDM : public QObject {
public:
    explicit TKolvexDM(QObject* owner = nullptr);
    ~TKolvexDM() override;

    TNotifyBroadcaster PlayfieldChangedBroadcaster;
    TScoreList ScoreList;
    TMouseControl* MouseControl() const { return FMouseControl; }

    void ScoreListNoFile(QObject* Sender);

private:
    TMouseControl* FMouseControl;
};

// The data module of the running program; none before it is created or after it is gone.
TKolvexDM* KolvexDM();
