#include "foundation/brenmarNotify.h"

#include <gtest/gtest.h>
#include <memory>

TEST(ChangeNotification, ReceiversHearTheirBroadcasterInOrder) {
    TNotifyBroadcaster broadcaster;
    TNotifyReceiver first, second;
    std::vector<int> heard;
    first.OnReceiving = [&](QObject* sender) {
        EXPECT_EQ(sender, &first);
        heard.push_back(1);
    };
    second.OnReceiving = [&](QObject*) { heard.push_back(2); };
    first.SetSubcribedNotifyBroadcaster(&broadcaster);
    second.SetSubcribedNotifyBroadcaster(&broadcaster);
    broadcaster.Notify();
    EXPECT_EQ(heard, (std::vector<int>{1, 2}));
    EXPECT_TRUE(first.Received);
    EXPECT_FALSE(first.HasParams);
}

TEST(ChangeNotification, DisabledSidesStaySilent) {
    TNotifyBroadcaster broadcaster;
    TNotifyReceiver receiver;
    receiver.SetSubcribedNotifyBroadcaster(&broadcaster);
    broadcaster.Enabled = false;
    broadcaster.Notify();
    EXPECT_FALSE(receiver.Received);
    broadcaster.Enabled = true;
    receiver.Enabled = false;
    broadcaster.Notify();
    EXPECT_FALSE(receiver.Received);
}

TEST(ChangeNotification, ParamsAndDataReachTheReceiverOnlyDuringTheCall) {
    TNotifyBroadcaster broadcaster;
    TNotifyReceiver receiver;
    receiver.SetSubcribedNotifyBroadcaster(&broadcaster);
    int payload = 7;
    void* seen = nullptr;
    receiver.OnReceiving = [&](QObject*) { seen = receiver.Data; };
    broadcaster.NotifyData(-5, 3, &payload);
    EXPECT_EQ(seen, &payload);
    EXPECT_EQ(receiver.Data, nullptr);
    EXPECT_EQ(broadcaster.CurrentData(), nullptr);
    EXPECT_TRUE(receiver.HasParams);
    EXPECT_EQ(receiver.IntParam, -5);
    EXPECT_EQ(receiver.ByteParam, 3);
}

TEST(ChangeNotification, DataIsClearedWhenAListenerRaises) {
    TNotifyBroadcaster broadcaster;
    TNotifyReceiver receiver;
    receiver.SetSubcribedNotifyBroadcaster(&broadcaster);
    receiver.OnReceiving = [](QObject*) { throw std::runtime_error("listener failed"); };
    int payload = 1;
    EXPECT_THROW(broadcaster.NotifyData(1, 1, &payload), std::runtime_error);
    EXPECT_EQ(receiver.Data, nullptr);
    EXPECT_EQ(broadcaster.CurrentData(), nullptr);
}

TEST(ChangeNotification, RelinkingMovesTheReceiver) {
    TNotifyBroadcaster a, b;
    TNotifyReceiver receiver;
    receiver.SetSubcribedNotifyBroadcaster(&a);
    receiver.SetSubcribedNotifyBroadcaster(&b);
    a.Notify();
    EXPECT_FALSE(receiver.Received);
    b.Notify();
    EXPECT_TRUE(receiver.Received);
    EXPECT_TRUE(a.Receivers().empty());
}

TEST(ChangeNotification, UnlinkingByHandTakesTheReceiverOffTheList) {
    TNotifyBroadcaster broadcaster;
    {
        TNotifyReceiver receiver;
        receiver.SetSubcribedNotifyBroadcaster(&broadcaster);
        receiver.SetSubcribedNotifyBroadcaster(nullptr);
        EXPECT_TRUE(broadcaster.Receivers().empty());
    }
    broadcaster.Notify(); // would touch a destroyed receiver if it were still listed
}

TEST(ChangeNotification, DestroyingEitherSideLeavesNoDanglingLink) {
    auto receiver = std::make_unique<TNotifyReceiver>();
    {
        TNotifyBroadcaster broadcaster;
        receiver->SetSubcribedNotifyBroadcaster(&broadcaster);
        TNotifyReceiver shortLived;
        shortLived.SetSubcribedNotifyBroadcaster(&broadcaster);
    }
    EXPECT_EQ(receiver->SubcribedNotifyBroadcaster(), nullptr);
    receiver.reset();
}
