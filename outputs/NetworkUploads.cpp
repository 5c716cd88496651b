// SPDX-License-Identifier: GPL-3.0-or-later
#include "NetworkUploads.h"

#include <cerrno>
#include <cstring>

#include "AprsIsClient.h"
#include "CwopPacket.h"
#include "HttpUploadClient.h"
#include "SecretFile.h"
#include "StationPipeline.h"
#include "StationUploadQuery.h"

namespace {
UploadResult CannotRead(const std::string& what, const std::string& path, const std::string& why) {
    return {false, "cannot read the " + what + " '" + path + "': " + why};
}
}  // namespace

NetworkUploads::NetworkUploads(UploadOptions options, Reporter reporter, OutputFaultHook faults)
    : options_(std::move(options)), reporter_(std::move(reporter)), faults_(std::move(faults)) {}

NetworkUploads::~NetworkUploads() {
    Stop();
}

bool NetworkUploads::any() const {
    return !options_.cwop.id.empty() || !options_.wunderground.stationId.empty() ||
           !options_.pwsweather.stationId.empty();
}

bool NetworkUploads::CheckCwop() {
    const CwopOptions& cwop = options_.cwop;
    if (!cwop.havePosition) {
        reporter_("CWOP: the station's position (latitude and longitude) is not set");
        return false;
    }
    if (cwop.passcodeFile.empty() && !IsCwopId(cwop.id)) {
        reporter_("CWOP: '" + cwop.id + "' is no CWOP id; a call sign needs its passcode file");
        return false;
    }
    std::string problem;
    if (!cwop.passcodeFile.empty() && !ReadSecretFile(cwop.passcodeFile, &problem)) {
        reporter_("CWOP: cannot read the passcode file '" + cwop.passcodeFile + "': " + problem);
        return false;
    }
    return true;
}

bool NetworkUploads::CheckKeyFile(const std::string& network, const StationUploadOptions& station) {
    std::string problem;
    if (ReadSecretFile(station.keyFile, &problem)) return true;
    reporter_(network + ": cannot read the station key file '" + station.keyFile + "': " + problem);
    return false;
}

// A network that cannot work is reported and left out; the others start.
bool NetworkUploads::Start() {
    if (started_) return allStarted_;
    started_ = true;
    const CwopOptions& cwop = options_.cwop;
    const bool cwopOk = cwop.id.empty() || CheckCwop();
    if (!cwop.id.empty() && cwopOk) {
        const std::string version = options_.softwareVersion;
        workers_.push_back(std::make_unique<UploadWorker>(
            "CWOP", cwop.server, CwopTiming(cwop),
            [cwop, version](const WeatherObservation& o, const std::atomic<bool>& cancel) {
                // Read at every upload: a changed file needs no restart.
                std::optional<std::string> passcode = "-1";
                std::string problem;
                if (!cwop.passcodeFile.empty())
                    passcode = ReadSecretFile(cwop.passcodeFile, &problem);
                if (!passcode) return CannotRead("passcode file", cwop.passcodeFile, problem);
                AprsIsClient client(cwop.server, cwop.timing, cancel);
                return client.Send(AprsIsLogin(cwop.id, *passcode, version),
                                   CwopPacket(cwop.id, cwop.latitude, cwop.longitude, o),
                                   !IsCwopId(cwop.id));
            },
            reporter_, faults_));
    }
    const bool wundergroundOk =
        AddStationUpload("Weather Underground", options_.wunderground, false);
    const bool pwsweatherOk = AddStationUpload("PWSweather", options_.pwsweather, true);
    allStarted_ = cwopOk && wundergroundOk && pwsweatherOk;
    return allStarted_;
}

bool NetworkUploads::AddStationUpload(const std::string& network,
                                      const StationUploadOptions& station, bool anyOkReply) {
    if (station.stationId.empty()) return true;
    if (!CheckKeyFile(network, station)) return false;
    const std::string version = options_.softwareVersion;
    const std::string host =
        station.url.substr(0, station.url.find('/', station.url.find("//") + 2));
    workers_.push_back(std::make_unique<UploadWorker>(
        network, host, station.timing,
        [station, version, anyOkReply](const WeatherObservation& o,
                                       const std::atomic<bool>& cancel) {
            std::string problem;
            const std::optional<std::string> key = ReadSecretFile(station.keyFile, &problem);
            if (!key) return CannotRead("station key file", station.keyFile, problem);
            HttpUploadClient client(station.timing, cancel);
            const std::string query = StationUploadQuery(station.stationId, *key, o, version);
            return client.Get(station.url + "?" + query, anyOkReply,
                              {query, *key, UrlEncode(*key)});
        },
        reporter_, faults_));
    return true;
}

void NetworkUploads::Attach(StationPipeline& pipeline) {
    if (workers_.empty()) return;
    state_ = &pipeline.state();
    pipeline.AddLiveOutput(*this);
}

// On the processing thread, in the point's minute cycle: the state still
// holds the five minutes' gust and direction average.
void NetworkUploads::Write(const FivePointValues&) {
    if (burst_ || state_ == nullptr) return;
    const WeatherObservation observation = ObservationFromState(*state_, std::time(nullptr));
    for (const auto& worker : workers_) worker->Offer(observation);
}

void NetworkUploads::Detach(StationPipeline& pipeline) {
    pipeline.RemoveLiveOutput(*this);
    state_ = nullptr;
}

void NetworkUploads::Stop() {
    for (const auto& worker : workers_) worker->Stop();
}
