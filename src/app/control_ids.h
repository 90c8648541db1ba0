#pragma once

namespace pellar {

// The numeric ids of the main window's controls: every control is reached by its id.
enum ControlId : int {
  kDeviceList = 1006,
  kScanDevicesButton = 1010,
  // Device information: value-to-write fields and write buttons.
  kWriteSnEdit = 1011,
  kWriteSnButton = 1012,
  kWritePidEdit = 1013,
  kWritePidButton = 1014,
  kWriteVidEdit = 1015,
  kWriteVidButton = 1016,
  kWriteManufacturerEdit = 1037,
  kWriteManufacturerButton = 1007,
  kWriteBcdEdit = 1038,
  kWriteBcdButton = 1039,
  kWriteModelEdit = 1049,
  kWriteModelButton = 1050,
  kWriteCmeiEdit = 1051,
  kWriteCmeiButton = 1052,
  kWriteAppKeyEdit = 1087,
  kWriteAppKeyButton = 1088,
  // Device information: read-result fields and read buttons.
  kReadSnEdit = 1053,
  kReadSnButton = 1054,
  kReadPidEdit = 1055,
  kReadPidButton = 1056,
  kReadVidEdit = 1057,
  kReadVidButton = 1058,
  kReadManufacturerEdit = 1059,
  kReadManufacturerButton = 1060,
  kReadBcdEdit = 1061,
  kReadBcdButton = 1062,
  kReadModelEdit = 1063,
  kReadModelButton = 1064,
  kReadCmeiEdit = 1065,
  kReadCmeiButton = 1066,
  kReadAppKeyEdit = 1085,
  kReadAppKeyButton = 1086,
  kReadVersionEdit = 1074,
  kReadVersionButton = 1075,
  // Update and packet builder.
  kPacketBuilderButton = 1067,
  kUpdateButton = 1068,
  kSelectConfigButton = 1069,
  kUpdateListPathEdit = 1070,
  kProgressBar = 1077,
  kStatusText = 1078,
  // Group boxes.
  kDeviceInfoGroup = 1082,
  kOtaGroup = 1083,
  kVersionGroup = 1084,
};

}  // namespace pellar
