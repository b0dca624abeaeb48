#include "core/pump_messages.h"

#include "core/clock.h"
#include "core/session.h"
#include "core/user_interface.h"

namespace talvor {

bool PumpMessages(Session& session, int seconds) {
    const uint32_t start = session.clock.Milliseconds();
    uint32_t deadline = start + static_cast<uint32_t>(seconds) * 1000U;
    bool interrupted = false;
    for (;;) {
        if (session.ui.DispatchPendingEvents().Any()) {
            interrupted = true;
            session.guiding.GuidingRunning = false;
            session.ui.Beep();
            deadline = start;
        }
        if (DeadlineReached(session.clock.Milliseconds(), deadline)) {
            return interrupted;
        }
        session.ui.IdleWait();
    }
}

}  // namespace talvor
