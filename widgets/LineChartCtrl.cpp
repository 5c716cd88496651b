// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineChartCtrl.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <new>

bool LineChartCtrl::gridToggle = false;

namespace {

// Shows where the chart has no picture yet, as the dialog's light grey.
const QColor kEmptyBackground(192, 192, 192);

ChartSurface::Pixel ToPixel(const QColor& color) {
    return ChartSurface::Rgb(color.red(), color.green(), color.blue());
}

}  // namespace

LineChartCtrl::LineChartCtrl(QWidget* parent) : QWidget(parent) {
    // paintEvent covers every pixel itself, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

LineChartCtrl::~LineChartCtrl() = default;

bool LineChartCtrl::AddSeries(const QColor& color, std::int32_t upper, std::int32_t lower) {
    ChartSeries added;
    added.color = ToPixel(color);
    added.upperBound = upper;
    added.lowerBound = lower;
    try {
        series.push_back(added);
    } catch (const std::bad_alloc&) {
        return false;  // push_back left the list as it was
    }
    EnsureSurface();
    return true;
}

void LineChartCtrl::EnsureSurface() {
    // An empty widget gets no picture yet, so that a later AddSeries at a real
    // size can still make one instead of fixing the chart at nothing.
    const QSize pictureSize = SurfaceSize(size(), devicePixelRatioF());
    if (!surface && pictureSize.width() > 0 && pictureSize.height() > 0) {
        try {
            auto made = std::make_unique<ChartSurface>(pictureSize.width(), pictureSize.height());
            made->FillHatch(0, 0, made->Width(), made->Height(), ChartSurface::Hatch::Cross);
            surfaceImage = QImage(reinterpret_cast<const uchar*>(made->Data()), made->Width(),
                                  made->Height(), made->BytesPerLine(), QImage::Format_RGB32);
            surface = std::move(made);
        } catch (const std::bad_alloc&) {
            // The chart stays blank; the next AddSeries tries again.
        }
    }
    update();
}

const ChartSeries* LineChartCtrl::Series(int index) const {
    if (index < 0 || index >= SeriesCount()) {
        return nullptr;
    }
    return &series[std::size_t(index)];
}

std::int32_t LineChartCtrl::SetSeriesValue(int index, std::int32_t value) {
    if (index < 0 || index >= SeriesCount()) {
        return 0;
    }
    ChartSeries& target = series[std::size_t(index)];
    // Upper limit first, then lower, so a reversed range ends at the lower bound.
    value = std::min(value, target.upperBound);
    value = std::max(value, target.lowerBound);
    const std::int32_t old = target.current;
    target.previous = old;
    target.current = value;
    return old;
}

void LineChartCtrl::Advance() {
    DrawStep();
    update();
}

void LineChartCtrl::DrawStep() {
    if (!surface) {
        return;
    }
    const int right = surface->Width();
    const int bottom = surface->Height();
    surface->ShiftLeft(kStepWidth);
    surface->FillHatch(right - kStepWidth, 0, right, bottom, ChartSurface::Hatch::Horizontal);

    gridToggle = !gridToggle;
    if (gridToggle) {
        surface->DrawLine(right - 2, 0, right - 2, bottom, ChartSurface::kGrid);
    }

    for (const ChartSeries& line : series) {
        if (!line.Drawable()) {
            continue;
        }
        surface->DrawLine(right - 5, line.RowOf(line.previous, bottom), right - 1,
                          line.RowOf(line.current, bottom), line.color);
    }
}

int LineChartCtrl::PixelScale(double devicePixelRatio) {
    return std::max(1, int(std::lround(devicePixelRatio)));
}

QSize LineChartCtrl::SurfaceSize(QSize size, double devicePixelRatio) {
    const double perPixel = devicePixelRatio / PixelScale(devicePixelRatio);
    return QSize(int(std::ceil(size.width() * perPixel)), int(std::ceil(size.height() * perPixel)));
}

QRectF LineChartCtrl::ImageRect() const {
    const double dpr = devicePixelRatioF();
    const double size = PixelScale(dpr) / dpr;
    return QRectF(0, 0, surfaceImage.width() * size, surfaceImage.height() * size);
}

void LineChartCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!surface) {
        painter.fillRect(event->rect(), kEmptyBackground);
        return;
    }
    // Without smoothing: each picture pixel becomes a square of whole device pixels.
    const QRectF target = ImageRect();
    painter.drawImage(target, surfaceImage);
    // Only a widget grown after the picture was made has area beyond it.
    const QRegion beyond = QRegion(event->rect()) - QRegion(target.toAlignedRect());
    for (const QRect& part : beyond) {
        painter.fillRect(part, kEmptyBackground);
    }
}
