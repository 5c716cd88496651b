// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinkWatch.h"

LinkWatch::LinkWatch(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { Apply(link_.Tick()); });
}

void LinkWatch::SetStaleAfter(std::chrono::milliseconds staleAfter) {
    link_ = LinkState(staleAfter);
}

void LinkWatch::OnLinkChange(PortLink change, int port, const QString& device) {
    const std::string path = device.toStdString();
    switch (change) {
        case PortLink::Opened:
            return Apply(link_.Opened(port, path));
        case PortLink::OpenFailed:
            return Apply(link_.OpenFailed(port, path));
        case PortLink::Lost:
            return Apply(link_.Lost(port, path));
    }
}

void LinkWatch::Stop() {
    Apply(link_.Stopped());
}

void LinkWatch::OnRecord(const StationState&) {
    Apply(link_.RecordAccepted());
}

void LinkWatch::Apply(const std::string& message) {
    ArmTimer();
    if (!message.empty()) emit Changed();
}

// Records do not restart a running timer: when it fires early for them, the
// tick changes nothing and the timer is armed again for what is left.
void LinkWatch::ArmTimer() {
    const auto next = link_.UntilNextCheck();
    if (!next) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        timer_.start(*next);
    }
}
