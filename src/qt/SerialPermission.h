#pragma once

#include <QString>

namespace tessarin::qt {

// The refusal of a serial device for lack of permission, worded for the operator: it names the
// group that gives access to the device node (the group that owns it, when that group may read
// and write it; otherwise "dialout", Debian's group for serial ports).
QString permissionRefusal(const QString& device);

// Whether the operator lacks read or write permission on the device (as opposed to the device
// being held by another program).
bool lacksPermission(const QString& device);

}  // namespace tessarin::qt
