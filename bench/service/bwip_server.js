// SPDX-License-Identifier: MIT
// The peer of the load run: the same API shape (GET /v1/pdf417?data=...&
// format=png) served by bwip-js under Node's http module, one worker per
// core as the service has one thread per core. Usage: node bwip_server.js PORT
"use strict";
const cluster = require("node:cluster");
const http = require("node:http");
const os = require("node:os");
const bwipjs = require("bwip-js");

const port = Number(process.argv[2]);
if (cluster.isPrimary) {
  for (let i = 0; i < os.availableParallelism(); ++i) cluster.fork();
  process.on("SIGTERM", () => {
    for (const worker of Object.values(cluster.workers)) worker.kill("SIGTERM");
    process.exit(0);
  });
} else {
  http.createServer((request, response) => {
    const url = new URL(request.url, "http://127.0.0.1");
    if (url.pathname !== "/v1/pdf417" || !url.searchParams.get("data")) {
      response.writeHead(404).end();
      return;
    }
    bwipjs.toBuffer({ bcid: "pdf417", text: url.searchParams.get("data"), scale: 2 })
      .then((png) => {
        response.writeHead(200, { "Content-Type": "image/png", "Content-Length": png.length });
        response.end(png);
      })
      .catch((error) => {
        response.writeHead(422, { "Content-Type": "text/plain" });
        response.end(String(error));
      });
  }).listen(port, "127.0.0.1");
}
