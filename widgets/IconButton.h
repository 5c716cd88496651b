// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <cstdint>

class QPainter;

#include "ButtonHover.h"
#include "ButtonLook.h"

// Flat push button showing one of two icons and an optional caption. At rest
// it has no border; with the pointer over it it shows a raised one-pixel
// border, the active colours and the active icon; pressed, a sunken border and
// the active icon moved by (1, 1). It never draws a focus rectangle or a
// default-button frame; keyboard focus shows as a frame in the palette's
// highlighted-text colour, which stands out on the highlight-like blue.
class IconButton : public QAbstractButton {
    Q_OBJECT

  public:
    explicit IconButton(QWidget* parent = nullptr);
    ~IconButton() override;

    // `active` shows while the pointer is over the button or it is pressed,
    // `normal` otherwise; a null `normal` means `active` in every look. The
    // icon is laid out and drawn at width x height, each kept to its low 8
    // bits. Repaints at once.
    void SetIcon(const QIcon& active, const QIcon& normal, int width, int height);

    // Colour setters and resets: only repaint == 1 repaints, any other value
    // just stores the colour. Resets take the system's button face (background)
    // and button text (caption) colours.
    void SetBgNormal(const QColor& color, int repaint);
    void SetTextNormal(const QColor& color, int repaint);
    void SetBgActive(const QColor& color, int repaint);
    void SetTextActive(const QColor& color, int repaint);
    void ResetBgNormal(int repaint);
    void ResetTextNormal(int repaint);
    void ResetBgActive(int repaint);
    void ResetTextActive(int repaint);

    QColor BgNormal() const { return bgNormal; }
    QColor TextNormal() const { return textNormal; }
    QColor BgActive() const { return bgActive; }
    QColor TextActive() const { return textActive; }

    bool Hover() const { return tracker.Hover(); }
    int IconWidth() const { return iconWidth; }
    int IconHeight() const { return iconHeight; }
    // The look the next paint shows.
    ButtonLook CurrentLook() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void Apply(const HoverActions& actions);
    void StoreColor(QColor& slot, const QColor& color, int repaint);
    QColor SystemColor(QPalette::ColorRole role) const;

    void PaintFocusFrame(QPainter& painter, const ButtonLook& look);

    ButtonHover tracker;
    bool keyboardFocus = false;
    QIcon iconActive;
    QIcon iconNormal;
    std::uint8_t iconHeight = 0;
    std::uint8_t iconWidth = 0;
    QColor bgNormal;
    QColor textNormal;
    QColor bgActive;
    QColor textActive;
};
