#pragma once

#include "model/Brick_KX.h"

#include <QObject>
#include <array>

// The seven bricks with their shapes, kind k at index k.
class TBricks : public QObject {
public:
    static constexpr int Count = 7;

    explicit TBricks(QObject* owner = nullptr);
    ~TBricks() override;

    // ERangeError for a kind outside 0 .. 6.
    TBrick* Brick(int kind) const;

private:
    std::array<std::unique_ptr<TBrick>, Count> FItems;
};
