#include "core/mouse.h"

#include <cmath>
#include <optional>

#include "core/numbers.h"

namespace gimbalo {

namespace {
std::optional<int32_t> ToInt32(double value) {
    double rounded = RoundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0)
        return std::nullopt;
    return static_cast<int32_t>(rounded);
}
}  // namespace

int32_t Mouse::X() {
    platform_.GetCursorPos(position_);
    return position_.x;
}

int32_t Mouse::Y() {
    platform_.GetCursorPos(position_);
    return position_.y;
}

bool Mouse::SetX(double value) {
    int32_t y = Y();
    std::optional<int32_t> x = ToInt32(value);
    if (!x) return false;
    platform_.SetCursorPos(*x, y);
    return true;
}

bool Mouse::SetY(double value) {
    int32_t x = X();
    std::optional<int32_t> y = ToInt32(value);
    if (!y) return false;
    platform_.SetCursorPos(x, *y);
    return true;
}

bool Mouse::MoveX(double delta) {
    return Move(delta, true);
}

bool Mouse::MoveY(double delta) {
    return Move(delta, false);
}

bool Mouse::Move(double delta, bool horizontal) {
    // Rounding c + delta gives c + round(delta) for every whole c, unless
    // delta ends in exactly one half. Bounded so that no coordinate a screen
    // has can leave 32 bits.
    constexpr double kRelativeLimit = 65536.0;
    if (std::fabs(delta) < kRelativeLimit && std::fabs(delta - std::trunc(delta)) != 0.5) {
        const auto whole = static_cast<int32_t>(RoundHalfEven(delta));
        return horizontal ? platform_.MoveCursorBy(whole, 0) : platform_.MoveCursorBy(0, whole);
    }
    platform_.GetCursorPos(position_);
    std::optional<int32_t> moved =
        ToInt32(static_cast<double>(horizontal ? position_.x : position_.y) + delta);
    if (!moved) return false;
    if (horizontal)
        platform_.SetCursorPos(*moved, position_.y);
    else
        platform_.SetCursorPos(position_.x, *moved);
    return true;
}

}  // namespace gimbalo
