#pragma once

#include <QString>

#include "app/Console.h"
#include "platform/Result.h"
#include "run/RunChoices.h"

namespace tessarin::app {

// The leading decimal number of `text` (leading blanks skipped, 0 when there is none).
double leadingNumber(const QString& text);

// The settings code packs the data type (hundreds: 1 frequency, 2 phase), the port (tens: Com 1
// to 4) and the filter mode (units: 0 filtered, 1 non-filtered): 121 is frequency data, Com 2,
// non-filtered.

// Checks the data type, port and filter items that `code` names. Items of a digit that names
// none stay as they are.
void applySettingsCode(Menus& menus, double code);

// Packs the chosen port, mode and stored quantity into the settings code; a group with no checked
// item gives the digit 0 in its own place.
int encodeSettingsCode(const run::RunChoices& choices);

// Reads globalsetting.txt at start-up and applies its code. A missing file is normal on a first
// start; an unreadable one is reported in the status line.
void readGlobalSettings(Console& c);

// Encodes `choices` and writes them to globalsetting.txt in `settingsFolder`.
platform::Result<> writeGlobalSettings(const QString& settingsFolder,
                                       const run::RunChoices& choices);

}  // namespace tessarin::app
