#include "app/watch/WatchService.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "app/Console.h"
#include "app/watch/ConsoleMetrics.h"
#include "app/watch/Exposition.h"
#include "app/watch/ShownNames.h"

namespace tessarin::app::watch {

namespace {

const QByteArray kJson = "application/json; charset=utf-8";
const QByteArray kText = "text/plain; charset=utf-8";

QJsonValue number(double value) { return std::isfinite(value) ? QJsonValue(value) : QJsonValue(); }

QJsonValue text(const QString& value) { return value.isEmpty() ? QJsonValue() : value; }

// ISO 8601 with the offset from UTC, so that a page in another time zone reads it right.
QJsonValue isoTime(const QDateTime& at) {
  if (!at.isValid()) return {};
  return at.toOffsetFromUtc(at.offsetFromUtc()).toString(Qt::ISODate);
}

QJsonValue quantityName(std::optional<run::Quantity> q) {
  if (!q) return {};
  return *q == run::Quantity::Frequency ? "frequency" : "phase";
}

std::optional<run::Quantity> shownQuantity(const Menus& m) {
  if (m.showFrequencyDiff.checked()) return run::Quantity::Frequency;
  if (m.showPhaseDiff.checked()) return run::Quantity::Phase;
  return std::nullopt;
}

QByteArray json(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

WatchResponse problem(int status, const QByteArray& why) { return {status, kText, why + '\n', {}}; }

}  // namespace

WatchService::WatchService(const Console& console, const PlotTap& dataPlot,
                           const PlotTap& stabilityPlot, QHash<QString, PageAsset> assets,
                           QByteArray token)
    : console_(console),
      dataPlot_(dataPlot),
      stabilityPlot_(stabilityPlot),
      assets_(std::move(assets)) {
  if (token.isEmpty()) return;
  const auto page = assets_.find("/index.html");
  if (page == assets_.end()) return;
  for (const QString& path : assets_.keys()) {
    const QByteArray link = '"' + path.mid(1).toUtf8() + '"';
    page->bytes.replace(link, link.chopped(1) + "?token=" + token + '"');
  }
}

WatchResponse WatchService::answer(const WatchRequest& request) const {
  WatchResponse response;
  const QString& path = request.path;
  if (path == "/api/status") {
    response = {200, kJson, status(), {}};
  } else if (path == "/api/stability") {
    response = {200, kJson, stability(), {}};
  } else if (path == "/api/data") {
    response = data(request.query);
  } else if (path == "/api/events") {
    response = {200, kJson, events(), {}};
  } else if (path == "/metrics") {
    response = {200, Exposition::kContentType, consoleMetrics(console_, stabilityPlot_), {}};
  } else if (path == "/data") {
    response = dataFile();
  } else if (const auto asset = assets_.find(path == "/" ? "/index.html" : path);
             asset != assets_.end()) {
    response = {200, asset->contentType, asset->bytes, {}};
  } else {
    response = problem(404, "404 Not Found");
  }
  if (request.head) response.body.clear();
  return response;
}

bool WatchService::refresh() {
  const Console& c = console_;
  const std::size_t look =
      qHashMulti(0, c.status(), int(c.state()), c.measurement().sampleCount(),
                 c.measurement().rejectedReadings(), dataPlot_.revision(),
                 stabilityPlot_.revision(), c.events().recorded(), c.recorder().dataFile().path(),
                 c.recorder().waitingCount(), c.maskWatch().chosen());
  if (look == lastLook_) return false;
  lastLook_ = look;
  ++revision_;
  return true;
}

QByteArray WatchService::status() const {
  const Console& c = console_;
  const std::optional<RunFacts>& run = c.runFacts();
  QJsonObject o{{"state", stateName(c.state())},
                {"status", c.status()},
                {"samples", c.measurement().sampleCount()},
                {"rejectedReadings", c.measurement().rejectedReadings()},
                {"dataFile", text(c.recorder().dataFile().path())},
                {"waitingLines", c.recorder().waitingCount()},
                {"resumes", c.resumption().resumes()},
                {"shown", quantityName(shownQuantity(c.menus()))},
                {"dataTitle", dataPlot_.title()},
                {"stabilityTitle", stabilityPlot_.title()},
                {"revision", qint64(revision_)}};
  o["dutHz"] = run ? number(run->dutHz) : QJsonValue();
  o["tauSeconds"] = run ? number(run->tauSeconds) : QJsonValue();
  o["mode"] =
      run && run->mode
          ? QJsonValue(*run->mode == run::FilterMode::Filtered ? "Filtered" : "Non filtered")
          : QJsonValue();
  o["stored"] = run ? quantityName(run->stored) : QJsonValue();
  o["runStartedAt"] = run ? isoTime(run->startedAt) : QJsonValue();
  const std::optional<std::chrono::milliseconds> last = c.silence().lastSample();
  o["lastSampleAt"] =
      run && last ? isoTime(run->startedAt.addMSecs((*last - run->startedSinceStart).count()))
                  : QJsonValue();
  return json(o);
}

namespace {

// The mask in force, its verdict per tau and its line over the curve's range of tau
// [fromTau, toTau]; null while none is.
QJsonValue maskVerdicts(const plots::MaskWatch& watch, double fromTau, double toTau) {
  const analysis::TelecomMask* mask = watch.mask();
  if (!mask) return QJsonValue();
  const analysis::MaskLine line = analysis::maskLine(*mask, fromTau, toTau);
  QJsonArray lineTau, lineLimit;
  for (std::size_t i = 0; i < line.tau.size(); ++i) {
    lineTau.append(number(line.tau[i]));
    lineLimit.append(number(line.limit[i]));
  }
  QJsonArray points;
  for (const plots::MaskWatch::Point& p : watch.points())
    points.append(QJsonObject{{"tau", number(p.tau)},
                              {"value", number(p.value)},
                              {"limit", number(p.limit)},
                              {"margin", number(p.limit - p.value)},
                              {"verdict", QString::fromUtf8(analysis::verdictWord(p.verdict))}});
  return QJsonObject{{"name", QString::fromUtf8(mask->name)},
                     {"title", QString::fromUtf8(mask->title)},
                     {"source", QString::fromUtf8(mask->recommendation)},
                     {"verdict", QString::fromUtf8(analysis::verdictWord(watch.verdict()))},
                     {"points", points},
                     {"line", QJsonObject{{"tau", lineTau}, {"limit", lineLimit}}}};
}

}  // namespace

QByteArray WatchService::stability() const {
  QJsonArray points;
  const std::vector<PlotTap::StabilityPoint>& curve = stabilityPlot_.stabilityPoints();
  for (const PlotTap::StabilityPoint& p : curve)
    points.append(QJsonObject{{"tau", number(p.tau)},
                              {"value", number(p.value)},
                              {"low", number(p.low)},
                              {"high", number(p.high)}});
  const double fromTau = curve.empty() ? 0 : curve.front().tau;
  const double toTau = curve.empty() ? 0 : curve.back().tau;
  return json({{"statistic", shownStatisticName(console_.menus())},
               {"points", points},
               {"mask", maskVerdicts(console_.maskWatch(), fromTau, toTau)}});
}

WatchResponse WatchService::data(const QUrlQuery& query) const {
  int maxPoints = kDefaultDataPoints;
  if (query.hasQueryItem("max")) {
    bool ok = false;
    maxPoints = query.queryItemValue("max").toInt(&ok);
    if (!ok || maxPoints < 2 || maxPoints > kMaxDataPoints)
      return problem(400,
                     "max must be a whole number from 2 to " + QByteArray::number(kMaxDataPoints));
  }
  QJsonArray points;
  for (const auto& [x, y] : dataPlot_.dataPoints().points(maxPoints))
    points.append(QJsonArray{number(x), number(y)});
  return {200,
          kJson,
          json({{"quantity", quantityName(shownQuantity(console_.menus()))},
                {"samples", console_.measurement().sampleCount()},
                {"points", points}}),
          {}};
}

QByteArray WatchService::events() const {
  QJsonArray list;
  for (const RunEvent& e : console_.events().events())
    list.append(QJsonObject{{"at", isoTime(e.at)}, {"name", e.name}, {"text", e.text}});
  return json({{"events", list}});
}

WatchResponse WatchService::dataFile() const {
  const QString path = console_.recorder().dataFile().path();
  if (path.isEmpty()) return problem(404, "No data file is chosen");
  if (!QFileInfo(path).isFile()) return problem(404, "The data file is not there yet");
  return {200, kText, {}, path};
}

}  // namespace tessarin::app::watch
