#pragma once

#include <QByteArray>
#include <QString>

class Console;

// "&Save File as": chooses the .DAT file that the following runs append to.
void chooseDataFile(Console& c);

// Appends the run header (six empty lines, file name with date and time, DUT frequency and tau,
// mode, data type) to the data file. False when the file could not be written; the status line
// then says why.
bool writeRunHeader(Console& c);

// Appends one sample line to the data file. False when the file could not be written; the status
// line then says why.
bool writeSampleLine(Console& c, double value);

// A sample line: " " or "-", the magnitude in general format, one trailing space, CR LF. General
// format: up to 15 significant digits without trailing zeros, fixed notation with a leading zero
// ("0.5") from 0.1 up to 1E+15, exponent notation outside it with at least two exponent digits
// ("1.5E-11", "2E-05"). NaN and infinities are written as " NaN", " Inf" and "-Inf".
QByteArray formatSampleLine(double value);

// A frequency as a plain decimal number: up to 15 significant digits, no grouping, no trailing
// zeros.
QString formatPlainDecimal(double value);
