// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <functional>
#include <map>
#include <vector>

#include "DialogTemplate.h"
#include "DialogUnits.h"

class QButtonGroup;
class QWidget;

// The widgets made from one template.
struct BuiltDialog {
    std::map<int, QWidget*> byId;              // controls that have an id
    std::vector<QWidget*> controls;            // every control, in template order
    std::map<int, QButtonGroup*> radioGroups;  // keyed by the id of the group's first button

    QWidget* Control(int id) const;
};

// Turns a dialog template into child widgets of a dialog: each control at its
// rectangle in pixels, with its text, look, visibility and tab order. A
// supplier may hand in the widget for a control (the main window's chart and
// icon buttons); every other control gets the Qt widget of its kind.
class DialogBuilder {
  public:
    using WidgetSupplier = std::function<QWidget*(const ControlTemplate&)>;

    explicit DialogBuilder(const DialogTemplate& dialogTemplate);

    const QFont& font() const { return font_; }
    const DialogUnits& units() const { return units_; }
    QRect PixelRect(const ControlTemplate& control) const;

    // Sets the dialog's caption, font and client size, then makes the controls.
    BuiltDialog Build(QWidget* dialog, const WidgetSupplier& supplier = {}) const;

    // Property under which every built control keeps its id.
    static const char* const kIdProperty;

  private:
    QWidget* MakeWidget(const ControlTemplate& control) const;
    void Place(QWidget* widget, const ControlTemplate& control) const;

    const DialogTemplate& template_;
    QFont font_;
    DialogUnits units_;
};
