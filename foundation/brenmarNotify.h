#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <vector>

class TNotifyReceiver;

// Announces a change to any number of receivers it does not know.
class TNotifyBroadcaster : public QObject {
public:
    explicit TNotifyBroadcaster(QObject* owner = nullptr) : QObject(owner) {}
    ~TNotifyBroadcaster() override;

    bool Enabled = true;

    virtual void Notify();
    virtual void NotifyParams(int32_t value, uint8_t flag);
    virtual void NotifyData(int32_t value, uint8_t flag, void* data);
    virtual void AddReceiver(TNotifyReceiver* receiver);
    virtual void RemoveReceiver(TNotifyReceiver* receiver);

    const std::vector<TNotifyReceiver*>& Receivers() const { return FReceivers; }
    void* CurrentData() const { return FCurrentData; }

private:
    std::vector<TNotifyReceiver*> FReceivers;
    void* FCurrentData = nullptr;
    bool FDestroying = false;

    friend class TNotifyReceiver;
};

// Listens to one broadcaster and raises OnReceiving at every announcement.
class TNotifyReceiver : public QObject {
public:
    explicit TNotifyReceiver(QObject* owner = nullptr) : QObject(owner) {}
    ~TNotifyReceiver() override;

    bool Enabled = true;
    std::function<void(QObject* Sender)> OnReceiving;

    bool Received = false;
    bool HasParams = false;
    int32_t IntParam = 0;
    uint8_t ByteParam = 0;
    void* Data = nullptr;

    TNotifyBroadcaster* SubcribedNotifyBroadcaster() const { return FBroadcaster; }
    void SetSubcribedNotifyBroadcaster(TNotifyBroadcaster* broadcaster);

    virtual void Receive(TNotifyBroadcaster* broadcaster);
    virtual void ReceiveParams(TNotifyBroadcaster* broadcaster, int32_t value, uint8_t flag);

private:
    TNotifyBroadcaster* FBroadcaster = nullptr;
};
