#include "platform/DeviceNotifier.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(DeviceNotifier, HandlersChangedDuringABroadcastTakeEffectAtOnce) {
    DeviceNotifier notifier;
    std::vector<std::string> calls;
    // What the second handler works on: a window the first handler closes,
    // unregistering the second one as the window's tear-down does.
    auto window = std::make_unique<std::string>("window");
    DeviceNotifier::Handle closing = 0;
    DeviceNotifier::Handle late = 0;
    const DeviceNotifier::Handle first =
        notifier.Register([&](std::uint32_t, const DeviceBroadcast*) {
            calls.push_back("first");
            if (window) {
                notifier.Unregister(closing);
                window.reset();
                late = notifier.Register(
                    [&](std::uint32_t, const DeviceBroadcast*) { calls.push_back("late"); });
            }
        });
    std::string* seen = window.get();
    closing = notifier.Register(
        [&calls, seen](std::uint32_t, const DeviceBroadcast*) { calls.push_back(*seen); });
    const DeviceNotifier::Handle self =
        notifier.Register([&](std::uint32_t, const DeviceBroadcast*) {
            calls.push_back("self");
            notifier.Unregister(self);
        });

    notifier.Broadcast(DBT_DEVICEARRIVAL, DeviceBroadcast{});
    // The closed window's handler is not called any more; one registered
    // meanwhile waits for the next notification; one may drop itself.
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "self"}));

    calls.clear();
    notifier.Broadcast(DBT_DEVICEREMOVECOMPLETE, DeviceBroadcast{});
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "late"}));
    notifier.Unregister(first);
    notifier.Unregister(late);
}

} // namespace
