// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutDialog.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>

#include "DialogBuilder.h"
#include "ResourceIds.h"

namespace {
// Below the version line, beside the icon and under OK: the folder the data
// log and report files go to (the working folder), shortened in the middle
// when it is long; the whole path is the tooltip.
constexpr ControlTemplate kDataFolderLine{
    kNoControlId, ControlKind::Text, "", 40, 28, 170, 8, ControlStyle::kNoPrefix};
}  // namespace

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
    const DialogBuilder builder(DialogTemplates::About());
    const BuiltDialog controls = builder.Build(this);
    connect(static_cast<QAbstractButton*>(controls.Control(CommandId::kOk)),
            &QAbstractButton::clicked, this, &QDialog::accept);

    const QString folder = DataFolderText();
    auto* line = new QLabel(this);
    line->setTextFormat(Qt::PlainText);
    line->setGeometry(builder.PixelRect(kDataFolderLine));
    line->setText(line->fontMetrics().elidedText(folder, Qt::ElideMiddle, line->width()));
    line->setToolTip(folder);
}

QString AboutDialog::DataFolderText() {
    return QStringLiteral("Data folder: %1").arg(QDir::toNativeSeparators(QDir::currentPath()));
}
