#include "platform/common/timer_dispatch.h"

#include "platform/forms.h"
#include "platform/platform.h"

namespace gimbalo {

void TimerDispatch::Dispatch(Timer& timer) {
    const auto fire = [this, &timer] {
        if (!platform_.ProgramEnded()) timer.Fire();
    };
    if (wrapper_)
        wrapper_(timer, fire);
    else
        fire();
}

}  // namespace gimbalo
