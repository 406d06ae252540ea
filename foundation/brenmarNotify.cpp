#include "foundation/brenmarNotify.h"

#include <algorithm>

TNotifyBroadcaster::~TNotifyBroadcaster() {
    FDestroying = true;
    for (TNotifyReceiver* receiver : FReceivers) receiver->SetSubcribedNotifyBroadcaster(nullptr);
    FReceivers.clear();
}

void TNotifyBroadcaster::Notify() {
    if (!Enabled) return;
    for (size_t i = 0; i < FReceivers.size(); ++i) FReceivers[i]->Receive(this);
}

void TNotifyBroadcaster::NotifyParams(int32_t value, uint8_t flag) {
    if (!Enabled) return;
    for (size_t i = 0; i < FReceivers.size(); ++i) FReceivers[i]->ReceiveParams(this, value, flag);
}

void TNotifyBroadcaster::NotifyData(int32_t value, uint8_t flag, void* data) {
    struct Reset {
        void*& Field;
        ~Reset() { Field = nullptr; }
    } reset{FCurrentData};
    FCurrentData = data;
    NotifyParams(value, flag);
}

void TNotifyBroadcaster::AddReceiver(TNotifyReceiver* receiver) { FReceivers.push_back(receiver); }

void TNotifyBroadcaster::RemoveReceiver(TNotifyReceiver* receiver) {
    std::erase(FReceivers, receiver);
}

TNotifyReceiver::~TNotifyReceiver() { SetSubcribedNotifyBroadcaster(nullptr); }

void TNotifyReceiver::SetSubcribedNotifyBroadcaster(TNotifyBroadcaster* broadcaster) {
    if (broadcaster == FBroadcaster) return;
    // Leaving a broadcaster always takes the receiver off its list (except
    // while the broadcaster itself is being destroyed and walks that list), so
    // a receiver unlinked by hand is never notified or touched again.
    if (FBroadcaster && !FBroadcaster->FDestroying) FBroadcaster->RemoveReceiver(this);
    FBroadcaster = broadcaster;
    if (FBroadcaster) FBroadcaster->AddReceiver(this);
}

void TNotifyReceiver::Receive(TNotifyBroadcaster*) {
    if (!Enabled) return;
    Received = true;
    HasParams = false;
    if (OnReceiving) OnReceiving(this);
}

void TNotifyReceiver::ReceiveParams(TNotifyBroadcaster* broadcaster, int32_t value, uint8_t flag) {
    if (!Enabled) return;
    Received = true;
    HasParams = true;
    IntParam = value;
    ByteParam = flag;
    if (!OnReceiving) return;
    struct Reset {
        void*& Field;
        ~Reset() { Field = nullptr; }
    } reset{Data};
    Data = broadcaster->CurrentData();
    OnReceiving(this);
}
