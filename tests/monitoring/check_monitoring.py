#!/usr/bin/env python3
"""The lab's monitoring files hold together: the Grafana dashboard is one Grafana imports as it
is (its structure, its variables, its panels' places), and the dashboard and the alert rules ask
only for metrics the console serves."""
import json
import re
import sys
from pathlib import Path

root = Path(sys.argv[1])
monitoring = root / "docs/monitoring"
served = set(re.findall(r'"(tessarin_[a-z_]+)"', (root / "src/app/watch/ConsoleMetrics.cpp").read_text()))
problems = []


def metrics_in(expr):
    return set(re.findall(r"\btessarin_[a-z_]+", expr))


def check_metrics(where, expr):
    for name in metrics_in(expr) - served:
        problems.append(f"{where}: the console serves no metric {name}")


dashboard = json.loads((monitoring / "tessarin-dashboard.json").read_text())
for key, kind in [("title", str), ("uid", str), ("schemaVersion", int), ("panels", list),
                  ("templating", dict), ("time", dict)]:
    if not isinstance(dashboard.get(key), kind):
        problems.append(f"dashboard: {key} is not a {kind.__name__}")
variables = {v["name"]: v for v in dashboard["templating"]["list"]}
if variables.get("datasource", {}).get("query") != "prometheus":
    problems.append("dashboard: no Prometheus data source variable")
ids = [p.get("id") for p in dashboard["panels"]]
if len(set(ids)) != len(ids) or not all(isinstance(i, int) for i in ids):
    problems.append(f"dashboard: panel ids not unique whole numbers: {ids}")
known = {"row", "timeseries", "stat", "xychart", "state-timeline"}
rows = 0
for panel in dashboard["panels"]:
    where = f"panel {panel.get('id')} '{panel.get('title')}'"
    if panel.get("type") not in known:
        problems.append(f"{where}: unknown type {panel.get('type')}")
    place = panel.get("gridPos", {})
    if not all(isinstance(place.get(k), int) for k in "hwxy") or place["x"] + place["w"] > 24 \
            or place["h"] < 1:
        problems.append(f"{where}: gridPos {place} does not fit the 24 columns")
    used = set(re.findall(r"\$\{?(\w+)", json.dumps(panel))) - {"__rate_interval", "__interval"}
    for name in used - set(variables):
        problems.append(f"{where}: no variable ${name}")
    if panel["type"] == "row":
        rows += 1
        repeat = panel.get("repeat")
        if repeat and not variables.get(repeat, {}).get("multi"):
            problems.append(f"{where}: repeats over {repeat}, not a multi-value variable")
        continue
    if panel.get("datasource", {}).get("uid") != "${datasource}":
        problems.append(f"{where}: not on the data source variable")
    refs = [t.get("refId") for t in panel.get("targets", [])]
    if not refs or len(set(refs)) != len(refs):
        problems.append(f"{where}: targets missing or refIds not unique: {refs}")
    for target in panel.get("targets", []):
        check_metrics(where, target.get("expr", ""))
    if panel["type"] == "xychart" and panel["options"]["dims"]["x"] != "tau_seconds":
        problems.append(f"{where}: the stability curve is not drawn against tau")
if rows == 0 or not any(p.get("repeat") == "instance" for p in dashboard["panels"]):
    problems.append("dashboard: no row repeated for each console")

for line in (monitoring / "tessarin-alerts.yml").read_text().splitlines():
    check_metrics("tessarin-alerts.yml", line)

print("\n".join(problems) if problems else f"{len(ids)} panels, {len(served)} metrics: fine")
sys.exit(1 if problems else 0)
