#include "records/HeaderTime.h"

#include <QLocale>
#include <QStringList>
#include <QTime>

#include "records/RecordedRun.h"

namespace tessarin::records {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

}  // namespace

std::optional<QDate> headerDate(std::string_view text) {
  const QString date = fromUtf8(text);
  if (const QDate c = QLocale::c().toDate(date, QLocale::ShortFormat); c.isValid()) return c;
  if (const QDate iso = QDate::fromString(date, Qt::ISODate); iso.isValid()) return iso;
  for (const QChar separator : {u'/', u'.', u'-'}) {
    QStringList fields = date.split(separator);
    if (fields.size() != 3) continue;
    // Qt reads "yy" as 19xx; the console's runs are all from this century.
    if (fields[2].size() == 2) fields[2].prepend(u"20");
    if (fields[2].size() != 4) continue;
    if (const QDate d = QDate::fromString(fields.join(u'/'), u"d/M/yyyy"); d.isValid()) return d;
  }
  return std::nullopt;
}

platform::Result<std::int64_t> headerStart(const std::string& date, const std::string& time) {
  using Start = platform::Result<std::int64_t>;
  const std::optional<QDate> day = headerDate(date);
  if (!day)
    return Start::failure(
        QString::fromStdString("its date '" + excerpt(date) + "' cannot be read"));
  const QTime clock = QTime::fromString(fromUtf8(time), u"HH:mm:ss");
  if (!clock.isValid())
    return Start::failure(
        QString::fromStdString("its time '" + excerpt(time) + "' cannot be read"));
  return day->toJulianDay() * kSecondsPerDay + clock.msecsSinceStartOfDay() / 1000;
}

}  // namespace tessarin::records
