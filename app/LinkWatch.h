// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>

#include "LinkState.h"
#include "RecordListener.h"
#include "SerialPortOwner.h"

// The window's side of the link state: fed with the port's changes (through
// the bridge, on this thread) and with every record the pipeline takes. One
// single-shot timer runs only while records are expected, so that a quiet
// line or a missing device costs nothing. Changed() follows every change.
class LinkWatch : public QObject, public RecordListener {
    Q_OBJECT

  public:
    explicit LinkWatch(QObject* parent = nullptr);

    // Before reading starts: how long without a record makes the link silent.
    void SetStaleAfter(std::chrono::milliseconds staleAfter);
    void OnLinkChange(PortLink change, int port, const QString& device);
    void Stop();
    void OnRecord(const StationState& state) override;

    const LinkState& state() const { return link_; }

  signals:
    void Changed();

  private:
    void Apply(const std::string& message);
    void ArmTimer();

    LinkState link_;
    QTimer timer_;
};
