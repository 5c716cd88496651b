// SPDX-License-Identifier: GPL-3.0-or-later
#include "HelpWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "ResourceIds.h"

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setWindowTitle(QStringLiteral("Nimbulo Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl(QStringLiteral("qrc") + ResourcePath::HelpPage()));
    resize(560, 640);
}
