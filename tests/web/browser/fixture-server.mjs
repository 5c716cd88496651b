// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the logger's web server, for working on the page without
// the C++ build: serves web/assets and answers that follow docs/web.md, with
// made-up weather. `node fixture-server.mjs [port] [--empty]`; --empty
// plays a station never heard and an empty archive.
import http from "node:http";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const assets = path.resolve(here, "../../../web/assets");
const chartJs = "/usr/share/javascript/chart.js/chart.min.js";
const port = Number(process.argv[2] || 8099);
const empty = process.argv.includes("--empty");
const DAY = 86400000;

const today = "2026-12-10";
let count = 1234;
function current() {
  if (empty) return { link: "waiting", silent_since: null, station_name: "Garage station", record_count: 0 };
  count += 1;
  const w = Math.sin(count / 7);
  return {
    temperature_outdoor_f: +(41.3 + w).toFixed(1), temperature_indoor_f: 68.2, humidity_outdoor_pct: 81.0, humidity_indoor_pct: 39.0,
    wind_speed_mph: +(7.5 + 3 * w).toFixed(1), wind_speed_avg_mph: 6.2, wind_gust_mph: 14.9, wind_direction_deg: (230 + count * 3) % 360,
    rain_today_in: 0.23, rain_long_term_in: 12.4, pressure_inhg: 29.874, dew_point_f: 35.9, wind_chill_f: 37.1, heat_index_f: null,
    feels_like_f: 37.1, pressure_change_3h_inhg: -0.041, pressure_trend: "falling", rain_last_hour_in: 0.02, rain_yesterday_in: 0.0,
    rain_month_in: 1.37, rain_year_in: 31.82, temperature_outdoor_f_max_today: 44.1, temperature_outdoor_f_min_today: 36.5,
    station_date: today, station_time: `14:${String(count % 60).padStart(2, "0")}`, record_count: count,
    link: "receiving", silent_since: null, station_name: "Garage station",
  };
}

// Smooth made-up weather for [from, to], in `buckets` buckets.
function history(from, to, buckets) {
  const start = Date.parse(from + "T00:00:00Z");
  const end = Date.parse(to + "T00:00:00Z") + DAY;
  const bucketMs = Math.max(300000, Math.ceil((end - start) / buckets / 300000) * 300000);
  const series = {};
  const keys = { temperature_outdoor_f: [45, 12], dew_point_f: [36, 6], feels_like_f: [42, 13], humidity_outdoor_pct: [75, 15], humidity_indoor_pct: [40, 3], wind_speed_avg_mph: [6, 4], wind_gust_mph: [14, 8], pressure_inhg: [29.9, 0.2], temperature_indoor_f: [68, 1] };
  for (const k of Object.keys(keys)) series[k] = [];
  const rain = [];
  let total = 0;
  const stop = Math.min(end, Date.parse(today + "T14:30:00Z"));
  for (let t = start; t < end; t += bucketMs) {
    const on = t < stop && !empty && !(t > start + (end - start) * 0.4 && t < start + (end - start) * 0.43);
    for (const [k, [mid, amp]] of Object.entries(keys)) {
      const v = mid + amp * Math.sin((t / DAY) * 2 * Math.PI - 2) * 0.6 + amp * 0.4 * Math.sin(t / (9 * DAY));
      const spread = Math.abs(amp) * 0.08 * (bucketMs / 3600000) ** 0.3;
      series[k].push(on ? [t, +(v - spread).toFixed(3), +v.toFixed(3), +(v + spread).toFixed(3)] : null);
    }
    const amount = on && Math.sin(t / (2.3 * DAY)) > 0.7 ? +(0.01 * Math.ceil(bucketMs / 1800000)).toFixed(2) : 0;
    total += amount;
    if (on) rain.push([t, amount, +total.toFixed(2)]);
  }
  return { from, to, bucket_minutes: bucketMs / 60000, series, rain };
}

const extreme = (min, minDate, minTime, max, maxDate, maxTime) => ({ min, min_date: minDate, min_time: minTime, max, max_date: maxDate, max_time: maxTime });
function records() {
  if (empty) return { today: null, yesterday: null, month: null, year: null, all_time: null };
  const period = (shift, date) => ({
    temperature_outdoor_f: extreme(36.5 - shift, date, "06:35", 44.1 + shift, date, "13:50"),
    wind_speed_mph: { max: 21.4 + shift, max_date: date, max_time: "15:20" },
    rain_in: +(0.23 + shift / 3).toFixed(2),
  });
  return { today: period(0, today), yesterday: period(0.5, "2026-12-09"), month: period(3, "2026-12-02"), year: period(20, "2026-07-21"), all_time: period(25, "2019-08-02") };
}

const types = { ".html": "text/html; charset=utf-8", ".css": "text/css", ".js": "text/javascript", ".svg": "image/svg+xml" };
const csp = "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self' data:; connect-src 'self'; font-src 'self'; object-src 'none'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

function send(res, status, type, body) {
  res.writeHead(status, { "Content-Type": type, "Content-Security-Policy": csp, "Cache-Control": "no-cache" });
  res.end(body);
}

http
  .createServer((req, res) => {
    const url = new URL(req.url, "http://x");
    const p = url.pathname;
    const json = (v) => send(res, 200, "application/json", JSON.stringify(v));
    if (p === "/") return send(res, 200, types[".html"], fs.readFileSync(path.join(assets, "index.html")));
    if (p === "/assets/vendor/chart.js") return send(res, 200, types[".js"], fs.readFileSync(chartJs));
    if (p.startsWith("/assets/") && /^[\w.-]+$/.test(p.slice(8)) && fs.existsSync(path.join(assets, p.slice(8))))
      return send(res, 200, types[path.extname(p)] || "application/octet-stream", fs.readFileSync(path.join(assets, p.slice(8))));
    if (p === "/api/current") return json(current());
    if (p === "/api/history") {
      const from = url.searchParams.get("from") < "2019-03-01" ? "2019-03-01" : url.searchParams.get("from");
      return json({ ...history(from, url.searchParams.get("to"), Number(url.searchParams.get("buckets") || 500)), from: url.searchParams.get("from") });
    }
    if (p === "/api/records") return json(records());
    if (p === "/noaa/") return empty ? send(res, 404, "text/plain", "no climate summaries yet\n") : send(res, 200, "text/html", '<ul><li><a href="2025.txt">2025</a><li><a href="2026-10.txt">2026-10</a><li><a href="2026-11.txt">2026-11</a></ul>');
    if (p === "/events") {
      res.writeHead(200, { "Content-Type": "text/event-stream", "Cache-Control": "no-cache" });
      const tick = setInterval(() => res.write(`event: state\ndata: ${JSON.stringify(current())}\n\n`), 2000);
      req.on("close", () => clearInterval(tick));
      return res.write(": hello\n\n");
    }
    send(res, 404, "text/plain", "not found\n");
  })
  .listen(port, "127.0.0.1", () => console.log(`http://127.0.0.1:${port}/`));
