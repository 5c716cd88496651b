// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QWidget>

class QTextBrowser;

// Shows the user guide that ships with the program. Made as a window of its
// own under the main window: the main window runs modally, which blocks every
// window that is not its child. Escape closes it like its close box.
class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    QTextBrowser* browser() const { return browser_; }

    // Shows and raises it; the first time beside `beside` (the main window's frame).
    void ShowBeside(const QRect& beside);

    // A rectangle of at most `wanted` on `screen` that does not overlap `beside`:
    // to its right if there is room, else to its left, else on the wider side.
    static QRect PlaceBeside(const QRect& beside, QSize wanted, const QRect& screen);
    // The same for a window with a frame of `frame` around it: the rectangle
    // inside the frame, with the frame (its title bar too) on the screen.
    static QRect PlaceBeside(const QRect& beside, QSize wanted, const QRect& screen,
                             const QMargins& frame);
    static QMargins FrameMargins(const QRect& frame, const QRect& inside);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QTextBrowser* browser_;
    bool placed_ = false;
};
