// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConnectionTests.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>
#include <future>
#include <memory>

#include "AlarmsJson.h"
#include "AprsIsClient.h"
#include "CwopPacket.h"
#include "HostNotFound.h"
#include "HttpUploadClient.h"
#include "MqttPublisher.h"
#include "SecretFile.h"
#include "StationUploadQuery.h"

namespace {
using Mosquitto = std::unique_ptr<mosquitto, decltype(&mosquitto_destroy)>;

std::string MqttError(int code) {
    return code == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(code);
}

UploadResult CannotRead(const std::string& what, const std::string& path) {
    return {false, "cannot read the " + what + " '" + path + "': " + SecretFileProblem(path)};
}

std::string Broker(const MqttOptions& options) {
    return options.host + ":" + std::to_string(options.port);
}
}  // namespace

namespace {
// What a connection of a test's own has heard from the broker.
struct Answers {
    int connack = -1;  // the answer to the login, -1 while none has come
    int acked = 0;     // the message id the broker acknowledged last
};

void OnTestConnect(mosquitto*, void* answers, int code) {
    static_cast<Answers*>(answers)->connack = code;
}

void OnTestPublish(mosquitto*, void* answers, int mid) {
    static_cast<Answers*>(answers)->acked = mid;
}

// Logs in as the options say and waits for the broker's answer; the client
// stays connected for the caller on success.
UploadResult Connect(const MqttOptions& options, mosquitto* mosq, Answers& answers,
                     std::chrono::steady_clock::time_point deadline) {
    if (!options.user.empty()) {
        std::optional<std::string> password;
        if (!options.passwordFile.empty()) {
            password = ReadSecretFile(options.passwordFile);
            if (!password) return CannotRead("password file", options.passwordFile);
        }
        mosquitto_username_pw_set(mosq, options.user.c_str(),
                                  password ? password->c_str() : nullptr);
    }
    if (!options.caFile.empty()) {
        const int rc =
            mosquitto_tls_set(mosq, options.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            return {false, "cannot use the CA file '" + options.caFile + "': " + MqttError(rc)};
        }
    }
    mosquitto_connect_callback_set(mosq, &OnTestConnect);
    int rc = mosquitto_connect_async(mosq, options.host.c_str(), options.port, 10);
    while (rc == MOSQ_ERR_SUCCESS && answers.connack < 0 &&
           std::chrono::steady_clock::now() < deadline) {
        rc = mosquitto_loop(mosq, 100, 1);
    }
    if (rc == MOSQ_ERR_EAI) return {false, HostNotFound(options.host)};
    if (rc != MOSQ_ERR_SUCCESS) return {false, Broker(options) + ": " + MqttError(rc)};
    if (answers.connack < 0) return {false, Broker(options) + ": no answer"};
    if (answers.connack != 0)
        return {false, Broker(options) + ": " + mosquitto_connack_string(answers.connack)};
    return {true, "connected to " + Broker(options)};
}

UploadResult PublishOnce(const MqttOptions& options, const std::string& topic,
                         const std::string& payload, std::chrono::milliseconds timeout) {
    [[maybe_unused]] static const int initialised = mosquitto_lib_init();
    Answers answers;
    Mosquitto mosq(mosquitto_new(nullptr, true, &answers), &mosquitto_destroy);
    if (!mosq) return {false, "cannot create an MQTT client"};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    UploadResult result = Connect(options, mosq.get(), answers, deadline);
    if (!result.ok) return result;
    mosquitto_publish_callback_set(mosq.get(), &OnTestPublish);
    int mid = 0;
    int rc = mosquitto_publish(mosq.get(), &mid, topic.c_str(), static_cast<int>(payload.size()),
                               payload.data(), 1, false);
    while (rc == MOSQ_ERR_SUCCESS && answers.acked != mid &&
           std::chrono::steady_clock::now() < deadline) {
        rc = mosquitto_loop(mosq.get(), 100, 1);
    }
    mosquitto_disconnect(mosq.get());
    if (rc == MOSQ_ERR_EAI) return {false, HostNotFound(options.host)};
    if (rc != MOSQ_ERR_SUCCESS) return {false, Broker(options) + ": " + MqttError(rc)};
    if (answers.acked != mid) return {false, Broker(options) + ": no acknowledgement"};
    return {true, "sent to " + Broker(options) + " on " + topic + ", acknowledged"};
}
}  // namespace

UploadResult SendMqttAlarmTest(const MqttOptions& options, MqttPublisher* running,
                               const AlarmNotice& notice, std::chrono::milliseconds timeout) {
    const std::string topic = options.TopicPrefix() + "/alarm";
    const std::string payload = AlarmNoticeJson(notice);
    if (running == nullptr || running->options().host != options.host ||
        running->options().port != options.port ||
        running->options().TopicPrefix() != options.TopicPrefix())
        return PublishOnce(options, topic, payload, timeout);
    // Shared with the publisher's thread, which may tell it after we gave up.
    auto handed = std::make_shared<std::promise<bool>>();
    std::future<bool> answer = handed->get_future();
    running->PublishEvent(topic, payload, [handed](bool ok) { handed->set_value(ok); });
    const std::string where = "the station's connection to " + Broker(options);
    if (answer.wait_for(timeout) != std::future_status::ready)
        return {false, "not sent within " +
                           std::to_string(
                               std::chrono::duration_cast<std::chrono::seconds>(timeout).count()) +
                           " s: no connection on " + where + "; it goes once the broker is back"};
    try {
        if (!answer.get()) return {false, "refused by " + where};
    } catch (const std::future_error&) {  // dropped from a full queue, or the publisher went
        return {false, "dropped by " + where};
    }
    return {true, "sent on " + where + " to " + topic};
}

UploadResult TestMqttConnection(const MqttOptions& options, std::chrono::milliseconds timeout) {
    [[maybe_unused]] static const int initialised = mosquitto_lib_init();
    Answers answers;
    Mosquitto mosq(mosquitto_new(nullptr, true, &answers), &mosquitto_destroy);
    if (!mosq) return {false, "cannot create an MQTT client"};
    const UploadResult result =
        Connect(options, mosq.get(), answers, std::chrono::steady_clock::now() + timeout);
    mosquitto_disconnect(mosq.get());
    return result;
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
