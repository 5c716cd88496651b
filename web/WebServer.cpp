// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebServer.h"

#include <civetweb.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr const char* kPolicy =
    "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "connect-src 'self'; font-src 'self'; object-src 'none'; base-uri 'none'; "
    "form-action 'none'; frame-ancestors 'none'";

void SendHead(mg_connection* conn, int status, const std::string& type, long long length,
              const char* cache) {
    mg_response_header_start(conn, status);
    mg_response_header_add(conn, "Content-Type", type.c_str(), -1);
    if (length >= 0)
        mg_response_header_add(conn, "Content-Length", std::to_string(length).c_str(), -1);
    mg_response_header_add(conn, "Cache-Control", cache, -1);
    mg_response_header_add(conn, "Content-Security-Policy", kPolicy, -1);
    mg_response_header_add(conn, "X-Content-Type-Options", "nosniff", -1);
    mg_response_header_add(conn, "Referrer-Policy", "no-referrer", -1);
    mg_response_header_add(conn, "X-Frame-Options", "DENY", -1);
    if (status == 405) mg_response_header_add(conn, "Allow", "GET, HEAD", -1);
    mg_response_header_send(conn);
}

void Send(mg_connection* conn, const WebAnswer& answer, bool head) {
    SendHead(conn, answer.status, answer.contentType, (long long)answer.body.size(),
             answer.cache ? "no-cache" : "no-store");
    if (!head && !answer.body.empty()) mg_write(conn, answer.body.data(), answer.body.size());
}

bool Write(mg_connection* conn, const std::string& text) {
    return mg_write(conn, text.data(), text.size()) == int(text.size());
}

std::string Decoded(const char* raw) {
    std::vector<char> buffer(std::strlen(raw) + 1);
    const int n = mg_url_decode(raw, int(buffer.size() - 1), buffer.data(), int(buffer.size()), 0);
    return n < 0 ? std::string() : std::string(buffer.data(), std::size_t(n));
}

std::map<std::string, std::string> QueryValues(const char* query) {
    std::map<std::string, std::string> values;
    if (!query) return values;
    char value[64];
    for (const char* name : {"from", "to", "buckets"}) {
        const int n = mg_get_var2(query, std::strlen(query), name, value, sizeof value, 0);
        if (n >= 0) values[name] = std::string(value, std::size_t(n));
        if (n == -2) values[name] = "?";  // too long to be a value: refused as bad
    }
    return values;
}

}  // namespace

WebServer::WebServer(LiveStore& live, WebRoutes::HistoryOpener openHistory,
                     SummarySource* summaries, Limits limits)
    : live_(live), openHistory_(std::move(openHistory)), summaries_(summaries), limits_(limits) {
    static const unsigned initialised = mg_init_library(0);
    (void)initialised;
}

WebServer::~WebServer() {
    Stop();
}

bool WebServer::Start(const WebSettings& settings, std::string& error,
                      const std::filesystem::path& assetsDir) {
    Stop();
    if (!IsNumericAddress(settings.address)) {
        error = "the web page's address must be in numbers, such as 127.0.0.1";
        return false;
    }
    const auto folder = assetsDir.empty() ? AssetFolder::Locate() : assetsDir;
    routes_ = std::make_unique<WebRoutes>(live_, AssetFolder(folder, AssetFolder::ChartLibrary()),
                                          openHistory_, summaries_);
    live_.Reopen();

    const bool v6 = settings.address.find(':') != std::string::npos;
    const std::string ports = (v6 ? "[" + settings.address + "]" : settings.address) + ":" +
                              std::to_string(settings.port);
    // Workers for every stream and some left over for the rest.
    const std::string threads = std::to_string(limits_.maxStreams + 8);
    const std::string timeout = std::to_string(limits_.requestTimeoutMs);
    const std::string headLimit = std::to_string(kMaxRequestHead);
    const char* options[] = {"listening_ports",
                             ports.c_str(),
                             "num_threads",
                             threads.c_str(),
                             "request_timeout_ms",
                             timeout.c_str(),
                             "keep_alive_timeout_ms",
                             "5000",
                             "enable_keep_alive",
                             "yes",
                             "max_request_size",
                             headLimit.c_str(),
                             "decode_url",
                             "no",
                             "enable_directory_listing",
                             "no",
                             nullptr};
    mg_callbacks callbacks{};
    callbacks.http_error = &WebServer::OnHttpError;
    // The library's own messages would name paths: the owner's log has ours.
    callbacks.log_message = [](const mg_connection*, const char*) { return 1; };
    mg_init_data init{&callbacks, this, options};
    char text[256] = "";
    unsigned code = 0;
    mg_error_data failure{&code, text, sizeof text};
    context_ = mg_start2(&init, &failure);
    if (!context_) {
        error = "the web page cannot listen on " + ports + ": " + text;
        routes_.reset();
        return false;
    }
    mg_server_port bound[4];
    const int n = mg_get_server_ports(context_, 4, bound);
    port_ = n > 0 ? bound[0].port : settings.port;
    mg_set_request_handler(context_, "/", &WebServer::Handle, this);
    return true;
}

void WebServer::Stop() {
    if (!context_) return;
    live_.Close();  // the streams end, so that their workers can be joined
    mg_stop(context_);
    context_ = nullptr;
    routes_.reset();
}

int WebServer::Handle(mg_connection* conn, void* self) {
    return static_cast<WebServer*>(self)->Serve(conn);
}

// civetweb 1.15 refuses a request head that fills its buffer
// (max_request_size) as a "Malformed message" with 400: its own "too large"
// branch cannot be reached. A head that never ended within the bound is what
// the standard answers with 431; a client that closed mid-head hears nothing.
int WebServer::OnHttpError(mg_connection* conn, int status, const char* message) {
    const std::string what = message ? message : "";
    if (status == 413 || what == "Malformed message" ||
        what.find("oo large") != std::string::npos) {
        Send(conn, WebAnswer::Error(431, "request header fields too large"), false);
    } else {
        Send(conn, WebAnswer::Error(status, status == 400 ? "bad request" : "refused"), false);
    }
    return 0;
}

int WebServer::Serve(mg_connection* conn) {
    const mg_request_info* request = mg_get_request_info(conn);
    const std::string method = request->request_method ? request->request_method : "";
    const char* uri = request->local_uri_raw ? request->local_uri_raw
                      : request->request_uri ? request->request_uri
                                             : "";
    const bool head = method == "HEAD";
    if (std::strlen(uri) > kMaxPath) {
        Send(conn, WebAnswer::Error(414, "the address is too long"), head);
        return 414;
    }
    const std::string raw = uri;
    const std::string path = Decoded(uri);
    if (path == "/events") {
        WebAnswer refused = WebRoutes::Check(method, raw, path);
        if (refused.status != 0) {
            Send(conn, refused, head);
            return refused.status;
        }
        if (head) {
            SendHead(conn, 200, "text/event-stream", -1, "no-store");
            return 200;
        }
        return Stream(conn);
    }
    const WebAnswer answer = routes_->Answer(method, raw, path, QueryValues(request->query_string));
    Send(conn, answer, head);
    return answer.status;
}

// One event stream: what the store has after `seq`, or a keep-alive comment
// when nothing came for a while. A client that stops reading blocks only
// this worker, until the write time-out ends the stream.
int WebServer::Stream(mg_connection* conn) {
    if (streams_.fetch_add(1) >= limits_.maxStreams) {
        streams_.fetch_sub(1);
        Send(conn, WebAnswer::Error(503, "too many event streams; try again later"), false);
        return 503;
    }
    mg_disable_keep_alive(conn);
    SendHead(conn, 200, "text/event-stream", -1, "no-store");
    std::uint64_t seq = live_.LatestSeq();
    bool open = Write(conn, "retry: 3000\n\nevent: state\ndata: " + live_.CurrentJson() + "\n\n");
    while (open) {
        const auto events = live_.EventsAfter(seq, limits_.keepAlive);
        if (events.empty()) {
            if (live_.closed()) break;
            open = Write(conn, ": keep-alive\n\n");
            continue;
        }
        std::string text;
        for (const LiveStore::Event& event : events)
            text += "event: " + event.name + "\ndata: " + event.data + "\n\n";
        open = Write(conn, text);
    }
    streams_.fetch_sub(1);
    return 200;
}
