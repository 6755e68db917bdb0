#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <string_view>

#include "platform/Result.h"
#include "records/RecordedRun.h"

namespace tessarin::records {

// Reads a plain column file from another instrument: one value a line, or an MJD time tag and the
// value; '#' starts a comment; empty lines are skipped; "NaN" is a gap. A line of another form is
// listed as damaged and becomes a gap in its place. The file is one run of `quantity` samples
// taken every `tau0` seconds. Fails only when the file cannot be read. `bytesRead`, where given,
// counts the bytes read so far.
platform::Result<InputFile> readColumnFile(const QString& path, run::Quantity quantity, double tau0,
                                           std::atomic<std::int64_t>* bytesRead = nullptr);

// The same over a file's bytes.
InputFile parseColumnText(std::string path, std::string_view text, run::Quantity quantity,
                          double tau0);

}  // namespace tessarin::records
