// How the models change their state: a field takes a new value, and only a
// real change is told to the host.
#pragma once

namespace gimbalo {

// Gives `field` the value `value`; whether it changed.
template <typename T>
bool Update(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace gimbalo
