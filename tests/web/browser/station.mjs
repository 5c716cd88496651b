// SPDX-License-Identifier: GPL-3.0-or-later
// The real programs behind the page: nimbulo-sim writes a recording,
// nimbulo-logger replays it into an archive and then reads a pseudo-terminal
// pair made by socat while serving the page on a free port of 127.0.0.1.
import { execFileSync, spawn } from "node:child_process";
import fs from "node:fs";
import net from "node:net";
import os from "node:os";
import path from "node:path";

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), "../../..");
export const LOGGER = process.env.NIMBULO_LOGGER || path.join(root, "build/tools/logger/nimbulo-logger");
export const SIM = process.env.NIMBULO_SIM || path.join(root, "build/tools/sim/nimbulo-sim");

// Polls `check` until it returns something truthy; what the tests wait on
// instead of sleeping.
export async function waitFor(check, what, timeoutMs = 10000) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await check().catch(() => null);
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((r) => setTimeout(r, 25));
  }
}

// Temporary folders, removed when the process ends.
const made = [];
process.on("exit", () => made.forEach((dir) => fs.rmSync(dir, { recursive: true, force: true })));
export function tempDir(name) {
  made.push(fs.mkdtempSync(path.join(os.tmpdir(), `nimbulo-${name}-`)));
  return made[made.length - 1];
}

export function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on("error", reject);
    server.listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// A recording of `count` records five station minutes apart from `date` 00:00.
export function simulate(file, date, count) {
  execFileSync(SIM, ["--device", file, "--burst", "--count", String(count), "--speed", "300", "--interval", "1", "--settle", "0", "--date", date, "--time", "00:00", "--seed", "7"], { stdio: ["ignore", "ignore", "pipe"] });
  return fs.readFileSync(file, "utf8").split(/\r?\n/).filter((l) => l.startsWith("!!"));
}

export function replay(dataDir, file, year) {
  execFileSync(LOGGER, ["--replay", file, "--data-dir", dataDir, "--year", String(year)], { stdio: ["ignore", "ignore", "pipe"] });
}

// A record line with some of its twelve four-digit fields (1-based) replaced.
export function withFields(line, fields) {
  const hex = line.slice(2, 50).match(/.{4}/g);
  for (const [field, value] of Object.entries(fields)) hex[field - 1] = (value & 0xffff).toString(16).toUpperCase().padStart(4, "0");
  return "!!" + hex.join("");
}
export const fieldOf = (line, field) => parseInt(line.slice(2 + (field - 1) * 4, 6 + (field - 1) * 4), 16);

// The logger on one end of a pty pair, serving http on a free port.
export class Station {
  constructor(dataDir, year, extraArgs = []) {
    this.dataDir = dataDir;
    this.year = year;
    this.extraArgs = extraArgs;
    this.children = [];
  }

  // Starts socat and the logger; on `port` when given (a restart), else a free one.
  async start(port) {
    const dir = tempDir("pty");
    this.stationEnd = path.join(dir, "station");
    const device = path.join(dir, "device");
    this.spawn("socat", [`pty,raw,echo=0,link=${this.stationEnd}`, `pty,raw,echo=0,link=${device}`]);
    await waitFor(async () => fs.existsSync(this.stationEnd) && fs.existsSync(device), "socat's pty pair");
    this.port = port || (await freePort());
    this.url = `http://127.0.0.1:${this.port}`;
    this.logger = this.spawn(LOGGER, ["--device", device, "--data-dir", this.dataDir, "--year", String(this.year), "--http", `127.0.0.1:${this.port}`, ...this.extraArgs]);
    await waitFor(() => this.json("/api/current"), `the logger's web server on port ${this.port}`);
    this.fd = fs.openSync(this.stationEnd, "w");
    return this;
  }

  spawn(program, args) {
    const child = spawn(program, args, { stdio: ["ignore", "ignore", "pipe"] });
    child.stderrText = "";
    child.stderr.on("data", (d) => (child.stderrText += d));
    this.children.push(child);
    return child;
  }

  async json(route) {
    const response = await fetch(this.url + route);
    if (!response.ok) throw new Error(`${route}: ${response.status}`);
    return response.json();
  }

  send(line) {
    fs.writeSync(this.fd, line + "\r\n");
  }

  // Sends `line` again until the logger has taken a record, since the
  // logger drops what was waiting on the line when it opened it.
  async sendUntilTaken(line) {
    const before = (await this.json("/api/current")).record_count || 0;
    return waitFor(async () => {
      this.send(line);
      const now = await this.json("/api/current");
      return (now.record_count || 0) > before && now;
    }, "the logger to take a record");
  }

  // Everything stopped and started again on the same port, as after a
  // restart of the service.
  async restart() {
    await this.stop();
    return this.start(this.port);
  }

  async stop() {
    if (this.fd !== undefined) fs.closeSync(this.fd);
    this.fd = undefined;
    for (const child of this.children.reverse()) {
      if (child.exitCode === null) {
        const gone = new Promise((r) => child.once("exit", r));
        child.kill("SIGTERM");
        await gone;
      }
    }
    this.children = [];
  }
}
