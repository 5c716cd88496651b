// SPDX-License-Identifier: GPL-3.0-or-later
// widget-sheet: draws the strip chart after 200 steps of three sine-like
// series, and the icon button in its five looks, into PNG files for a person
// to look at.
//
//   widget-sheet [output-folder]     writes chart.png and buttons.png
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "IconButton.h"
#include "LineChartCtrl.h"

namespace {

constexpr int kSteps = 200;

// The main window's chart: 300 x 48 dialog units at 1.5 x 1.625 pixels each.
constexpr int kChartWidth = 450;
constexpr int kChartHeight = 78;

QImage DrawChart() {
    LineChartCtrl chart;
    chart.resize(kChartWidth, kChartHeight);
    chart.AddSeries(QColor(255, 0, 0), 100, 0);
    chart.AddSeries(QColor(0, 255, 0), 100, 0);
    chart.AddSeries(QColor(0, 255, 255), 100, 0);
    for (int step = 0; step < kSteps; ++step) {
        const double t = 2.0 * M_PI * step;
        chart.SetSeriesValue(0, int(50 + 40 * std::sin(t / 60)));
        chart.SetSeriesValue(1, int(55 + 30 * std::sin(t / 45 + 1)));
        chart.SetSeriesValue(2, int(50 + 48 * std::cos(t / 90)));
        chart.Advance();
    }
    return chart.grab().toImage();
}

// A round 32 x 32 picture on a transparent ground.
QIcon RoundIcon(const QColor& fill, const QColor& rim) {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(rim, 2));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(5, 5, 22, 22));
    painter.setPen(QPen(rim, 3));
    painter.drawLine(QPointF(16, 10), QPointF(16, 22));
    return QIcon(picture);
}

struct Look {
    const char* name;
    bool hover;
    bool pressed;
    bool disabled;
};

const Look kLooks[] = {
    {"normal", false, false, false},         {"hover", true, false, false},
    {"pressed", true, true, false},          {"disabled", false, false, true},
    {"disabled + hover", true, false, true},
};

QImage RenderButton(const Look& look, const std::function<void(IconButton&)>& setUp) {
    IconButton button;
    setUp(button);
    button.setEnabled(!look.disabled);
    if (look.hover) {
        const QPointF inside(button.width() / 2.0, button.height() / 2.0);
        QEnterEvent enter(inside, inside, inside);
        QCoreApplication::sendEvent(&button, &enter);
    }
    button.setDown(look.pressed);
    return button.grab().toImage();
}

QImage DrawButtonSheet() {
    constexpr int kScale = 3;  // every pixel of the border stays visible
    constexpr int kColumnWidth = 90 * kScale + 30;
    constexpr int kRowHeight = 36 * kScale + 30;
    QImage sheet(5 * kColumnWidth, 30 + 2 * kRowHeight, QImage::Format_RGB32);
    sheet.fill(QColor(212, 208, 200));
    QPainter painter(&sheet);
    painter.setPen(Qt::black);

    const QIcon activeIcon = RoundIcon(QColor(255, 220, 0), QColor(200, 80, 0));
    const QIcon normalIcon = RoundIcon(QColor(200, 200, 200), QColor(90, 90, 90));
    const std::function<void(IconButton&)> rows[] = {
        // As the main window sets its five buttons up: no caption, all blue.
        [&](IconButton& b) {
            b.resize(40, 36);
            b.SetIcon(activeIcon, normalIcon, 32, 32);
            for (auto set : {&IconButton::SetBgNormal, &IconButton::SetBgActive,
                             &IconButton::SetTextNormal, &IconButton::SetTextActive}) {
                (b.*set)(QColor(0, 0, 255), 0);
            }
        },
        // With a caption, in the system's button colours.
        [&](IconButton& b) {
            b.resize(90, 36);
            b.setText("&Read");
            b.SetIcon(activeIcon, normalIcon, 16, 16);
        },
    };

    for (int column = 0; column < 5; ++column) {
        painter.drawText(QRect(column * kColumnWidth, 5, kColumnWidth, 20), Qt::AlignCenter,
                         kLooks[column].name);
        for (int row = 0; row < 2; ++row) {
            const QImage button = RenderButton(kLooks[column], rows[row]);
            const QImage big = button.scaled(button.size() * kScale);
            const int x = column * kColumnWidth + (kColumnWidth - big.width()) / 2;
            const int y = 30 + row * kRowHeight + (kRowHeight - big.height()) / 2;
            painter.drawImage(x, y, big);
        }
    }
    return sheet;
}

bool Save(const QImage& image, const QString& path) {
    if (!image.save(path)) {
        std::fprintf(stderr, "widget-sheet: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%d x %d)\n", qPrintable(path), image.width(), image.height());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    const bool chartSaved = Save(DrawChart(), folder.filePath("chart.png"));
    const bool buttonsSaved = Save(DrawButtonSheet(), folder.filePath("buttons.png"));
    return chartSaved && buttonsSaved ? 0 : 1;
}
