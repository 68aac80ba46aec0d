// A wake-up the platform will not arm must never stop the reminders silently.
#include "headless_app.h"

#include <gtest/gtest.h>

namespace tindora {
namespace {

using headless::at;
using headless::HeadlessApp;

TEST(WakeUpRefused, OneRefusalIsTriedAgainAtOnceAndTwoAreToldToTheUserOnce)
{
    const std::string told = "系统拒绝为 Tindora 设置计时器（资源不足）。在重新启动 Tindora 之前，提醒和整点报时都不会出现。";
    const struct {
        int refusals;
        int laterAttempts; // each clock change plans the wake-up anew
        std::size_t boxes;
        bool armed;
    } cases[] = {{0, 0, 0, true}, {1, 0, 0, true}, {2, 0, 1, false}, {8, 3, 1, false}, {3, 1, 1, true}};
    for (const auto& c : cases) {
        HeadlessApp app;
        app.runtime.wakeUpsToRefuse = c.refusals;
        app.start();
        for (int i = 0; i < c.laterAttempts; ++i)
            app.form.tickDriver().rearm();
        ASSERT_EQ(app.runtime.log.size(), c.boxes) << c.refusals << " refusals";
        EXPECT_EQ(app.runtime.armedWakeUp.has_value(), c.armed) << c.refusals << " refusals";
        if (c.boxes == 0)
            continue;
        EXPECT_EQ(app.runtime.log[0].text, told);
        EXPECT_EQ(app.runtime.log[0].title, "Tindora");
        EXPECT_EQ(app.runtime.log[0].flags, 4096 + 48);
    }
}

TEST(WakeUpRefused, OnceATimerIsArmedAgainTheRemindersComeAndANewRefusalIsToldAgain)
{
    HeadlessApp app;
    app.form.Check3.setValue(CheckBox::kChecked);
    app.runtime.wakeUpsToRefuse = 2;
    app.start();
    ASSERT_EQ(app.runtime.log.size(), 1u);
    app.runtime.clock = at(0, 0, 59, 59);
    app.form.tickDriver().rearm(); // as after a clock change: the platform takes it now
    app.runUntil(at(0, 1, 0, 1));
    ASSERT_EQ(app.runtime.log.size(), 3u) << "the hourly chime with its sound";
    EXPECT_EQ(app.runtime.log.back().title, "整点报时！");
    app.runtime.wakeUpsToRefuse = 2;
    app.form.tickDriver().rearm();
    EXPECT_EQ(app.runtime.log.size(), 4u);
}

} // namespace
} // namespace tindora
