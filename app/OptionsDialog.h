// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "DialogBuilder.h"
#include "ProcessingOptions.h"

// Com port, plotted items and Save Data. The fields are copied to the
// controls when the dialog opens and back from them only when the user
// presses OK; a check box value is its state (0, 1 or 2), comPortIndex the
// index of the checked Com button (-1 when none is).
class QComboBox;

class OptionsDialog : public QDialog {
    Q_OBJECT

  public:
    explicit OptionsDialog(QWidget* owner = nullptr);

    int32_t comPortIndex = 0;
    ProcessingOptions processing;

    // The device each Com port opens, COM1 first; the device box edits the
    // entry of the checked port. Read back after OK.
    std::array<QString, 4> devices;

    // Shows, in each Com button's tooltip, the device that port opens, and
    // takes those devices into `devices`.
    void DescribePorts(const std::function<QString(int comPort)>& deviceForPort);
    // The devices the box lists to pick from.
    void OfferDevices(const std::vector<std::string>& present);

    QWidget* Control(int id) const { return controls_.Control(id); }

  public slots:
    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Runs the exchange in field order; toControls sets the controls from the fields.
    void Exchange(bool toControls);
    void ExchangeCheck(int id, int32_t& field, bool toControls);
    void ExchangeRadio(int firstId, int32_t& field, bool toControls);
    void ShowDevice(int portIndex);
    void DeviceEdited(const QString& text);

    BuiltDialog controls_;
    QComboBox* deviceBox_ = nullptr;
    bool exchangedIn_ = false;
};
