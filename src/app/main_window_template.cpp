#include "main_window_template.h"

#include "control_ids.h"

namespace pellar {
namespace {

using enum ControlKind;

constexpr ControlTemplate kControls[] = {
    {kDeviceList, kListView, "", 8, 9, 353, 100, true},
    {kScanDevicesButton, kPushButton, "scan devices", 304, 116, 49, 13, true},
    {kWriteSnEdit, kEdit, "", 189, 240, 109, 13, true},
    {kWriteSnButton, kPushButton, "写SN", 302, 240, 51, 13, true},
    {kWritePidEdit, kEdit, "", 189, 255, 109, 13, true},
    {kWritePidButton, kPushButton, "写PID", 302, 255, 51, 13, true},
    {kWriteVidEdit, kEdit, "", 189, 270, 109, 13, true},
    {kWriteVidButton, kPushButton, "写VID", 302, 270, 51, 13, true},
    {kWriteManufacturerEdit, kEdit, "", 189, 300, 109, 13, true},
    {kWriteManufacturerButton, kPushButton, "写Manufature", 302, 300, 51, 13, true},
    {kWriteBcdEdit, kEdit, "", 189, 315, 109, 13, true},
    {kWriteBcdButton, kPushButton, "写BCD", 302, 315, 51, 13, true},
    {kWriteModelEdit, kEdit, "", 189, 330, 109, 13, true},
    {kWriteModelButton, kPushButton, "写Model", 302, 330, 51, 13, true},
    {kWriteCmeiEdit, kEdit, "", 189, 285, 109, 13, true},
    {kWriteCmeiButton, kPushButton, "写CMEI", 302, 285, 51, 13, true},
    {kReadSnEdit, kEdit, "", 18, 240, 109, 13, true},
    {kReadSnButton, kPushButton, "读SN", 133, 240, 50, 13, true},
    {kReadPidEdit, kEdit, "", 18, 255, 109, 13, true},
    {kReadPidButton, kPushButton, "读PID", 133, 255, 50, 13, true},
    {kReadVidEdit, kEdit, "", 18, 270, 109, 13, true},
    {kReadVidButton, kPushButton, "读VID", 133, 270, 50, 13, true},
    {kReadManufacturerEdit, kEdit, "", 18, 300, 109, 13, true},
    {kReadManufacturerButton, kPushButton, "读Manufature", 133, 300, 51, 13, true},
    {kReadBcdEdit, kEdit, "", 18, 315, 109, 13, true},
    {kReadBcdButton, kPushButton, "读BCD", 133, 315, 51, 13, true},
    {kReadModelEdit, kEdit, "", 18, 330, 109, 13, true},
    {kReadModelButton, kPushButton, "读Model", 133, 330, 51, 13, true},
    {kReadCmeiEdit, kEdit, "", 18, 285, 109, 13, true},
    {kReadCmeiButton, kPushButton, "读CMEI", 133, 285, 51, 13, true},
    {kPacketBuilderButton, kPushButton, "组包", 314, 156, 39, 13, false},
    {kUpdateButton, kPushButton, "update", 314, 141, 39, 13, true},
    {kSelectConfigButton, kPushButton, "select config files", 235, 141, 74, 13, true},
    {kUpdateListPathEdit, kEdit, "", 18, 141, 211, 13, true},
    {kDeviceInfoGroup, kGroupBox, "读写设备信息", 10, 227, 353, 137, true},
    {kOtaGroup, kGroupBox, "ota", 10, 130, 353, 45, true},
    {kProgressBar, kProgress, "", 18, 156, 211, 13, true},
    {kStatusText, kCentredText, "", 237, 158, 66, 13, true},
    {kReadVersionEdit, kEdit, "", 236, 158, 109, 13, false},
    {kReadVersionButton, kPushButton, "读版本号", 236, 188, 51, 13, false},
    {kVersionGroup, kGroupBox, "获取设备版本信息", 230, 147, 133, 73, false},
    {kReadAppKeyEdit, kEdit, "", 18, 345, 109, 13, true},
    {kReadAppKeyButton, kPushButton, "读AppKey", 133, 345, 51, 13, true},
    {kWriteAppKeyEdit, kEdit, "", 189, 345, 109, 13, true},
    {kWriteAppKeyButton, kPushButton, "写AppKey", 302, 345, 51, 13, true},
};

// Group box first, then read buttons, write buttons, read results and values to write, each in
// the rows' order SN, PID, VID, CMEI, manufacturer, BCD, model. The AppKey row stays.
constexpr int kHiddenAtStartUp[] = {
    kDeviceInfoGroup,
    kReadSnButton, kReadPidButton, kReadVidButton, kReadCmeiButton, kReadManufacturerButton,
    kReadBcdButton, kReadModelButton,
    kWriteSnButton, kWritePidButton, kWriteVidButton, kWriteCmeiButton, kWriteManufacturerButton,
    kWriteBcdButton, kWriteModelButton,
    kReadSnEdit, kReadPidEdit, kReadVidEdit, kReadCmeiEdit, kReadManufacturerEdit, kReadBcdEdit,
    kReadModelEdit,
    kWriteSnEdit, kWritePidEdit, kWriteVidEdit, kWriteCmeiEdit, kWriteManufacturerEdit,
    kWriteBcdEdit, kWriteModelEdit,
};

}  // namespace

std::span<const ControlTemplate> MainWindowTemplate() { return kControls; }
std::span<const int> ControlsHiddenAtStartUp() { return kHiddenAtStartUp; }

}  // namespace pellar
