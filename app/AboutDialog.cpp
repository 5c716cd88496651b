// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutDialog.h"

#include <QAbstractButton>

#include "DialogBuilder.h"
#include "ResourceIds.h"

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
    const BuiltDialog controls = DialogBuilder(DialogTemplates::About()).Build(this);
    connect(static_cast<QAbstractButton*>(controls.Control(CommandId::kOk)),
            &QAbstractButton::clicked, this, &QDialog::accept);
}
