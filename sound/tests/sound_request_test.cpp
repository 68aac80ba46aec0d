// The sound request of an announcement reaches the backend's player through
// the forms runtime (OLE1's activate action, 7), before the box; with the
// sound option clear nothing is requested.

#include "headless_app.h"

#include <gtest/gtest.h>

namespace {

using namespace tindora;
using namespace tindora::headless;
using Kind = Announcement::Kind;

std::vector<Kind> kindsOf(const HeadlessRuntime& runtime)
{
    std::vector<Kind> kinds;
    for (const Announcement& a : runtime.log)
        kinds.push_back(a.kind);
    return kinds;
}

TEST(SoundRequest, FollowsTheSoundOptionAtEveryKindOfMoment)
{
    struct Case {
        const char* what;
        std::int16_t sound, fixedTime, hourly;
        LocalMillis when;
        std::vector<Kind> expected;
    };
    // Slot 1 is set to 08:30:00 with the initial lead of 5 minutes.
    const Case cases[] = {
        {"pre-warning, sound on", 1, 1, 0, at(0, 8, 25, 0), {Kind::Sound, Kind::Box}},
        {"due, sound on", 1, 1, 0, at(0, 8, 30, 0), {Kind::Sound, Kind::Box}},
        {"due, sound off", 0, 1, 0, at(0, 8, 30, 0), {Kind::Box}},
        {"due, boxes off, sound on", 1, 0, 0, at(0, 8, 30, 0), {Kind::Sound}},
        {"due, value 2 is not ticked", 2, 1, 0, at(0, 8, 30, 0), {Kind::Box}},
        {"full hour, sound on", 1, 1, 1, at(0, 14, 0, 0), {Kind::Sound, Kind::Box}},
        {"full hour, sound off", 0, 1, 1, at(0, 14, 0, 0), {Kind::Box}},
        {"a quiet second", 1, 1, 1, at(0, 14, 0, 1), {}},
    };
    for (const Case& c : cases) {
        HeadlessApp app(at(0, 7, 0, 0));
        app.start();
        app.form.Combo2.userChoseItem(8);
        app.form.Combo3.userChoseItem(30);
        app.form.Combo4.userChoseItem(0);
        app.form.Check1.userSetValue(c.sound);
        app.form.Check2.userSetValue(c.fixedTime);
        app.form.Check3.userSetValue(c.hourly);
        app.runtime.log.clear();
        app.wakeAt(c.when);
        EXPECT_EQ(kindsOf(app.runtime), c.expected) << c.what;
        EXPECT_EQ(app.runtime.soundRequests, c.expected.empty() || c.expected[0] != Kind::Sound ? 0u : 1u) << c.what;
    }
}

} // namespace
