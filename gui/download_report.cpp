#include "gui/download_report.h"

#include "device/config_frame.h"

#include <algorithm>

namespace tavrik {
namespace {

inline constexpr uint16_t kKeyMapBlockStride = 512;

std::u16string Number(unsigned value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

std::u16string ByteRange(unsigned first, unsigned length) {
    const unsigned last = first + (length > 0 ? length - 1 : 0);
    return u" (字节 " + Number(first) + u".." + Number(last) + u")";
}

std::u16string KeyMapPart(std::u16string_view verb, const FailedExchange& failed) {
    // The main window numbers its profile buttons from 1.
    const unsigned profile = failed.address / kKeyMapBlockStride + 1;
    return std::u16string(verb) + u"硬件情景模式 " + Number(profile) + u" 的按键映射" +
           ByteRange(failed.address % kKeyMapBlockStride, failed.length);
}

std::u16string PartName(const FailedExchange& failed) {
    const std::u16string range = ByteRange(failed.address, failed.length);
    switch (failed.command) {
    case command::kBegin:
        return u"开始设定";
    case command::kEnd:
        return u"结束设定";
    case command::kReadSettings:
        return u"读取键盘设定";
    case command::kWriteSettings:
        return u"写入键盘设定";
    case command::kReadLighting:
        return u"读取灯光设定" + range;
    case command::kWriteLighting:
        return u"写入灯光设定" + range;
    case command::kReadKeyMap:
        return KeyMapPart(u"读取", failed);
    case command::kWriteKeyMap:
        return KeyMapPart(u"写入", failed);
    case command::kReadMacroMemory:
        return u"读取宏存储区" + range;
    case command::kWriteMacroMemory:
        return u"写入宏存储区" + range;
    case command::kReadDefaultLayout:
        return u"读取默认按键布局" + range;
    case command::kReadColours:
        return u"读取按键颜色" + range;
    case command::kWriteColours:
        return u"写入按键颜色" + range;
    }
    return u"命令 " + Number(failed.command);
}

std::u16string_view ResultName(DeviceResult result) {
    switch (result) {
    case DeviceResult::Done:
        return u"完成";
    case DeviceResult::NoKeyboard:
        return u"未检测到设备";
    case DeviceResult::WriteRefused:
        return u"无法发送到设备";
    case DeviceResult::NoAnswer:
        return u"键盘无应答";
    case DeviceResult::RefusedFF:
        return u"键盘拒绝 (状态 0xFF)";
    case DeviceResult::RefusedFE:
        return u"键盘拒绝 (状态 0xFE)";
    case DeviceResult::BadBlockIndex:
        return u"参数超出范围";
    case DeviceResult::DiffersAfterWrite:
        return u"写入后读回的数据不同";
    case DeviceResult::KeyboardBusy:
        return u"键盘正被其他程序使用";
    }
    return u"未知结果";
}

bool OnlyReadBackDiffers(std::span<const FailedExchange> failed) {
    return !failed.empty() && std::ranges::all_of(failed, [](const FailedExchange& exchange) {
        return exchange.result == DeviceResult::DiffersAfterWrite;
    });
}

std::u16string WhatReachedTheKeyboard(std::span<const FailedExchange> failed,
                                      const KeyboardChanges& changes) {
    if (!changes.AnyReachedTheKeyboard())
        return u"没有任何设定写入键盘，键盘上的设定保持原样。";
    if (OnlyReadBackDiffers(failed) && changes.unanswered == 0)
        return u"所有数据都已送到键盘，但键盘保存的部分字节与写入的不同。请再按“应用”重新写入。";
    std::u16string text = u"键盘可能只收到了其中一部分（已发送 " +
                          Number(static_cast<unsigned>(changes.acknowledged + changes.unanswered)) +
                          u" 帧），现在的设定不完整";
    if (changes.macrosCleared)
        text += u"，在写入完成之前键盘不会播放任何宏";
    return text + u"。您的设定已保存，请检查键盘的连接后再按“应用”写入全部设定。";
}

} // namespace

std::u16string DescribeFailedExchangeForUser(const FailedExchange& failed) {
    return PartName(failed) + u": " + std::u16string(ResultName(failed.result));
}

std::u16string DownloadFailureMessage(std::span<const FailedExchange> failed) {
    if (failed.empty())
        return {};
    std::u16string message = u"写入键盘失败，以下部分没有完成: ";
    for (const FailedExchange& exchange : failed)
        message += u"\n  " + DescribeFailedExchangeForUser(exchange);
    return message;
}

std::u16string DownloadFailureMessage(std::span<const FailedExchange> failed,
                                      const KeyboardChanges& changes) {
    std::u16string message =
        failed.empty() ? std::u16string(u"写入键盘失败。") : DownloadFailureMessage(failed) + u"\n";
    return message + WhatReachedTheKeyboard(failed, changes);
}

} // namespace tavrik
