// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtPortBridge.h"

#include <QCoreApplication>
#include <QThread>

#include "PortConfig.h"
#include "SerialPort.h"

QtPortBridge::QtPortBridge(CharacterHandler onCharacter, QObject* parent)
    : QObject(parent),
      onCharacter_(std::move(onCharacter)),
      onPortEvent_([](int, int port) { return PortConfig::PortEventResult(port); }) {}

// A blocking queued call to our own thread would deadlock, so calls made on
// this thread (set-up failures during OpenPort) run directly.
int QtPortBridge::HandOver(const std::function<int()>& call) {
    auto deliver = [this, &call]() {
        ++deliveryDepth_;
        int result = call();
        --deliveryDepth_;
        return result;
    };
    if (QThread::currentThread() == thread()) return deliver();
    int result = 0;
    QMetaObject::invokeMethod(
        this, [&result, &deliver]() { result = deliver(); }, Qt::BlockingQueuedConnection);
    return result;
}

int QtPortBridge::OnPortEvent(int eventParam, int port) {
    return HandOver([this, eventParam, port] { return onPortEvent_(eventParam, port); });
}

int QtPortBridge::OnSerialCharacter(int character, int port) {
    return HandOver(
        [this, character, port] { return onCharacter_ ? onCharacter_(character, port) : 0; });
}

// A report is shown without holding up the monitor thread: it goes on
// retrying and reading while the box is open. One that only arrives while the
// port is being stopped belongs to the port being replaced and goes to the log.
void QtPortBridge::ReportError(const std::string& caption, const std::string& text) {
    auto present = [this, caption = QString::fromStdString(caption),
                    text = QString::fromStdString(text), posted = stops_.load()] {
        if (serving_ || posted != stops_ || !presentError_) {
            qWarning("%s", qPrintable(text));
        } else {
            presentError_(caption, text);
        }
    };
    if (QThread::currentThread() == thread())
        present();
    else
        QMetaObject::invokeMethod(this, std::move(present), Qt::QueuedConnection);
}

void QtPortBridge::OnLinkChange(PortLink change, int port, const std::string& device) {
    HandOver([this, change, port, &device] {
        if (onLinkChange_) onLinkChange_(change, port, QString::fromStdString(device));
        return 0;
    });
}

void QtPortBridge::ServeWhileStopping() {
    if (QThread::currentThread() != thread()) return;
    ++stops_;  // a report queued before now belongs to the port being stopped
    serving_ = true;
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    serving_ = false;
}

void QtPortBridge::RunOutsideHandOver(std::function<void()> action) {
    if (!IsDelivering()) {
        action();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, action = std::move(action)]() mutable { RunOutsideHandOver(std::move(action)); },
        Qt::QueuedConnection);
}

void QtPortBridge::OpenAndMonitor(SerialPort& port, int portNumber) {
    RunOutsideHandOver([this, &port, portNumber] {
        port.OpenPort(this, portNumber, PortConfig::InstrumentLine());
        ++stops_;  // what the old monitor thread still queued is of no port now
        port.StartMonitor();
    });
}
