#include "e2e/ServedPageDom.h"

#include <QRegularExpression>

namespace tessarin::test {

namespace {

// The serialized DOM escapes only these in text and attributes.
QString unescaped(QString text) {
  return text.replace("&lt;", "<")
      .replace("&gt;", ">")
      .replace("&quot;", "\"")
      .replace("&nbsp;", QChar(0xa0))
      .replace("&amp;", "&");
}

// The text of the element with `id`, which holds text and no further elements.
QString textOf(const QString& html, const QString& id) {
  const QRegularExpression element(" id=\"" + id + "\"[^>]*>([^<]*)<");
  const QRegularExpressionMatch match = element.match(html);
  return match.hasMatch() ? unescaped(match.captured(1)) : QString();
}

std::optional<qint64> numberAttribute(const QString& html, const QString& elementStart,
                                      const QString& attribute) {
  const QRegularExpression element(elementStart + "[^>]*" + attribute + "=\"(\\d+)\"");
  const QRegularExpressionMatch match = element.match(html);
  if (!match.hasMatch()) return std::nullopt;
  return match.captured(1).toLongLong();
}

std::optional<int> pointsOf(const QString& html, const QString& chartId) {
  const std::optional<qint64> points =
      numberAttribute(html, "<div [^>]*id=\"" + chartId + "\"", "data-points");
  if (!points) return std::nullopt;
  return static_cast<int>(*points);
}

std::vector<QStringList> stabilityRowsOf(const QString& html) {
  const QRegularExpression table("<table id=\"stability-table\".*?<tbody>(.*?)</tbody>",
                                 QRegularExpression::DotMatchesEverythingOption);
  const QString body = table.match(html).captured(1);
  const QRegularExpression row("<tr data-tau=\"([^\"]*)\">(.*?)</tr>");
  const QRegularExpression cell("<td>([^<]*)</td>");
  std::vector<QStringList> rows;
  for (const QRegularExpressionMatch& r : row.globalMatch(body)) {
    QStringList texts{unescaped(r.captured(1))};
    for (const QRegularExpressionMatch& c : cell.globalMatch(r.captured(2)))
      texts.append(unescaped(c.captured(1)));
    rows.push_back(texts);
  }
  return rows;
}

}  // namespace

ServedPageDom readServedPageDom(const QByteArray& htmlBytes) {
  const QString html = QString::fromUtf8(htmlBytes);
  ServedPageDom dom;
  dom.status = textOf(html, "status");
  dom.problem = textOf(html, "problem");
  dom.link = textOf(html, "link");
  const QRegularExpression fact("<[a-z]+ [^>]*data-fact=\"([^\"]+)\"[^>]*>([^<]*)<");
  for (const QRegularExpressionMatch& match : fact.globalMatch(html))
    dom.facts.insert(match.captured(1), unescaped(match.captured(2)));
  dom.dataPoints = pointsOf(html, "data-chart");
  dom.stabilityPoints = pointsOf(html, "stability-chart");
  dom.revision = numberAttribute(html, "<body", "data-revision");
  dom.stabilityRows = stabilityRowsOf(html);
  dom.maskVerdict = textOf(html, "stability-mask");
  if (const auto points =
          numberAttribute(html, "<div [^>]*id=\"stability-chart\"", "data-mask-points"))
    dom.maskPoints = static_cast<int>(*points);
  return dom;
}

}  // namespace tessarin::test
