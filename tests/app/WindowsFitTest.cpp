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

template <typename T>
using Reply = std::unique_ptr<T, decltype(&free)>;

// A window as the X server has it, in device pixels: its own area, and the
// frame the window manager says it has put around it (_NET_FRAME_EXTENTS).
// Qt reads a frame once, and on a loaded machine that can be while the
// window manager is still making it: the server has the truth.
struct OnServer {
    QRect area;
    std::optional<QMargins> frame;
    QRect Outline() const { return area.marginsAdded(frame.value_or(QMargins())); }
};

OnServer ReadFromServer(const QWidget& window) {
    OnServer seen;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return seen;
    xcb_connection_t* c = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Reply<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr), free);
    if (!size) return seen;
    const Reply<xcb_translate_coordinates_reply_t> at(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, size->root, 0, 0),
                                        nullptr),
        free);
    if (!at) return seen;
    seen.area = QRect(at->dst_x, at->dst_y, size->width, size->height);
    const char name[] = "_NET_FRAME_EXTENTS";
    const Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr), free);
    if (!atom || atom->atom == XCB_ATOM_NONE) return seen;
    const Reply<xcb_get_property_reply_t> extents(
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, atom->atom, XCB_ATOM_CARDINAL, 0, 4),
                               nullptr),
        free);
    if (!extents || extents->format != 32 || xcb_get_property_value_length(extents.get()) != 16)
        return seen;
    const auto* edge = static_cast<const std::uint32_t*>(xcb_get_property_value(extents.get()));
    const QMargins frame(edge[0], edge[2], edge[1], edge[3]);  // stored left, right, top, bottom
    if (!frame.isNull()) seen.frame = frame;
    return seen;
}

// Whether the window manager has framed it: only then is its place final.
// A window manager on a loaded machine may take seconds to.
bool Framed(QWidget& window) {
    constexpr int kFramingMs = 30000;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window, kFramingMs)) return false;
    return QTest::qWaitFor([&] { return ReadFromServer(window).frame.has_value(); }, kFramingMs);
}

// The main window proves that a window manager runs; a dialog it has not
// framed within the time is still checked where it stands.
void ExpectInside(QWidget& window, const char* name, bool mustBeFramed = false) {
    const bool framed = Framed(window);
    if (mustBeFramed) {
        ASSERT_TRUE(framed) << name << ": no window manager framed it";
    }
    const QRect area = window.screen()->availableGeometry();
    const qreal scale = window.devicePixelRatioF();
    const QRect device(area.topLeft() * scale, area.size() * scale);
    // Once framed, a window that did not fit is brought inside.
    (void)QTest::qWaitFor([&] { return device.contains(ReadFromServer(window).Outline()); }, 2000);
    const QRect outline = ReadFromServer(window).Outline();
    EXPECT_TRUE(device.contains(outline))
        << name << " at " << outline.x() << "," << outline.y() << " " << outline.width() << "x"
        << outline.height() << " on " << device.width() << "x" << device.height()
        << " device pixels" << (window.isVisible() ? ", visible" : ", hidden")
        << (framed ? ", framed" : ", unframed");
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
