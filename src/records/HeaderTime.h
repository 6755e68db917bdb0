#pragma once

#include <QDate>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace tessarin::records {

// A run header's date as the console writes it, in the short date format of the locale it ran
// in: the C locale's "7 Dec 2026", numbers read day, month, year with '/', '.' or '-' between
// ("07/12/2026", "7/12/26", "07.12.2026"; a two-digit year is 20xx), or ISO's "2026-12-07".
std::optional<QDate> headerDate(std::string_view text);

// The moment a run's Start was chosen, from its header's date and "HH:mm:ss" time: whole seconds
// on the console's clock, counted from the start of Julian day 0. Fails naming what cannot be
// read.
platform::Result<std::int64_t> headerStart(const std::string& date, const std::string& time);

}  // namespace tessarin::records
