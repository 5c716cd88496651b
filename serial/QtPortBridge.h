// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

#include "SerialPortOwner.h"

class SerialPort;

// Lives on the user-interface thread and stands in for the window as the
// serial port's owner: each call from the monitor thread is handed over to
// this object's thread with a blocking queued call, so the monitor thread
// waits until the handler has run there. Error reports go to the presenter on
// that thread without the monitor thread waiting for them: the presenter
// shows them and returns at once, so the port goes on while a box is open.
// Declare it before the SerialPort that uses it, so that it outlives the
// port's monitor thread.
class QtPortBridge : public QObject, public SerialPortOwner {
    Q_OBJECT
  public:
    using PortEventHandler = std::function<int(int eventParam, int port)>;
    using CharacterHandler = std::function<int(int character, int port)>;
    using ErrorPresenter = std::function<void(const QString& caption, const QString& text)>;
    using LinkHandler = std::function<void(PortLink change, int port, const QString& device)>;

    explicit QtPortBridge(CharacterHandler onCharacter, QObject* parent = nullptr);

    // Default: PortConfig::PortEventResult.
    void SetPortEventHandler(PortEventHandler handler) { onPortEvent_ = std::move(handler); }
    // Without a presenter a report only goes to the log.
    void SetErrorPresenter(ErrorPresenter presenter) { presentError_ = std::move(presenter); }
    // Told of each change of the port's link, on this object's thread.
    void SetLinkHandler(LinkHandler handler) { onLinkChange_ = std::move(handler); }

    // Read Weather Data: (re)opens COM portNumber with the instrument's line
    // settings and starts a monitor thread, whatever the open returned.
    // Called while a handed-over call is running on this thread (for example
    // from a button handled in a nested event pump), it is put off until that
    // call has returned, since the monitor thread cannot stop before then.
    void OpenAndMonitor(SerialPort& port, int portNumber);

    // True while a handed-over call runs on this object's thread.
    bool IsDelivering() const { return deliveryDepth_ > 0; }
    // Runs action now, or queued once no handed-over call is running.
    void RunOutsideHandOver(std::function<void()> action);

    // SerialPortOwner, called from the monitor thread (or this thread).
    int OnPortEvent(int eventParam, int port) override;
    int OnSerialCharacter(int character, int port) override;
    void ReportError(const std::string& caption, const std::string& text) override;
    void OnLinkChange(PortLink change, int port, const std::string& device) override;
    void ServeWhileStopping() override;

  private:
    int HandOver(const std::function<int()>& call);

    CharacterHandler onCharacter_;
    PortEventHandler onPortEvent_;
    ErrorPresenter presentError_;
    LinkHandler onLinkChange_;
    int deliveryDepth_ = 0;
    bool serving_ = false;
    std::atomic<int> stops_{0};  // turns of a stop served so far
};
