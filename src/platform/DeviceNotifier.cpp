#include "platform/DeviceNotifier.h"

#include <vector>

DeviceNotifier::Handle DeviceNotifier::Register(Handler handler) {
    const Handle handle = nextHandle_++;
    handlers_.emplace(handle, std::move(handler));
    return handle;
}

void DeviceNotifier::Unregister(Handle handle) { handlers_.erase(handle); }

void DeviceNotifier::Broadcast(std::uint32_t event, const DeviceBroadcast& data) {
    // A handler may unregister (or register) while we deliver: work on a copy.
    std::vector<Handler> targets;
    targets.reserve(handlers_.size());
    for (const auto& [handle, handler] : handlers_)
        targets.push_back(handler);
    for (const auto& handler : targets)
        handler(event, &data);
}

namespace {
DeviceNotifier* installedNotifier = nullptr;
}

DeviceNotifier& SystemDeviceNotifier() {
    static DeviceNotifier fallback;
    return installedNotifier ? *installedNotifier : fallback;
}

void SetSystemDeviceNotifier(DeviceNotifier* notifier) { installedNotifier = notifier; }
