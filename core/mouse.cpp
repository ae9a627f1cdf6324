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
    platform_.GetCursorPos(position_);
    std::optional<int32_t> x = ToInt32(static_cast<double>(position_.x) + delta);
    if (!x) return false;
    platform_.SetCursorPos(*x, position_.y);
    return true;
}

bool Mouse::MoveY(double delta) {
    platform_.GetCursorPos(position_);
    std::optional<int32_t> y = ToInt32(static_cast<double>(position_.y) + delta);
    if (!y) return false;
    platform_.SetCursorPos(position_.x, *y);
    return true;
}

}  // namespace gimbalo
