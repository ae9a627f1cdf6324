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
    // X = X + delta and Y = Y + delta: the same pointer path as reading the
    // coordinate and then writing it, with the other one read afresh, but
    // with fewer questions to the desktop. A whole-pixel change (delta not
    // ending in exactly one half) does not depend on where the pointer is,
    // so the desktop moves it from where it is at that moment; a half needs
    // the coordinate's parity, so one read gives both coordinates.
    bool MoveX(double delta);
    bool MoveY(double delta);

private:
    bool Move(double delta, bool horizontal);

    Platform& platform_;
    POINT position_;  // last position read; refreshed on every read
};

}  // namespace gimbalo
