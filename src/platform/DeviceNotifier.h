#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <map>

// Device-interface notifications: arrival and remove-complete of capture-class
// device interfaces, each with its name (the device path). Handlers are called
// on the UI thread.

constexpr std::uint32_t DBT_DEVICEARRIVAL = 0x8000;
constexpr std::uint32_t DBT_DEVICEREMOVECOMPLETE = 0x8004;
constexpr std::uint32_t DBT_DEVTYP_DEVICEINTERFACE = 0x00000005;

enum class DeviceInterfaceClass { Capture, Other };

struct DeviceBroadcast {
    std::uint32_t deviceType = DBT_DEVTYP_DEVICEINTERFACE;
    DeviceInterfaceClass interfaceClass = DeviceInterfaceClass::Capture;
    QString name;
};

class DeviceNotifier {
public:
    using Handler = std::function<void(std::uint32_t event, const DeviceBroadcast* data)>;
    using Handle = std::uint64_t; // 0: no registration

    virtual ~DeviceNotifier() = default;

    // Capture-class notifications go to `handler` until Unregister.
    Handle Register(Handler handler);
    void Unregister(Handle handle);

    // Delivers one notification to every registered handler, on the calling
    // thread. Backends call it from the UI thread.
    void Broadcast(std::uint32_t event, const DeviceBroadcast& data);

private:
    std::map<Handle, Handler> handlers_;
    Handle nextHandle_ = 1;
};

// The notifier the main window registers with. The program installs the one
// of its device backend at start; tests install their own.
DeviceNotifier& SystemDeviceNotifier();
void SetSystemDeviceNotifier(DeviceNotifier* notifier);
