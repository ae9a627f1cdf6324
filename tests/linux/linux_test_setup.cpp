// Every test of this program runs on a desktop independent of the machine's
// own and ends with no X mouse button held.
#include "tests/linux/desktop_independence.h"
#include "tests/linux/x_button_safety_net.h"

namespace {
[[maybe_unused]] const bool kIndependent = gimbalo::testing::DesktopIndependence::Install();
[[maybe_unused]] const bool kSafetyNet = gimbalo::testing::XButtonSafetyNet::Install();
}  // namespace
