// Every test of this program ends with no X mouse button held.
#include "tests/linux/x_button_safety_net.h"

namespace {
[[maybe_unused]] const bool kInstalled = gimbalo::testing::XButtonSafetyNet::Install();
}  // namespace
