// SPDX-License-Identifier: GPL-3.0-or-later
// Every window on a laptop screen and at twice the scale, as a window manager
// places it: inside the free area of the screen with each button on it.
// Run on a virtual screen of a given size (on-screen.sh); the sizes are read
// from the real windows.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QtMath>
#include <QtTest/QTest>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "AboutDialog.h"
#include "Archive.h"
#include "HelpWindow.h"
#include "HistoryWindow.h"
#include "LiveOutputsDialog.h"
#include "OptionsDialog.h"
#include "SettingsStore.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

// The frame the window manager says it has put around window, from the
// window's _NET_FRAME_EXTENTS. Qt reads a frame once, and on a loaded machine
// that can be while the frame is still being made: the server has the truth.
std::optional<QMargins> FrameExtents(const QWidget& window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return std::nullopt;
    xcb_connection_t* c = x11->connection();
    const char name[] = "_NET_FRAME_EXTENTS";
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr), free);
    if (!atom || atom->atom == XCB_ATOM_NONE) return std::nullopt;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(c,
                               xcb_get_property(c, 0, static_cast<xcb_window_t>(window.winId()),
                                                atom->atom, XCB_ATOM_CARDINAL, 0, 4),
                               nullptr),
        free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    const auto* edge = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const qreal scale = window.devicePixelRatioF();
    const auto in = [scale](std::uint32_t pixels) { return qCeil(pixels / scale); };
    const QMargins frame(in(edge[0]), in(edge[2]), in(edge[1]), in(edge[3]));  // l, r, t, b
    if (frame.isNull()) return std::nullopt;
    return frame;
}

// Whether the window manager has framed it: only then is its place final.
bool Framed(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    return QTest::qWaitFor([&] { return FrameExtents(window).has_value(); }, 5000);
}

QRect Outline(const QWidget& window) {
    return window.geometry().marginsAdded(FrameExtents(window).value_or(QMargins()));
}

// The main window proves that a window manager runs; a dialog it has not
// framed within the time is still checked where it stands.
void ExpectInside(QWidget& window, const char* name, bool mustBeFramed = false) {
    const bool framed = Framed(window);
    if (mustBeFramed) {
        ASSERT_TRUE(framed) << name << ": no window manager framed it";
    }
    const QRect area = window.screen()->availableGeometry();
    // Once framed, a window that did not fit is brought inside.
    (void)QTest::qWaitFor([&] { return area.contains(Outline(window)); }, 2000);
    const QRect outline = Outline(window);
    EXPECT_TRUE(area.contains(outline))
        << name << " at " << outline.x() << "," << outline.y() << " " << outline.width() << "x"
        << outline.height() << " inside at y " << window.geometry().y() << " minimum "
        << window.minimumSizeHint().height() << " on " << area.width() << "x" << area.height()
        << (window.isVisible() ? ", visible" : ", hidden") << (framed ? ", framed" : ", unframed")
        << ", size " << window.size().width() << "x" << window.size().height();
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&window)) continue;
        // A button on a page that scrolls is reached by scrolling: its view must be on screen.
        const QWidget* shown = button;
        for (const QWidget* up = button->parentWidget(); up && up != &window;
             up = up->parentWidget())
            if (const auto* scroll = qobject_cast<const QScrollArea*>(up))
                shown = scroll->viewport();
        const QRect on(shown->mapToGlobal(QPoint(0, 0)), shown->size());
        EXPECT_TRUE(area.contains(on))
            << name << ": "
            << (button->text().isEmpty() ? button->toolTip() : button->text()).toStdString();
    }
}

class WindowsFit : public ::testing::Test {
  protected:
    void SetUp() override { TestSupport::IsolateTest(); }
};

TEST_F(WindowsFit, EveryWindowOpensInsideTheScreenWithEveryButtonOnIt) {
    StationWindow window;
    ExpectInside(window, "main window", true);
    OptionsDialog options(&window);
    ExpectInside(options, "Options");
    options.close();
    AboutDialog about(&window);
    about.ShowProblems({"MQTT: no connection to broker.example (Name or service not known)",
                        "Weather Underground: cannot read the station key file 'key'"});
    ExpectInside(about, "About");
    about.close();
    LiveOutputsDialog outputs(LiveOutputSettings{}, "2.0.0.1", &window);
    ExpectInside(outputs, "Live outputs");
    for (int page = 0; page < outputs.PageCount(); ++page) {
        outputs.ShowPage(page);
        ExpectInside(outputs, "Live outputs, a page");
    }
    outputs.close();
    window.ShowHelp();
    ASSERT_NE(window.helpWindow(), nullptr);
    ExpectInside(*window.helpWindow(), "Help");
}

// Stored on a big screen, far to the right and down: brought inside this one.
TEST_F(WindowsFit, HistoryStoredOnABiggerScreenOpensInsideThisOne) {
    Archive(std::filesystem::current_path() / Archive::kFileName, Archive::Access::Write);
    const HistoryWindowArgs args{
        std::filesystem::current_path() / Archive::kFileName, false, {}, [] {
            return SettingsStore().Open();
        }};
    {
        HistoryWindow first(args);  // never shown: it keeps the place given
        first.setGeometry(1500, 900, 2400, 1600);
        QSettings settings(TestSupport::SettingsFile(), QSettings::IniFormat);
        settings.setValue("History/Geometry", first.saveGeometry());
    }
    HistoryWindow again(args);
    ExpectInside(again, "History, stored on a bigger screen");
}

}  // namespace
