#pragma once
// The program's clock. Outside a tick it reads the wall clock; during a tick it
// answers the second that the tick judges, so every test of one tick sees the
// same second however long a box of that tick stays open. Ticks can nest while
// a box is open; each keeps its own second.

#include "forms_runtime.h"
#include "values.h"

namespace tindora {

class Clock {
public:
    explicit Clock(FormsRuntime& runtime) : m_runtime(runtime) {}

    LocalSecond now() const { return m_inTick ? m_tickSecond : secondOf(m_runtime.now()); }

    // Pins the clock to one second for the lifetime of this object.
    class TickScope {
    public:
        TickScope(Clock& clock, LocalSecond second)
            : m_clock(clock), m_savedInTick(clock.m_inTick), m_savedSecond(clock.m_tickSecond)
        {
            clock.m_inTick = true;
            clock.m_tickSecond = second;
        }
        ~TickScope()
        {
            m_clock.m_inTick = m_savedInTick;
            m_clock.m_tickSecond = m_savedSecond;
        }
        TickScope(const TickScope&) = delete;
        TickScope& operator=(const TickScope&) = delete;

    private:
        Clock& m_clock;
        bool m_savedInTick;
        LocalSecond m_savedSecond;
    };

private:
    FormsRuntime& m_runtime;
    bool m_inTick = false;
    LocalSecond m_tickSecond = 0;
};

} // namespace tindora
