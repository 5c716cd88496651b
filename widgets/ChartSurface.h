// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

// The strip chart's picture: a width x height buffer of 32-bit pixels in the
// layout 0xFFRRGGBB, so a QImage (Format_RGB32) can show the same memory
// without conversion. It offers only what the chart draws with: a shift to the
// left, the green-on-black grid fill and a one-pixel line.
class ChartSurface {
  public:
    using Pixel = std::uint32_t;

    enum class Hatch {
        Cross,       // horizontal and vertical grid lines
        Horizontal,  // horizontal grid lines only, on the same rows as Cross
    };

    static constexpr Pixel Rgb(int red, int green, int blue) {
        return 0xFF000000u | (Pixel(red & 0xFF) << 16) | (Pixel(green & 0xFF) << 8) |
               Pixel(blue & 0xFF);
    }

    static constexpr Pixel kBackground = 0xFF000000u;  // black
    static constexpr Pixel kGrid = 0xFF008000u;        // green (0, 128, 0)
    // Grid lines sit on the rows and columns whose coordinate is a multiple of
    // the period, counted from the buffer's origin.
    static constexpr int kGridPeriod = 8;

    // A negative size counts as 0. Throws std::bad_alloc when the memory is not there.
    ChartSurface(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }
    int BytesPerLine() const { return width * int(sizeof(Pixel)); }
    const Pixel* Data() const { return pixels.data(); }
    Pixel At(int x, int y) const { return pixels[Index(x, y)]; }

    // Moves the picture `columns` pixels to the left; the rightmost `columns`
    // columns keep what they had, for the caller to draw over.
    void ShiftLeft(int columns);

    // Fills the rectangle [left, right) x [top, bottom), clipped to the buffer,
    // with the grid pattern in kGrid on kBackground.
    void FillHatch(int left, int top, int right, int bottom, Hatch hatch);

    // Draws a one-pixel line from (x0, y0) towards (x1, y1), the end point
    // itself left out, clipped to the buffer.
    void DrawLine(int x0, int y0, int x1, int y1, Pixel colour);

  private:
    std::size_t Index(int x, int y) const {
        return std::size_t(y) * std::size_t(width) + std::size_t(x);
    }

    int width;
    int height;
    std::vector<Pixel> pixels;
};
