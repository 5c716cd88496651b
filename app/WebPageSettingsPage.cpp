// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebPageSettingsPage.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

WebPageSettingsPage::WebPageSettingsPage(const WebSettings& settings, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    box_ = new QGroupBox("Web page", this);
    box_->setObjectName("web");
    box_->setCheckable(true);
    box_->setChecked(settings.enabled);
    auto* form = new QFormLayout(box_);
    address_ = new QLineEdit(QString::fromStdString(settings.address), box_);
    address_->setObjectName("webAddress");
    form->addRow("Address:", address_);
    port_ = new QLineEdit(QString::number(settings.port), box_);
    port_->setObjectName("webPort");
    form->addRow("Port:", port_);
    auto* note = new QLabel(
        "127.0.0.1 serves this computer only; 0.0.0.0 every network. For TLS and a "
        "password, put a reverse proxy in front.",
        box_);
    note->setWordWrap(true);
    form->addRow(note);
    layout->addWidget(box_);
}

bool WebPageSettingsPage::Read(WebSettings& out, QString& error) const {
    WebSettings read = out;
    read.enabled = box_->isChecked();
    const QString address = address_->text().trimmed();
    read.address = address.isEmpty() ? WebSettings::kDefaultAddress : address.toStdString();
    if (!IsNumericAddress(read.address)) {
        error = "The web page's address must be in numbers, such as 127.0.0.1 or 0.0.0.0.";
        address_->setFocus();
        return false;
    }
    bool ok = false;
    const int port = port_->text().trimmed().toInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        error = "The web page's port must be a whole number from 1 to 65535.";
        port_->setFocus();
        return false;
    }
    read.port = port;
    out = read;
    return true;
}
