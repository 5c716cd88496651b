// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>
#include <QObject>

class QWidget;

// Keeps a top-level window inside the free area of its screen: a size or
// place stored on a bigger screen, or a window made for 1x shown at 2x, is
// brought in as far as it fits. The window manager's frame is known only
// once it has framed the window, so the window is fitted again then.
class ScreenFit : public QObject {
    Q_OBJECT
  public:
    // Watches window (and is owned by it).
    explicit ScreenFit(QWidget* window);

    // Fits window now, frame included when it is known.
    static void Fit(QWidget* window);
    // Whether the window manager's frame around window is known.
    static bool Framed(const QWidget* window);
    // The window manager's frame around window; none before it is known.
    static QMargins FrameOf(const QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    bool framePending_ = true;
};
