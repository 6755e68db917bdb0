#pragma once

#include <QString>
#include <string_view>

#include "RecordedRun.h"
#include "platform/Result.h"

namespace tessarin::analyze {

// Reads the runs of a .DAT file as the console writes it: per run six empty lines, the header
// (file name, date, time; DUT frequency and tau; mode; data type) and one sample line per sample,
// " 1.5E-11 " or "-3.5E-12 ". A line of another form among a run's samples (garbage, a line cut
// short by a power cut) is listed as damaged and becomes a gap in its place; nothing is dropped
// or closed up. Fails only when the file cannot be read or holds no run header at all.
platform::Result<InputFile> readDatFile(const QString& path);

// The same over a file's bytes.
InputFile parseDatText(std::string path, std::string_view text);

}  // namespace tessarin::analyze
