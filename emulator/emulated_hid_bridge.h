#pragma once
// The emulated keyboard inside the process (--device demo, and every device test): a HidBridge
// backend that owns a KeyboardFirmware and a delivery thread of its own. Answers, keyboard events
// and count changes reach the standing reads' callbacks on that thread, never on the caller's and
// never while a lock of the bridge is held. Around the firmware it adds what the USB cable adds:
// plugging, faults, slow answers and the report interval.

#include "emulator/checked_hid_bridge.h"
#include "emulator/delivery_thread.h"
#include "emulator/fault_plan.h"
#include "emulator/keyboard_firmware.h"
#include "emulator/report_pacer.h"
#include "emulator/request_registry.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>
#include <type_traits>
#include <vector>

namespace tavrik {

class EmulatedHidBridge final : public emu::CheckedHidBridge {
public:
    explicit EmulatedHidBridge(emu::FirmwareConfig config = {}, bool plugged = true);
    ~EmulatedHidBridge() override;

    // Attach and detach: every standing read of one of the keyboard's units is told the new count
    // (kind 0). Detaching powers the keyboard off (see KeyboardFirmware::PowerOff).
    void Plug();
    void Unplug();
    bool Plugged() const;

    // Faults of the next `frames` configuration frames (see emu::Fault). UnplugAfter with 0 frames
    // unplugs at once; Fault::None clears.
    void SetFault(emu::Fault fault, int frames);
    // Every answer arrives this much later than the keyboard could send it.
    void SetAnswerDelay(std::chrono::milliseconds delay);
    // USB report interval; 0 = reports travel at once. With an interval every report to the
    // keyboard waits for its tick (the write call returns then), every report from it goes out
    // on a later tick.
    void SetReportInterval(std::chrono::microseconds interval);

    // Runs `fn` with the keyboard's firmware under the bridge's lock; reports the firmware
    // produces meanwhile (macro play, bank, lighting hot-key) go out afterwards. `fn` must not call
    // the bridge.
    template <typename Fn>
    decltype(auto) WithFirmware(Fn&& fn) {
        std::lock_guard lock(mutex_);
        const SendReportsOnExit sendReports{*this};
        return std::forward<Fn>(fn)(firmware_);
    }

    int FramesReceived() const;
    std::vector<std::array<uint8_t, 2>> LedStatusWrites() const;
    // Sends an event code of the keyboard's own on the CONS unit (e.g. 0x02FF).
    void SendConsumerEvent(uint16_t code);
    // Returns once everything sent so far has reached the callbacks. Not from a callback.
    void WaitDelivered();

protected:
    int32_t CountDevices(const UnitDescriptor& unit) override;
    int32_t StartRead(const UnitDescriptor& unit, const UnitCallback* callback, UnitTag tag,
                      uint32_t* requestId) override;
    int32_t DeleteRequest(uint32_t requestId) override;
    int32_t WriteReport(const UnitDescriptor& unit, std::span<const uint8_t> report) override;
    int32_t WriteStatus(const UnitDescriptor& unit, std::span<const uint8_t> status,
                        uint32_t* requestId) override;

private:
    struct SendReportsOnExit {
        EmulatedHidBridge& bridge;
        ~SendReportsOnExit() { bridge.SendFirmwareReportsLocked(); }
    };

    // Waits (without the lock) for the report's tick towards the keyboard; false when the keyboard
    // is not attached at that moment. Returns with the lock held.
    bool WaitForSlotToKeyboard(std::unique_lock<std::mutex>& lock);
    void SendFirmwareReportsLocked();
    void PostReportLocked(UnitTag unit, std::vector<uint8_t> bytes,
                          emu::ReportPacer::Clock::time_point earliest);
    void PostCountLocked(uint32_t count);
    void SetPluggedLocked(bool plugged);

    mutable std::mutex mutex_;
    emu::KeyboardFirmware firmware_;
    emu::FaultPlan faults_;
    emu::ReportPacer pacer_;
    std::chrono::milliseconds answerDelay_{0};
    bool plugged_ = false;
    int framesReceived_ = 0;
    emu::ReportPacer::Clock::time_point lastDue_{}; // deliveries keep the order they were sent in
    emu::RequestRegistry requests_;
    emu::DeliveryThread delivery_; // last: stopped first, while everything it uses still exists
};

} // namespace tavrik
