#pragma once

#include <QObject>
#include <QString>
#include <cstdint>

// A player of a game and its score.
class TPlayer : public QObject {
public:
    explicit TPlayer(QObject* owner = nullptr);

    QString Name() const { return FName; }
    int32_t Score() const { return FScore; }
    // Every change of the score comes here with the new total.
    virtual void SetScore(int32_t value);
    // SetScore with the score plus points; EIntOverflow past the 32-bit range.
    void AddScore(int32_t points);

private:
    QString FName = QStringLiteral("John Doe");
    int32_t FScore = 0;
};
