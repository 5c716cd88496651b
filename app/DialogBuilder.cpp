// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogBuilder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "GroupFrame.h"
#include "ResourceIds.h"

const char* const DialogBuilder::kIdProperty = "controlId";

namespace {

bool Has(const ControlTemplate& control, uint32_t style) {
    return (control.style & style) != 0;
}

QLabel* MakeText(const ControlTemplate& control) {
    auto* label = new QLabel(QString::fromLatin1(control.text));
    label->setTextFormat(Qt::PlainText);
    const bool singleLine =
        Has(control, ControlStyle::kCenterImage | ControlStyle::kLeftNoWordWrap);
    label->setWordWrap(!singleLine);
    label->setAlignment(Qt::AlignLeft | (Has(control, ControlStyle::kCenterImage) ? Qt::AlignVCenter
                                                                                  : Qt::AlignTop));
    return label;
}

QLabel* MakePicture(const QPixmap& picture) {
    auto* label = new QLabel;
    label->setPixmap(picture);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// Breaks a check box caption onto more lines where it would not fit beside
// the box, as a multi-line button does.
QString WrapCaption(const QString& text, const QFontMetrics& metrics, int width) {
    const QStringList words = text.split(' ', Qt::SkipEmptyParts);
    QString wrapped;
    QString line;
    for (const QString& word : words) {
        const QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            wrapped += line + '\n';
            line = word;
        } else {
            line = candidate;
        }
    }
    return wrapped + line;
}

// A radio group is one tab stop, as in any dialog: Tab reaches the checked
// button (the first while none is) and the arrow keys move within the group.
void KeepOneTabStop(QButtonGroup* group) {
    QAbstractButton* stop = group->checkedButton();
    if (!stop && !group->buttons().isEmpty()) stop = group->buttons().front();
    for (QAbstractButton* button : group->buttons())
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

}  // namespace

QWidget* BuiltDialog::Control(int id) const {
    const auto found = byId.find(id);
    return found == byId.end() ? nullptr : found->second;
}

DialogBuilder::DialogBuilder(const DialogTemplate& dialogTemplate)
    : template_(dialogTemplate),
      font_(DialogUnits::DialogFont(dialogTemplate.fontFace, dialogTemplate.pointSize)),
      units_(font_) {}

QRect DialogBuilder::PixelRect(const ControlTemplate& control) const {
    return units_.ToPixels(control.x, control.y, control.width, control.height);
}

BuiltDialog DialogBuilder::Build(QWidget* dialog, const WidgetSupplier& supplier) const {
    dialog->setWindowTitle(QString::fromLatin1(template_.caption));
    dialog->setFont(font_);
    dialog->setFixedSize(units_.ToPixelsX(template_.width), units_.ToPixelsY(template_.height));

    BuiltDialog built;
    QWidget* lastTabStop = nullptr;
    QButtonGroup* radioGroup = nullptr;
    int radioGroupId = kNoControlId;
    for (const ControlTemplate& control : template_.controls) {
        QWidget* widget = supplier ? supplier(control) : nullptr;
        if (!widget) widget = MakeWidget(control);
        widget->setParent(dialog);
        Place(widget, control);

        if (Has(control, ControlStyle::kGroup) || control.kind != ControlKind::RadioButton)
            radioGroup = nullptr;
        if (control.kind == ControlKind::RadioButton) {
            if (!radioGroup) {
                radioGroup = new QButtonGroup(dialog);
                radioGroupId = control.id;
                built.radioGroups[radioGroupId] = radioGroup;
                QObject::connect(radioGroup, &QButtonGroup::buttonToggled, radioGroup,
                                 [radioGroup] { KeepOneTabStop(radioGroup); });
            }
            auto* button = static_cast<QAbstractButton*>(widget);
            radioGroup->addButton(button, static_cast<int>(radioGroup->buttons().size()));
            KeepOneTabStop(radioGroup);
        }
        if (Has(control, ControlStyle::kTabStop) || control.kind == ControlKind::RadioButton) {
            if (lastTabStop) QWidget::setTabOrder(lastTabStop, widget);
            lastTabStop = widget;
        }
        if (control.id != kNoControlId) built.byId[control.id] = widget;
        built.controls.push_back(widget);
    }
    // Frames are drawn behind the controls they surround, whatever their place in the template.
    for (QWidget* widget : built.controls)
        if (qobject_cast<GroupFrame*>(widget)) widget->lower();
    return built;
}

QWidget* DialogBuilder::MakeWidget(const ControlTemplate& control) const {
    const QString text = QString::fromLatin1(control.text);
    switch (control.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text);
            button->setAutoDefault(false);
            button->setDefault(Has(control, ControlStyle::kDefault));
            return button;
        }
        case ControlKind::GroupBox: {
            return new GroupFrame(text);
        }
        case ControlKind::Text:
            return MakeText(control);
        case ControlKind::BitmapStatic:
            return MakePicture(ResourcePicture(ResourcePath::Compass(text)));
        case ControlKind::IconStatic:
            return MakePicture(ResourcePicture(ResourcePath::Icon(text.toInt())));
        case ControlKind::RadioButton:
            return new QRadioButton(text);
        case ControlKind::CheckBox:
            return new QCheckBox(text);
        case ControlKind::ComboBox: {
            auto* box = new QComboBox;
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            return box;
        }
        case ControlKind::Custom:
            break;
    }
    return new QWidget;
}

void DialogBuilder::Place(QWidget* widget, const ControlTemplate& control) const {
    widget->setObjectName(control.id == kNoControlId ? QString()
                                                     : QStringLiteral("control%1").arg(control.id));
    widget->setProperty(kIdProperty, control.id);
    QRect rect = PixelRect(control);
    const auto* picture = qobject_cast<QLabel*>(widget);
    const bool sizesItself =
        control.kind == ControlKind::BitmapStatic || control.kind == ControlKind::IconStatic;
    if (sizesItself && picture && !picture->pixmap().isNull())
        rect.setSize(picture->pixmap().deviceIndependentSize().toSize());
    widget->setGeometry(rect);

    if (Has(control, ControlStyle::kMultiline))
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            const QStyle* style = box->style();
            const int beside = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
            box->setText(WrapCaption(box->text(), QFontMetrics(font_), rect.width() - beside));
        }

    const bool canFocus =
        qobject_cast<QAbstractButton*>(widget) || control.kind == ControlKind::Custom;
    if (Has(control, ControlStyle::kTabStop))
        widget->setFocusPolicy(Qt::StrongFocus);
    else
        widget->setFocusPolicy(canFocus ? Qt::ClickFocus : Qt::NoFocus);
    if (Has(control, ControlStyle::kHidden)) widget->setVisible(false);
}
