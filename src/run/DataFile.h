#pragma once

#include <QByteArray>
#include <QString>

class Console;

// "&Save File as": chooses the .DAT file that the following runs append to.
void mnuSave_Click(Console& c);

// Appends the run header (six empty lines, file name with date and time, DUT frequency and tau,
// mode, data type) to the data file. False when the file could not be written; the status line
// then says why.
bool WriteRunHeader(Console& c);

// Appends one sample line to the data file. False when the file could not be written; the status
// line then says why.
bool WriteSampleLine(Console& c, double value);

// A sample line: " " or "-", the magnitude in general format, one trailing space, CR LF.
QByteArray FormatSampleLine(double value);

// A frequency as a plain decimal number: up to 15 significant digits, no grouping, no trailing
// zeros.
QString FormatPlainDecimal(double value);
