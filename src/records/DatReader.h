#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <string_view>

#include "platform/Result.h"
#include "records/RecordedRun.h"

namespace tessarin::records {

// Reads the runs of a .DAT file as the console writes it: per run six empty lines, the header
// (file name, date, time; DUT frequency and tau; mode; data type) and one sample line per sample,
// " 1.5E-11 " or "-3.5E-12 ". A line of another form among a run's samples (garbage, a line cut
// short by a power cut) is listed as damaged and becomes a gap in its place; nothing is dropped
// or closed up. Fails only when the file cannot be read or holds no run header at all.
// `bytesRead`, where given, counts the bytes read so far.
platform::Result<InputFile> readDatFile(const QString& path,
                                        std::atomic<std::int64_t>* bytesRead = nullptr);

// The same over a file's bytes.
InputFile parseDatText(std::string path, std::string_view text);

}  // namespace tessarin::records
