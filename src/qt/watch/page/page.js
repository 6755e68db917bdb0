// Watch page of the Tessarin / RS console: shows the current run (status,
// facts, samples, stability) read-only, and follows it live.
//
// Everything shown comes from the console's JSON answers and is written with
// textContent only, never as HTML.
'use strict';

(function () {
  // ---- constants ---------------------------------------------------------

  var NOT_AUTHORIZED = 'Not authorized: open the page with the token the console printed';
  var NOT_REACHABLE = 'Console not reachable';
  var NOTHING = '\u2014';           // shown where the console has no value
  var POLL_MS = 2000;               // status poll while the live socket is down
  var SOCKET_RETRY_MS = 10000;      // how often to try to reopen the live socket
  var REQUEST_TIMEOUT_MS = 10000;   // a request taking longer counts as failed
  var MAX_DATA_POINTS = 2000;       // samples asked for the data plot
  var MAX_EVENTS = 50;              // recent events listed

  var STATISTIC_NAMES = {
    adev: 'Allan deviation',
    mdev: 'Modified Allan deviation',
    tdev: 'Time deviation (s)',
    mtie: 'MTIE (s)'
  };

  var QUANTITY_NAMES = {
    frequency: 'Frequency Diff',
    phase: 'Phase Diff'
  };

  // Events that call for attention, and events that report a recovery.
  var EVENT_KINDS = {
    'started': 'ev-info',
    'stopped': 'ev-info',
    'sample-limit': 'ev-info',
    'port-lost': 'ev-warn',
    'resumed': 'ev-good',
    'silence': 'ev-warn',
    'file-not-written': 'ev-warn',
    'file-written-again': 'ev-good',
    'filter-unlocked': 'ev-warn',
    'mask-failed': 'ev-warn',
    'mask-met': 'ev-good'
  };

  // ---- access token ------------------------------------------------------

  // The page may be opened as /?token=T; then every request carries it too.
  // It is never written into the page.
  var token = new URLSearchParams(window.location.search).get('token');

  function withToken(url) {
    if (token === null) return url;
    return url + (url.indexOf('?') >= 0 ? '&' : '?') + 'token=' + encodeURIComponent(token);
  }

  // ---- small helpers -----------------------------------------------------

  function $(id) { return document.getElementById(id); }

  function isNumber(v) { return typeof v === 'number' && isFinite(v); }

  // A fact as text: numbers in their shortest exact form, strings as they
  // are, nothing as a dash.
  function factText(v) {
    if (v === null || v === undefined) return NOTHING;
    if (typeof v === 'string') return v;
    return String(v);
  }

  function baseName(path) {
    if (typeof path !== 'string' || path === '') return '';
    var parts = path.split(/[\\/]/);
    return parts[parts.length - 1] || path;
  }

  function slug(text) {
    return String(text).toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-+|-+$/g, '');
  }

  // Dygraphs writes its axis labels as HTML; ours are plain text.
  function escapeHtml(text) {
    return String(text)
      .replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;')
      .replace(/"/g, '&quot;').replace(/'/g, '&#39;');
  }

  function clamp(v, lo, hi) { return Math.min(hi, Math.max(lo, v)); }

  // An ISO 8601 time as shown: date and time separated by a space.
  function timeText(at) {
    if (typeof at !== 'string') return NOTHING;
    return at.replace('T', ' ');
  }

  // ---- problems ----------------------------------------------------------

  function Problem(message) { this.message = message; }

  var currentProblem = '';

  function setProblem(message) {
    if (message === currentProblem) return;
    currentProblem = message;
    $('problem').textContent = message;
    document.body.classList.toggle('has-problem', message !== '');
  }

  // ---- requests ----------------------------------------------------------

  function fetchJson(path) {
    var controller = typeof AbortController === 'function' ? new AbortController() : null;
    var timer = controller ? setTimeout(function () { controller.abort(); }, REQUEST_TIMEOUT_MS) : null;
    var done = function () { if (timer !== null) clearTimeout(timer); };
    return fetch(withToken(path), {
      cache: 'no-store',
      credentials: 'same-origin',
      headers: { 'Accept': 'application/json' },
      signal: controller ? controller.signal : undefined
    }).then(function (response) {
      if (response.status === 401) throw new Problem(NOT_AUTHORIZED);
      if (!response.ok) {
        throw new Problem('Console answered HTTP ' + response.status + ' for /' + path.split('?')[0]);
      }
      return response.json().catch(function () {
        throw new Problem('Console sent an answer the page cannot read for /' + path.split('?')[0]);
      });
    }, function () {
      throw new Problem(NOT_REACHABLE);
    }).then(function (value) {
      done();
      if (value === null || typeof value !== 'object') {
        throw new Problem('Console sent an answer the page cannot read for /' + path.split('?')[0]);
      }
      return value;
    }, function (error) {
      done();
      throw error;
    });
  }

  // ---- status and facts --------------------------------------------------

  function drawStatus(status) {
    $('status').textContent = typeof status.status === 'string' ? status.status : '';

    var facts = document.querySelectorAll('[data-fact]');
    for (var i = 0; i < facts.length; i++) {
      var key = facts[i].getAttribute('data-fact');
      var value = status[key];
      var text = factText(value);
      if (facts[i].textContent !== text) facts[i].textContent = text;
      facts[i].classList.toggle('is-none', value === null || value === undefined);
    }

    var file = baseName(status.dataFile);
    $('file-name').textContent = file;

    var badge = $('state-badge');
    var state = typeof status.state === 'string' ? status.state : '';
    badge.textContent = state;
    badge.className = 'state-badge' + (state ? ' state-' + slug(state) : '');

    document.title = (state ? state + (file ? ' \u00b7 ' + file : '') + ' \u2014 ' : '') + 'Tessarin / RS';
  }

  // ---- charts ------------------------------------------------------------

  var chartsAvailable = typeof window.Dygraph === 'function';

  if (chartsAvailable) {
    // The page shows its own read-out under each chart (as text) instead of
    // dygraphs' legend, which is written as HTML with inline styles.
    window.Dygraph.PLUGINS = window.Dygraph.PLUGINS.filter(function (plugin) {
      return plugin !== window.Dygraph.Plugins.Legend;
    });
  }

  // Mouse zoom (drag) and reset (double click) only: touches scroll the page.
  function interactionModel(onReset) {
    var base = window.Dygraph.defaultInteractionModel;
    return {
      mousedown: base.mousedown,
      willDestroyContextMyself: base.willDestroyContextMyself,
      dblclick: function (event, g, context) {
        base.dblclick(event, g, context);
        if (onReset) onReset(g);
      }
    };
  }

  // Tick labels on a linear axis: as many digits as the visible range needs.
  function linearTick(v, range) {
    if (!isNumber(v)) return '';
    if (v === 0) return '0';
    var span = Math.abs(range[1] - range[0]);
    var size = Math.max(Math.abs(range[0]), Math.abs(range[1]));
    if (!(span > 0)) span = Math.abs(v);
    var digits = clamp(Math.ceil(Math.log10(size / span)) + 2, 1, 15);
    var a = Math.abs(v);
    if (a < 1e-3 || a >= 1e6) {
      return v.toExponential(digits - 1).replace(/\.?0+e/, 'e');
    }
    return String(Number(v.toPrecision(digits)));
  }

  // Tick labels on a log axis: 1e-11, 2e-11, 0.1, 1, 10, 100 ...
  function logTick(v) {
    if (!isNumber(v)) return '';
    return String(Number(v.toPrecision(6)));
  }

  function sampleTick(v) {
    if (!isNumber(v)) return '';
    return Number.isInteger(v) ? String(v) : String(Number(v.toPrecision(8)));
  }

  function setPointCount(element, count) {
    element.setAttribute('data-points', String(count));
  }

  // Shows (with the given text) or hides the note drawn in place of a chart.
  function showEmpty(chartId, text) {
    var frame = $(chartId).parentNode;
    frame.classList.toggle('is-empty', text !== '');
    if (text !== '') frame.querySelector('.chart-empty').textContent = text;
  }

  // ---- data plot ---------------------------------------------------------

  var dataGraph = null;
  var dataRows = [];

  function drawData(answer, status) {
    var element = $('data-chart');
    var points = Array.isArray(answer.points) ? answer.points : [];
    var rows = [];
    for (var i = 0; i < points.length; i++) {
      var p = points[i];
      if (!Array.isArray(p) || !isNumber(p[0])) continue;
      rows.push([p[0], isNumber(p[1]) ? p[1] : null]);
    }

    var quantity = answer.quantity || status.shown || null;
    var yName = QUANTITY_NAMES[quantity] || (quantity ? String(quantity) : 'Value');
    var title = typeof status.dataTitle === 'string' && status.dataTitle !== '' ? status.dataTitle : yName;
    $('data-title').textContent = title;

    dataRows = rows;
    if (rows.length === 0) {
      if (dataGraph) { dataGraph.destroy(); dataGraph = null; }
      $('data-readout').textContent = '';
      showEmpty('data-chart', 'No samples yet');
      setPointCount(element, 0);
      return;
    }
    showEmpty('data-chart', '');

    var options = {
      labels: ['Sample', yName],
      xlabel: 'Sample',
      ylabel: escapeHtml(yName)
    };
    if (dataGraph) {
      options.file = rows;
      dataGraph.updateOptions(options);
    } else {
      options.colors = ['#1f5fa8'];
      options.strokeWidth = 1.4;
      options.drawPoints = rows.length <= 60;
      options.pointSize = 2;
      options.highlightCircleSize = 4;
      options.gridLineColor = '#e3e7ec';
      options.axisLineColor = '#9aa4ae';
      options.yLabelWidth = 16;
      options.xLabelHeight = 16;
      options.resizable = 'passive';
      options.interactionModel = interactionModel(null);
      options.axes = {
        x: { axisLabelFormatter: sampleTick, valueFormatter: sampleTick },
        y: {
          axisLabelWidth: 78,
          axisLabelFormatter: function (v, gran, opts, g) { return linearTick(v, g.yAxisRange()); }
        }
      };
      options.highlightCallback = function (event, x, pts, row) {
        var r = dataRows[row];
        if (!r) return;
        $('data-readout').textContent = 'Sample ' + String(r[0]) + ': ' + (r[1] === null ? NOTHING : String(r[1]));
      };
      options.unhighlightCallback = function () { $('data-readout').textContent = ''; };
      dataGraph = new window.Dygraph(element, rows, options);
    }
    if (rows.length <= 60 !== dataGraph.getBooleanOption('drawPoints')) {
      dataGraph.updateOptions({ drawPoints: rows.length <= 60 });
    }
    setPointCount(element, rows.length);
  }

  // ---- stability plot ----------------------------------------------------

  var stabilityGraph = null;
  var stabilityRows = [];
  var stabilityZoomed = false;   // the viewer zoomed in: leave the tau range alone
  var stabilityLabels = '';      // the series drawn; another set draws the chart anew

  // Draws each point's error bar as a vertical line with caps.
  function errorBarPlotter(e) {
    var ctx = e.drawingContext;
    var area = e.plotArea;
    ctx.save();
    ctx.strokeStyle = e.color;
    ctx.lineWidth = 1.2;
    ctx.beginPath();
    for (var i = 0; i < e.points.length; i++) {
      var p = e.points[i];
      if (p.yval === null || !isNumber(p.yval) || !isNumber(p.canvasx)) continue;
      if (!isNumber(p.y_top) || !isNumber(p.y_bottom)) continue;
      var top = area.y + area.h * p.y_top;
      var bottom = area.y + area.h * p.y_bottom;
      if (Math.abs(bottom - top) < 1) continue;
      var x = p.canvasx;
      ctx.moveTo(x, top); ctx.lineTo(x, bottom);
      ctx.moveTo(x - 4, top); ctx.lineTo(x + 4, top);
      ctx.moveTo(x - 4, bottom); ctx.lineTo(x + 4, bottom);
    }
    ctx.stroke();
    ctx.restore();
  }

  // The tau range shown: all points, with a little room either side (in
  // decades, since the axis is logarithmic).
  function tauWindow(rows) {
    var lo = Math.log10(rows[0][0]);
    var hi = Math.log10(rows[rows.length - 1][0]);
    var pad = hi > lo ? Math.max((hi - lo) * 0.06, 0.05) : 0.5;
    return [Math.pow(10, lo - pad), Math.pow(10, hi + pad)];
  }

  function positive(v) { return isNumber(v) && v > 0; }

  function cellText(v) {
    return v === null || v === undefined ? NOTHING : String(v);
  }

  function drawStabilityTable(points) {
    var table = $('stability-table');
    var body = table.tBodies[0];
    var fresh = document.createElement('tbody');
    for (var i = 0; i < points.length; i++) {
      var p = points[i] || {};
      var tr = document.createElement('tr');
      tr.setAttribute('data-tau', String(p.tau));
      var cells = [String(p.tau), cellText(p.value), cellText(p.low), cellText(p.high)];
      for (var c = 0; c < cells.length; c++) {
        var td = document.createElement('td');
        td.textContent = cells[c];
        tr.appendChild(td);
      }
      fresh.appendChild(tr);
    }
    table.replaceChild(fresh, body);
  }

  // The telecom mask the console holds the curve to, or null: its name for
  // the legend, its line as chart rows, and its verdict in words.
  function maskOf(answer) {
    var mask = answer.mask;
    if (!mask || typeof mask !== 'object' || typeof mask.title !== 'string') return null;
    var line = mask.line && typeof mask.line === 'object' ? mask.line : {};
    var taus = Array.isArray(line.tau) ? line.tau : [];
    var limits = Array.isArray(line.limit) ? line.limit : [];
    var rows = [];
    for (var i = 0; i < Math.min(taus.length, limits.length); i++) {
      if (positive(taus[i]) && positive(limits[i])) {
        rows.push([taus[i], null, [limits[i], limits[i], limits[i]]]);
      }
    }
    var verdict = typeof mask.verdict === 'string' ? mask.verdict : NOTHING;
    var failing = [];
    var points = Array.isArray(mask.points) ? mask.points : [];
    for (var k = 0; k < points.length; k++) {
      if (points[k] && points[k].verdict === 'fail') failing.push(String(points[k].tau));
    }
    var text = mask.title + ' (' + String(mask.source) + '): ' + verdict;
    if (failing.length > 0) text += ' at tau ' + failing.join(', ') + ' s';
    return { label: mask.title + ' limit', rows: rows, verdict: verdict, text: text };
  }

  function drawMaskVerdict(mask) {
    var element = $('stability-mask');
    element.hidden = mask === null;
    element.textContent = mask === null ? '' : 'Mask ' + mask.text;
    element.setAttribute('data-verdict', mask === null ? '' : mask.verdict);
  }

  function drawStability(answer, status) {
    var element = $('stability-chart');
    var points = Array.isArray(answer.points) ? answer.points : [];
    var statistic = typeof answer.statistic === 'string' ? answer.statistic : null;
    var yName = STATISTIC_NAMES[statistic] || (statistic ? statistic : 'Stability');
    var title = typeof status.stabilityTitle === 'string' && status.stabilityTitle !== ''
      ? status.stabilityTitle : yName;
    $('stability-title').textContent = title;

    drawStabilityTable(points);
    var mask = maskOf(answer);
    drawMaskVerdict(mask);

    // On log axes only positive values exist; a missing or non-positive
    // bound draws no bar on that side.
    var rows = [];
    for (var i = 0; i < points.length; i++) {
      var p = points[i];
      if (!p || !positive(p.tau)) continue;
      if (!positive(p.value)) { rows.push([p.tau, null]); continue; }
      var low = positive(p.low) ? p.low : p.value;
      var high = positive(p.high) ? p.high : p.value;
      rows.push([p.tau, [low, p.value, high]]);
    }
    var curveRows = rows.length;
    var labels = ['Tau (s)', yName];
    if (mask !== null && curveRows > 0 && mask.rows.length > 0) {
      for (var j = 0; j < rows.length; j++) rows[j].push(null);
      rows = rows.concat(mask.rows);
      labels.push(mask.label);
    }
    rows.sort(function (a, b) { return a[0] - b[0]; });

    stabilityRows = rows;
    if (rows.length === 0) {
      if (stabilityGraph) { stabilityGraph.destroy(); stabilityGraph = null; }
      stabilityZoomed = false;
      $('stability-readout').textContent = '';
      showEmpty('stability-chart', 'No stability points yet');
      setPointCount(element, 0);
      element.setAttribute('data-mask-points', '0');
      return;
    }
    showEmpty('stability-chart', '');

    var options = {
      labels: labels,
      xlabel: 'Tau (s)',
      ylabel: escapeHtml(yName)
    };
    if (!stabilityZoomed) options.dateWindow = tauWindow(rows);

    if (stabilityGraph && stabilityLabels !== labels.join('\n')) {
      stabilityGraph.destroy();
      stabilityGraph = null;
    }
    stabilityLabels = labels.join('\n');
    if (stabilityGraph) {
      options.file = rows;
      stabilityGraph.updateOptions(options);
    } else {
      options.customBars = true;
      options.logscale = true;
      options.colors = ['#b4461f', '#7b2d8e'];
      options.connectSeparatedPoints = true;
      options.series = {};
      if (labels.length > 2) {
        options.series[labels[2]] = { strokePattern: [7, 4], drawPoints: false, strokeWidth: 1.6 };
      }
      options.strokeWidth = 1.4;
      options.drawPoints = true;
      options.pointSize = 3.5;
      options.highlightCircleSize = 5;
      options.fillAlpha = 0.1;
      options.yRangePad = 12;
      options.gridLineColor = '#e3e7ec';
      options.axisLineColor = '#9aa4ae';
      options.yLabelWidth = 16;
      options.xLabelHeight = 16;
      options.resizable = 'passive';
      options.plotter = [
        window.Dygraph.Plotters.errorPlotter,
        errorBarPlotter,
        window.Dygraph.Plotters.linePlotter
      ];
      options.interactionModel = interactionModel(function (g) {
        stabilityZoomed = false;
        if (stabilityRows.length > 0) g.updateOptions({ dateWindow: tauWindow(stabilityRows) });
      });
      options.zoomCallback = function () { stabilityZoomed = true; };
      options.axes = {
        x: { logscale: true, axisLabelFormatter: logTick, valueFormatter: logTick },
        y: { logscale: true, axisLabelWidth: 64, axisLabelFormatter: logTick, valueFormatter: logTick }
      };
      options.highlightCallback = function (event, x, pts, row) {
        var r = stabilityRows[row];
        if (!r) return;
        var text = 'tau ' + String(r[0]) + ' s: ';
        if (r[1] === null && r.length > 2 && r[2] !== null) {
          text += 'limit ' + String(r[2][1]);
        } else if (r[1] === null) {
          text += NOTHING;
        } else {
          text += String(r[1][1]);
          if (r[1][0] !== r[1][1] || r[1][2] !== r[1][1]) {
            text += ' (' + String(r[1][0]) + ' \u2026 ' + String(r[1][2]) + ')';
          }
        }
        $('stability-readout').textContent = text;
      };
      options.unhighlightCallback = function () { $('stability-readout').textContent = ''; };
      stabilityGraph = new window.Dygraph(element, rows, options);
    }
    setPointCount(element, curveRows);
    element.setAttribute('data-mask-points', String(rows.length - curveRows));
  }

  // ---- events ------------------------------------------------------------

  function drawEvents(answer) {
    var list = $('events');
    var events = Array.isArray(answer.events) ? answer.events : [];
    var recent = events.slice(-MAX_EVENTS).reverse();
    var fresh = document.createDocumentFragment();
    for (var i = 0; i < recent.length; i++) {
      var ev = recent[i] || {};
      var name = typeof ev.name === 'string' ? ev.name : '';
      var li = document.createElement('li');
      li.className = 'event ' + (EVENT_KINDS[name] || 'ev-info');

      var time = document.createElement('time');
      time.className = 'ev-at';
      if (typeof ev.at === 'string') time.setAttribute('datetime', ev.at);
      time.textContent = timeText(ev.at);

      var label = document.createElement('span');
      label.className = 'ev-name';
      label.textContent = name;

      var text = document.createElement('span');
      text.className = 'ev-text';
      text.textContent = typeof ev.text === 'string' ? ev.text : '';

      li.appendChild(time);
      li.appendChild(label);
      li.appendChild(text);
      fresh.appendChild(li);
    }
    list.textContent = '';
    list.appendChild(fresh);
    $('events-empty').hidden = recent.length > 0;
  }

  // ---- refreshing --------------------------------------------------------

  var drawnRevision = null;   // revision of the last complete redraw
  var busy = false;           // a refresh is in flight
  var due = false;            // another refresh was asked for meanwhile
  var dueFull = false;        // ... and it must redraw everything
  var lastFailed = false;

  // Reads the status; when its revision is not the one drawn (or full is
  // asked for) reads stability, data and events too and redraws everything.
  function refresh(full) {
    if (busy) {
      due = true;
      dueFull = dueFull || full;
      return;
    }
    busy = true;
    fetchJson('api/status').then(function (status) {
      drawStatus(status);
      if (!full && !lastFailed && drawnRevision !== null && status.revision === drawnRevision) {
        return null;
      }
      return Promise.all([
        fetchJson('api/stability'),
        fetchJson('api/data?max=' + MAX_DATA_POINTS),
        fetchJson('api/events')
      ]).then(function (answers) {
        if (chartsAvailable) {
          drawData(answers[1], status);
          drawStability(answers[0], status);
        } else {
          drawStabilityTable(Array.isArray(answers[0].points) ? answers[0].points : []);
        }
        drawEvents(answers[2]);
        drawnRevision = status.revision;
        document.body.setAttribute('data-revision', String(status.revision));
      });
    }).then(function () {
      lastFailed = false;
      setProblem(chartsAvailable ? '' : 'The chart library did not load: charts cannot be shown');
    }, function (error) {
      lastFailed = true;
      if (error instanceof Problem) {
        setProblem(error.message);
      } else {
        setProblem('The page could not draw the console\u2019s answer' +
          (error && error.message ? ': ' + error.message : ''));
        if (window.console) window.console.error(error);
      }
    }).then(function () {
      busy = false;
      if (due) {
        var again = dueFull;
        due = false;
        dueFull = false;
        refresh(again);
      }
    });
  }

  // ---- live socket -------------------------------------------------------

  var socket = null;
  var socketOpen = false;

  function showLink() {
    var link = $('link');
    link.textContent = socketOpen ? 'Live' : 'Polling';
    link.className = 'link ' + (socketOpen ? 'link-live' : 'link-poll');
  }

  function socketUrl() {
    var url = new URL('api/live', window.location.href);
    url.protocol = window.location.protocol === 'https:' ? 'wss:' : 'ws:';
    url.search = '';
    url.hash = '';
    return withToken(url.href);
  }

  function openSocket() {
    if (socket !== null || typeof WebSocket !== 'function') return;
    var s;
    try {
      s = new WebSocket(socketUrl());
    } catch (e) {
      return;
    }
    socket = s;
    s.onopen = function () {
      socketOpen = true;
      showLink();
      refresh(false);   // catch up with what changed while it was down
    };
    s.onmessage = function (event) {
      var revision;
      try {
        revision = JSON.parse(event.data).revision;
      } catch (e) {
        return;
      }
      if (revision !== drawnRevision) refresh(true);
    };
    s.onclose = function () {
      if (socket === s) {
        socket = null;
        socketOpen = false;
        showLink();
      }
    };
    s.onerror = function () { /* a close follows */ };
  }

  // ---- start -------------------------------------------------------------

  function start() {
    if (!chartsAvailable) {
      showEmpty('data-chart', 'Charts cannot be shown');
      showEmpty('stability-chart', 'Charts cannot be shown');
    }
    refresh(true);
    openSocket();
    setInterval(function () {
      if (lastFailed) refresh(true);
      else if (!socketOpen) refresh(false);
    }, POLL_MS);
    setInterval(openSocket, SOCKET_RETRY_MS);
    document.addEventListener('visibilitychange', function () {
      if (document.visibilityState === 'visible') refresh(false);
    });
  }

  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', start);
  } else {
    start();
  }
})();
