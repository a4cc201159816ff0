#include "platform/DeviceNotifier.h"

#include <vector>

DeviceNotifier::Handle DeviceNotifier::Register(Handler handler) {
    const Handle handle = nextHandle_++;
    handlers_.emplace(handle, std::move(handler));
    return handle;
}

void DeviceNotifier::Unregister(Handle handle) {
    handlers_.erase(handle);
}

void DeviceNotifier::Broadcast(std::uint32_t event, const DeviceBroadcast& data) {
    // A handler may register or unregister others while we deliver (a window
    // closed by one handler drops its own): walk the handles as they were and
    // call only those still registered. Those added meanwhile wait for the
    // next notification.
    std::vector<Handle> targets;
    targets.reserve(handlers_.size());
    for (const auto& [handle, handler] : handlers_)
        targets.push_back(handle);
    for (const Handle handle : targets) {
        const auto it = handlers_.find(handle);
        if (it == handlers_.end())
            continue;
        const Handler handler = it->second; // it may unregister itself
        handler(event, &data);
    }
}

namespace {
DeviceNotifier* installedNotifier = nullptr;
}

DeviceNotifier& SystemDeviceNotifier() {
    static DeviceNotifier fallback;
    return installedNotifier ? *installedNotifier : fallback;
}

void SetSystemDeviceNotifier(DeviceNotifier* notifier) {
    installedNotifier = notifier;
}
