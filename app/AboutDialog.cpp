// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutDialog.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <algorithm>

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

void AboutDialog::ShowProblems(const QStringList& problems) {
    if (problems.isEmpty()) return;
    if (!problems_) {
        problems_ = new QLabel(this);
        problems_->setObjectName("problems");
        problems_->setTextFormat(Qt::PlainText);
        problems_->setWordWrap(true);
        problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    const QString head = problems.size() == 1
                             ? tr("1 live output has a problem:")
                             : tr("%1 live outputs have a problem:").arg(problems.size());
    problems_->setText(head + "\n" + problems.join('\n'));
    const int margin = fontMetrics().height() / 2;
    const int wide = std::max(width(), 480);
    problems_->setGeometry(margin, height(), wide - 2 * margin,
                           problems_->heightForWidth(wide - 2 * margin));
    setFixedSize(wide, height() + problems_->height() + margin);
    problems_->show();
}

QString AboutDialog::ProblemsText() const {
    return problems_ ? problems_->text() : QString();
}

QString AboutDialog::DataFolderText() {
    return QStringLiteral("Data folder: %1").arg(QDir::toNativeSeparators(QDir::currentPath()));
}
