// SPDX-License-Identifier: GPL-3.0-or-later
#include "LiveOutputs.h"

#include <utility>

#include "StationPipeline.h"

LiveOutputs::LiveOutputs(MqttOptions mqtt, bool wxnow, Reporter reporter,
                         std::filesystem::path wxnowFile, UploadOptions uploads,
                         OutputFaultHook faults) {
    auto networks = std::make_unique<NetworkUploads>(std::move(uploads), reporter, faults);
    if (networks->any()) uploads_ = std::move(networks);
    if (!mqtt.host.empty())
        publisher_ = std::make_unique<MqttPublisher>(std::move(mqtt), std::move(reporter),
                                                     std::move(faults));
    if (wxnow) wxnow_ = std::make_unique<WxnowJsonWriter>(std::move(wxnowFile));
}

// The publisher's own destructor stops it too; this keeps the order: the
// last wxnow.json is written before the broker hears "offline".
LiveOutputs::~LiveOutputs() {
    Stop();
}

// An output whose settings cannot work is left out (and reported by it), so
// one bad setting never switches the others off.
bool LiveOutputs::Start() {
    const bool uploadsOk = uploads_ == nullptr || uploads_->Start();
    const bool mqttOk = publisher_ == nullptr || publisher_->Start();
    if (!mqttOk) publisher_.reset();
    return uploadsOk && mqttOk;
}

void LiveOutputs::Attach(StationPipeline& pipeline) {
    if (publisher_) {
        pipeline.AddRecordListener(*publisher_);
        pipeline.AddLiveOutput(*publisher_);
    }
    if (wxnow_) pipeline.AddRecordListener(*wxnow_);
    if (uploads_) uploads_->Attach(pipeline);
}

void LiveOutputs::Detach(StationPipeline& pipeline) {
    if (publisher_) {
        pipeline.RemoveRecordListener(*publisher_);
        pipeline.RemoveLiveOutput(*publisher_);
    }
    if (wxnow_) pipeline.RemoveRecordListener(*wxnow_);
    if (uploads_) uploads_->Detach(pipeline);
}

void LiveOutputs::Stop() {
    if (wxnow_) wxnow_->Flush();
    if (publisher_) publisher_->Stop();
    if (uploads_) uploads_->Stop();
}

void LiveOutputs::SetLinkAvailable(bool available) {
    if (publisher_) publisher_->SetAvailable(available);
}

std::size_t LiveOutputs::WaitForSummaries(std::chrono::steady_clock::duration limit) {
    return publisher_ ? publisher_->WaitForSummaries(limit) : 0;
}
