// The system pointer as an object with two coordinates in screen pixels.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace gimbalo {

class Mouse {
public:
    explicit Mouse(Platform& platform) : platform_(platform) {}

    // Writing one coordinate keeps the other where the pointer is now. The
    // value is rounded to the nearest integer, an exact half to the even one.
    // A value that does not fit 32 bits fails the write (false) and the
    // pointer stays.
    bool SetX(double value);
    int32_t X();
    int32_t Y();
    bool SetY(double value);
    // X = X + delta, and Y = Y + delta, with the one read of the position
    // that both the coordinate's value and the other coordinate come from:
    // the same path as reading X and then writing it, one round trip fewer.
    bool MoveX(double delta);
    bool MoveY(double delta);

private:
    Platform& platform_;
    POINT position_;  // last position read; refreshed on every read
};

}  // namespace gimbalo
