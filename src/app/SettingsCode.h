#pragma once

#include <QString>

class Console;

// The leading decimal number of `text` (leading blanks skipped, 0 when there is none).
double leadingNumber(const QString& text);

// Checks the data type, port and filter items that `code` names (hundreds, tens and units digit)
// and keeps the three digits in the console state. Items of a digit that names none stay as
// they are.
void applySettingsCode(Console& c, double code);

// Packs the checked data type, port and filter items into the settings code; a group with no
// checked item keeps its previous part.
double encodeSettingsCode(Console& c);

// Reads globalsetting.txt at start-up and applies its code. A missing file is normal on a first
// start; an unreadable one is reported in the status line.
void readGlobalSettings(Console& c);

// Encodes the current choices and writes them to globalsetting.txt. On failure returns false
// with the reason in `error`.
bool writeGlobalSettings(Console& c, QString& error);
