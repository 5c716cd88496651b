// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConnectionTests.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "AprsIsClient.h"
#include "CwopPacket.h"
#include "HostNotFound.h"
#include "HttpUploadClient.h"
#include "SecretFile.h"
#include "StationUploadQuery.h"

namespace {
using Mosquitto = std::unique_ptr<mosquitto, decltype(&mosquitto_destroy)>;

std::string MqttError(int code) {
    return code == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(code);
}

// The broker's answer to the login, -1 while none has come.
void OnConnect(mosquitto*, void* answer, int code) {
    *static_cast<int*>(answer) = code;
}

UploadResult CannotRead(const std::string& what, const std::string& path) {
    return {false, "cannot read the " + what + " '" + path + "': " + SecretFileProblem(path)};
}

std::string Broker(const MqttOptions& options) {
    return options.host + ":" + std::to_string(options.port);
}
}  // namespace

UploadResult TestMqttConnection(const MqttOptions& options, std::chrono::milliseconds timeout) {
    [[maybe_unused]] static const int initialised = mosquitto_lib_init();
    int answer = -1;
    Mosquitto mosq(mosquitto_new(nullptr, true, &answer), &mosquitto_destroy);
    if (!mosq) return {false, "cannot create an MQTT client"};
    if (!options.user.empty()) {
        std::optional<std::string> password;
        if (!options.passwordFile.empty()) {
            password = ReadSecretFile(options.passwordFile);
            if (!password) return CannotRead("password file", options.passwordFile);
        }
        mosquitto_username_pw_set(mosq.get(), options.user.c_str(),
                                  password ? password->c_str() : nullptr);
    }
    if (!options.caFile.empty()) {
        const int rc = mosquitto_tls_set(mosq.get(), options.caFile.c_str(), nullptr, nullptr,
                                         nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            return {false, "cannot use the CA file '" + options.caFile + "': " + MqttError(rc)};
        }
    }
    mosquitto_connect_callback_set(mosq.get(), &OnConnect);
    int rc = mosquitto_connect_async(mosq.get(), options.host.c_str(), options.port, 10);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (rc == MOSQ_ERR_SUCCESS && answer < 0 && std::chrono::steady_clock::now() < deadline) {
        rc = mosquitto_loop(mosq.get(), 100, 1);
    }
    mosquitto_disconnect(mosq.get());
    if (rc == MOSQ_ERR_EAI) return {false, HostNotFound(options.host)};
    if (rc != MOSQ_ERR_SUCCESS) return {false, Broker(options) + ": " + MqttError(rc)};
    if (answer < 0) return {false, Broker(options) + ": no answer"};
    if (answer != 0) return {false, Broker(options) + ": " + mosquitto_connack_string(answer)};
    return {true, "connected to " + Broker(options)};
}

UploadResult TestCwopLogin(const CwopOptions& options, const std::string& softwareVersion) {
    std::optional<std::string> passcode = "-1";
    if (!options.passcodeFile.empty()) passcode = ReadSecretFile(options.passcodeFile);
    if (!passcode) return CannotRead("passcode file", options.passcodeFile);
    const std::atomic<bool> never{false};
    AprsIsClient client(options.server, options.timing, never);
    return client.Send(AprsIsLogin(options.id, *passcode, softwareVersion), "",
                       !IsCwopId(options.id));
}

UploadResult TestStationUpload(const StationUploadOptions& options, bool anyOkReply,
                               const std::string& softwareVersion) {
    const std::optional<std::string> key = ReadSecretFile(options.keyFile);
    if (!key) return CannotRead("station key file", options.keyFile);
    WeatherObservation nothing;
    nothing.time = std::time(nullptr);
    const std::atomic<bool> never{false};
    HttpUploadClient client(options.timing, never);
    const std::string query = StationUploadQuery(options.stationId, *key, nothing, softwareVersion);
    return client.Get(options.url + "?" + query, anyOkReply, {query, *key, UrlEncode(*key)});
}
