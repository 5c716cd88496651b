// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "ChartSeries.h"
#include "ChartSurface.h"

// Strip chart: every Advance moves the picture 4 pixels to the left and draws,
// in the freed strip at the right edge, one segment per series from its
// previous to its current value, over a green grid on black.
//
// The picture is made at the first AddSeries, at the widget's size at that
// moment, and is never resized: give the widget its final size first. On a
// scaled screen each picture pixel covers a whole number of device pixels
// (PixelScale), so the grid lines stay equally wide.
class LineChartCtrl : public QWidget {
    Q_OBJECT

  public:
    // Pixels the picture moves per step.
    static constexpr int kStepWidth = 4;

    // Flips at every step of every chart in the process; a vertical grid line
    // is drawn at the steps that turn it true (the first, third, ...).
    static bool gridToggle;

    explicit LineChartCtrl(QWidget* parent = nullptr);
    ~LineChartCtrl() override;

    // Adds a series with the range lower..upper (upper comes first) and
    // current = previous = 0. The first call makes the picture and paints the
    // grid. False when memory ran out; the chart is then unchanged.
    bool AddSeries(const QColor& color, std::int32_t upper, std::int32_t lower);

    // Gives series `index` the value it plots at the next step, limited to its
    // range. Returns the value it replaces, or 0 (changing nothing) for an
    // index that names no series.
    std::int32_t SetSeriesValue(int index, std::int32_t value);

    // One step: DrawStep, then a repaint without erasing.
    void Advance();

    // The drawing half of Advance; does nothing before the first series.
    void DrawStep();

    int SeriesCount() const { return int(series.size()); }
    // Null for an index that names no series.
    const ChartSeries* Series(int index) const;
    // Null until the first AddSeries made the picture.
    const ChartSurface* Surface() const { return surface.get(); }

    // Device pixels per picture pixel at a device pixel ratio: the nearest
    // whole number, at least 1 (at 1.5 a plain scaling would make grid lines
    // alternate between 1 and 2 pixels).
    static int PixelScale(double devicePixelRatio);
    // The picture's size for a widget of `size` (in device-independent pixels).
    static QSize SurfaceSize(QSize size, double devicePixelRatio);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void EnsureSurface();
    // Where the picture lands, in the widget's coordinates.
    QRectF ImageRect() const;

    std::vector<ChartSeries> series;
    std::unique_ptr<ChartSurface> surface;
    QImage surfaceImage;  // shares the surface's memory
};
