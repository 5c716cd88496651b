// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>

#include "PortConfig.h"
#include "ResourceIds.h"

namespace {

// Check box values as stored: 0 unchecked, 1 checked, 2 indeterminate.
Qt::CheckState CheckStateOf(int32_t value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int32_t ValueOf(Qt::CheckState state) {
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

}  // namespace

OptionsDialog::OptionsDialog(QWidget* owner) : QDialog(owner) {
    controls_ = DialogBuilder(DialogTemplates::Options()).Build(this);
    connect(static_cast<QAbstractButton*>(Control(CommandId::kOk)), &QAbstractButton::clicked, this,
            &QDialog::accept);
    connect(static_cast<QAbstractButton*>(Control(CommandId::kCancel)), &QAbstractButton::clicked,
            this, &QDialog::reject);
    deviceBox_ = static_cast<QComboBox*>(Control(OptionsId::kDevice));
    deviceBox_->setEnabled(false);
    connect(controls_.radioGroups.at(OptionsId::kComPort1), &QButtonGroup::idToggled, this,
            [this](int index, bool checked) {
                if (checked) ShowDevice(index);
            });
    connect(deviceBox_, &QComboBox::editTextChanged, this, &OptionsDialog::DeviceEdited);
}

void OptionsDialog::DescribePorts(const std::function<QString(int)>& deviceForPort) {
    for (int port = PortConfig::kFirstPort; port <= PortConfig::kLastPort; ++port)
        if (QWidget* button = Control(OptionsId::kComPort1 + port - PortConfig::kFirstPort))
            button->setToolTip(QStringLiteral("COM%1 opens %2").arg(port).arg(deviceForPort(port)));
    for (int port = 1; port <= 4; ++port) devices[port - 1] = deviceForPort(port);
}

void OptionsDialog::OfferDevices(const std::vector<std::string>& present) {
    const QString shown = deviceBox_->currentText();
    deviceBox_->clear();
    for (const std::string& device : present) deviceBox_->addItem(QString::fromStdString(device));
    deviceBox_->setEditText(shown);
}

void OptionsDialog::ShowDevice(int portIndex) {
    deviceBox_->setEnabled(true);
    deviceBox_->setEditText(devices[portIndex]);
}

void OptionsDialog::DeviceEdited(const QString& text) {
    const int index = controls_.radioGroups.at(OptionsId::kComPort1)->checkedId();
    if (index >= 0 && index < int(devices.size())) devices[index] = text;
}

void OptionsDialog::accept() {
    Exchange(false);
    QDialog::accept();
}

void OptionsDialog::showEvent(QShowEvent* event) {
    if (!exchangedIn_) {
        exchangedIn_ = true;
        Exchange(true);
    }
    QDialog::showEvent(event);
}

void OptionsDialog::Exchange(bool toControls) {
    // The template's exchange order: plot items 2, 4, 6, 1, 0, 5, the Com
    // buttons, item 3, Save Data.
    auto plotItem = [&](int item) {
        ExchangeCheck(OptionsId::kFirstPlotItem + item, processing.plotItemEnabled[item],
                      toControls);
    };
    for (int item : {2, 4, 6, 1, 0, 5}) plotItem(item);
    ExchangeRadio(OptionsId::kComPort1, comPortIndex, toControls);
    plotItem(3);
    ExchangeCheck(OptionsId::kSaveData, processing.saveData, toControls);
    ExchangeCheck(OptionsId::kMetric, processing.units.units, toControls);
    ExchangeCheck(OptionsId::kRainGaugeMillimetre, processing.units.rainGauge, toControls);
}

void OptionsDialog::ExchangeCheck(int id, int32_t& field, bool toControls) {
    auto* box = static_cast<QCheckBox*>(Control(id));
    if (!toControls) {
        field = ValueOf(box->checkState());
        return;
    }
    // A stored value that is not a check state shows as an unchecked box.
    if (field < 0 || field > 2) field = 0;
    box->setCheckState(CheckStateOf(field));
}

void OptionsDialog::ExchangeRadio(int firstId, int32_t& field, bool toControls) {
    QButtonGroup* group = controls_.radioGroups.at(firstId);
    if (!toControls) {
        field = group->checkedId();
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == field);
    group->setExclusive(true);
}
