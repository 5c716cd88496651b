// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "LiveStore.h"
#include "WebRoutes.h"
#include "WebSettings.h"

struct mg_connection;
struct mg_context;

// The station's web page and its data, served by civetweb on threads of its
// own: a worker per connection, each event stream holding one while it is
// open. The processing path only ever touches the LiveStore, so no client,
// however slow or many, can delay a record. Every answer carries a strict
// Content-Security-Policy; request heads are bounded (431, 414) and idle or
// slow clients are dropped after the request time-out.
class WebServer {
  public:
    struct Limits {
        int maxStreams = 64;
        std::chrono::milliseconds keepAlive{std::chrono::seconds(15)};
        int requestTimeoutMs = 10000;
    };
    static constexpr std::size_t kMaxRequestHead = 16384;
    static constexpr std::size_t kMaxPath = 2048;

    WebServer(LiveStore& live, WebRoutes::HistoryOpener openHistory, SummarySource* summaries,
              Limits limits);
    WebServer(LiveStore& live, WebRoutes::HistoryOpener openHistory, SummarySource* summaries)
        : WebServer(live, std::move(openHistory), summaries, Limits{}) {}
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Reads the page's files (AssetFolder::Locate unless assetsDir is given)
    // and listens. False with a reason for the owner (port taken, bad address).
    bool Start(const WebSettings& settings, std::string& error,
               const std::filesystem::path& assetsDir = {});
    // Ends every stream and waits for the workers.
    void Stop();
    bool running() const { return context_ != nullptr; }
    // The port listened on (the one chosen for port 0).
    int port() const { return port_; }
    int openStreams() const { return streams_.load(); }

  private:
    static int Handle(mg_connection* conn, void* self);
    static int OnHttpError(mg_connection* conn, int status, const char* message);
    int Serve(mg_connection* conn);
    int Stream(mg_connection* conn);

    LiveStore& live_;
    WebRoutes::HistoryOpener openHistory_;
    SummarySource* summaries_;
    const Limits limits_;
    std::unique_ptr<WebRoutes> routes_;
    mg_context* context_ = nullptr;
    int port_ = 0;
    std::atomic<int> streams_{0};
};
