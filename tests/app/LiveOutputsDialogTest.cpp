// SPDX-License-Identifier: GPL-3.0-or-later
// "Live outputs..." from the window's menu: what OK stores and applies, and
// a Test against a server on 127.0.0.1; the station's identity in it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>

#include "AboutDialog.h"
#include "AlarmsPage.h"
#include "HttpProbe.h"
#include "JsonMember.h"
#include "LiveOutputsDialog.h"
#include "LoopbackServer.h"
#include "MosquittoBroker.h"
#include "MqttSubscriber.h"
#include "SettingsStore.h"
#include "StationIdentityPage.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

// Runs fill on the dialog once it is open (modal, in its own exec).
void WhenTheDialogOpens(std::function<void(LiveOutputsDialog&)> fill) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, fill] {
        auto* dialog = qobject_cast<LiveOutputsDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        poll->deleteLater();
        poll->stop();
        fill(*dialog);
    });
    poll->start(10);
}

// Right-clicks the window and picks the item; returns when what it opened is closed.
void ChooseFromTheMenu(StationWindow& window, const QString& item) {
    QTimer::singleShot(0, [item] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text() != item) continue;
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
            return;
        }
        menu->close();
        ADD_FAILURE() << "no " << item.toStdString() << " in the menu";
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            window.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&window, &event);
}

void Set(LiveOutputsDialog& dialog, const QString& field, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(field);
    ASSERT_NE(edit, nullptr) << field.toStdString();
    edit->setText(text);
}

void SwitchOn(LiveOutputsDialog& dialog, const QString& group) {
    dialog.findChild<QGroupBox*>(group)->setChecked(true);
}

void PressOk(LiveOutputsDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

struct FieldCase {
    QString field;  // the dialog's field
    QString text;   // typed into it
    QString key;    // where the settings file keeps it
};

// A record at station minute 14:41: no five-minute point, so nothing is uploaded.
const std::string kRecord =
    TestSupport::Record({100, 64, 453, 1234, 10132, 682, 870, 415, 99, 881, 12, 90});

TEST(LiveOutputsDialog, OkStoresTheFieldsAndStartsTheOutputsAtOnce) {
    TestSupport::IsolateTest();
    // Readable, so that MQTT can start; the key file is not, which leaves
    // only Weather Underground out.
    const QString passwordFile = QDir::current().filePath("mqtt.pw");
    const QString caFile = QDir::current().filePath("ca.pem");
    for (const QString& file : {passwordFile, caFile}) QFile(file).open(QIODevice::WriteOnly);
    QFile password(passwordFile);  // an empty secret file is refused
    if (password.open(QIODevice::WriteOnly)) password.write("secret\n");
    password.close();
    const std::vector<FieldCase> cases{
        {"mqttHost", "127.0.0.1", "Mqtt/Host"},
        {"mqttPort", "1884", "Mqtt/Port"},
        {"mqttStationId", "roof", "Mqtt/StationId"},
        {"mqttPrefix", "home/wx", "Mqtt/Prefix"},
        {"mqttUser", "me", "Mqtt/User"},
        {"mqttPasswordFile", passwordFile, "Mqtt/PasswordFile"},
        {"mqttCaFile", caFile, "Mqtt/CaFile"},
        {"cwopId", "CW1234", "Cwop/Id"},
        {"stationName", "Hilltop", "Station/Name"},
        {"stationLatitude", "49.058333", "Station/Latitude"},
        {"stationLongitude", "-72.029167", "Station/Longitude"},
        {"stationElevation", "312", "Station/Elevation"},
        {"cwopServer", "127.0.0.1:14580", "Cwop/Server"},
        {"cwopInterval", "900", "Cwop/Interval"},
        {"wundergroundStationId", "KTEST1", "Wunderground/StationId"},
        {"wundergroundKeyFile", "/etc/nimbulo/wu.key", "Wunderground/KeyFile"},
        {"wundergroundInterval", "600", "Wunderground/Interval"},
    };
    StationWindow window;
    QString refusal;
    WhenTheDialogOpens([&](LiveOutputsDialog& dialog) {
        for (const FieldCase& c : cases) Set(dialog, c.field, c.text);
        for (const char* group : {"mqtt", "cwop", "wunderground"}) SwitchOn(dialog, group);
        dialog.findChild<QCheckBox*>("wxnowJson")->setChecked(true);
        Set(dialog, "mqttPort", "70000");
        PressOk(dialog);
        refusal = dialog.findChild<QLabel*>("error")->text();
        Set(dialog, "mqttPort", "1884");
        PressOk(dialog);
    });
    ChooseFromTheMenu(window, "Live outputs...");

    EXPECT_EQ(refusal, "MQTT: the port must be a whole number from 1 to 65535.");
    QSettings stored(TestSupport::SettingsFile(), QSettings::IniFormat);
    for (const FieldCase& c : cases) {
        EXPECT_EQ(stored.value(c.key).toString(), c.text) << c.key.toStdString();
    }
    for (const char* key :
         {"Mqtt/Enabled", "Settings/WxnowJson", "Cwop/Enabled", "Wunderground/Enabled"}) {
        EXPECT_EQ(stored.value(key).toInt(), 1) << key;
    }
    EXPECT_EQ(stored.value("Pwsweather/Enabled").toInt(), 0);
    // Applied without a restart: wxnow.json follows the next record.
    EXPECT_TRUE(window.liveOutputs().wxnowOn());
    EXPECT_TRUE(window.liveOutputs().mqttOn());
    EXPECT_TRUE(window.liveOutputs().uploadsOn());
    window.pipeline().ProcessLine(kRecord.c_str());
    EXPECT_NE(TestSupport::ReadAll("wxnow.json").find("\"temperature_outdoor_f\""),
              std::string::npos);
}

// A key file that would hang an output (a FIFO) or give it an empty key (a
// folder, an empty file) is refused at OK, naming the field.
TEST(LiveOutputsDialog, RefusesAKeyFileThatIsNoRegularFileWithSomethingInIt) {
    TestSupport::IsolateTest();
    const QString fifo = QDir::current().filePath("wu.fifo");
    const QString empty = QDir::current().filePath("wu.empty");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QFile(empty).open(QIODevice::WriteOnly);
    const std::pair<QString, QString> cases[] = {
        {fifo, "a FIFO"}, {QDir::currentPath(), "a directory"}, {empty, "is empty"}};
    LiveOutputsDialog dialog(LiveOutputSettings{}, "9.9");
    SwitchOn(dialog, "wunderground");
    Set(dialog, "wundergroundStationId", "KTEST1");
    for (const auto& [file, why] : cases) {
        Set(dialog, "wundergroundKeyFile", file);
        PressOk(dialog);
        const QString error = dialog.ErrorText();
        EXPECT_TRUE(error.startsWith("Weather Underground: the station key file '" + file + "'"))
            << error.toStdString();
        EXPECT_TRUE(error.contains(why)) << error.toStdString();
        EXPECT_EQ(dialog.result(), 0) << "the dialog stays open";
    }
}

TEST(LiveOutputsDialog, CancelChangesNothing) {
    TestSupport::IsolateTest();
    TestSupport::Store("Mqtt/Host", "broker.example");
    StationWindow window;
    WhenTheDialogOpens([](LiveOutputsDialog& dialog) {
        Set(dialog, "mqttHost", "127.0.0.1");
        SwitchOn(dialog, "mqtt");
        dialog.reject();
    });
    ChooseFromTheMenu(window, "Live outputs...");
    QSettings stored(TestSupport::SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Mqtt/Host").toString(), "broker.example");
    EXPECT_FALSE(stored.contains("Mqtt/Enabled"));
    EXPECT_FALSE(window.liveOutputs().mqttOn());
}

// An APRS-IS server on 127.0.0.1 that records the login and answers it.
TEST(LiveOutputsDialog, TestLogsInToTheServerAndShowsItsAnswer) {
    TestSupport::IsolateTest();
    LoopbackServer server([](LoopbackServer& s, int fd) {
        LoopbackServer::Send(fd, "# aprsc test\r\n");
        s.Record(LoopbackServer::ReadLine(fd));
        LoopbackServer::Send(fd, "# logresp CW1234 unverified, server TEST\r\n");
        LoopbackServer::ReadLine(fd);
    });
    LiveOutputSettings settings;
    LiveOutputsDialog dialog(settings, "9.9");
    SwitchOn(dialog, "cwop");
    Set(dialog, "cwopId", "CW1234");
    Set(dialog, "stationLatitude", "49.0");
    Set(dialog, "stationLongitude", "-72.0");
    Set(dialog, "cwopServer", QString::fromStdString(server.address()));
    dialog.findChild<QPushButton*>("cwopTest")->click();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return dialog.TestAnswer("cwop").startsWith("Works"); }, 30000))
        << dialog.TestAnswer("cwop").toStdString();
    EXPECT_EQ(dialog.TestAnswer("cwop"), "Works: # logresp CW1234 unverified, server TEST");
    ASSERT_TRUE(server.WaitForRecords(1));
    EXPECT_EQ(server.records()[0], "user CW1234 pass -1 vers Nimbulo 9.9");
    // Shown whole, however narrow the dialog is made.
    dialog.ShowPage(3);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.resize(dialog.minimumSizeHint());
    QCoreApplication::processEvents();
    auto* answer = dialog.findChild<QLabel*>("cwopAnswer");
    EXPECT_GE(answer->height(), answer->heightForWidth(answer->width()));
}

// The first wrong field in the order shown is named, on its page; the message
// goes once the field is mended. Fields hold what they show whole, the
// position as it was typed; the dialog can be made smaller and larger.
TEST(LiveOutputsDialog, NamesTheFirstWrongFieldOnItsPageAndForgetsItOnceMended) {
    TestSupport::IsolateTest();
    LiveOutputSettings settings;
    settings.station.latitude = 42.6;
    settings.station.longitude = -71.25;
    LiveOutputsDialog dialog(settings, "9.9");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_NE(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("stationLatitude")->text(), "42.6");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("stationLongitude")->text(), "-71.25");
    auto* server = dialog.findChild<QLineEdit*>("cwopServer");
    server->setText("cwop.aprs.net:14580");
    constexpr int kStationPage = 0;
    constexpr int kCwopPage = 3;
    dialog.ShowPage(kCwopPage);
    QCoreApplication::processEvents();
    EXPECT_GT(server->width(), server->fontMetrics().horizontalAdvance(server->text()) + 8);

    SwitchOn(dialog, "cwop");
    Set(dialog, "cwopId", "CW1234");
    Set(dialog, "stationLatitude", "north");  // wrong, and before the empty longitude
    Set(dialog, "stationLongitude", "");
    PressOk(dialog);
    EXPECT_EQ(dialog.ErrorText(), "The latitude must be decimal degrees from -90 to 90.");
    EXPECT_EQ(dialog.CurrentPage(), kStationPage);
    auto* latitude = dialog.findChild<QLineEdit*>("stationLatitude");
    EXPECT_TRUE(QTest::qWaitFor([&] { return latitude->hasFocus(); }, 2000));
    latitude->selectAll();
    QTest::keyClicks(latitude, "42.6");
    EXPECT_EQ(dialog.ErrorText(), "The longitude is needed with the latitude.");
    EXPECT_TRUE(latitude->hasFocus()) << "the field being typed in keeps the focus";
    QTest::keyClicks(dialog.findChild<QLineEdit*>("stationLongitude"), "-71.25");
    EXPECT_EQ(dialog.ErrorText(), "");
    EXPECT_TRUE(dialog.isVisible());  // mending is no OK
}

// Each problem whole, and how many there are.
TEST(LiveOutputsDialog, ShowsHowManyOutputsHaveAProblemAndEachWhole) {
    TestSupport::IsolateTest();
    LiveOutputsDialog dialog(LiveOutputSettings{}, "9.9");
    const QStringList problems{
        "CWOP: cannot read the passcode file '/etc/nimbulo/passcode': No such file or directory",
        "Weather Underground: cannot read the station key file '/etc/nimbulo/wu.key': Permission "
        "denied"};
    dialog.ShowProblems(problems);
    EXPECT_EQ(dialog.ProblemsText(), "2 live outputs have a problem:\n" + problems.join('\n'));
    dialog.ShowProblems({});
    EXPECT_EQ(dialog.ProblemsText(), "");
}

}  // namespace

namespace {

// Two outputs that cannot start: both in the title's count, the tooltip and
// the About box, each whole; neither hides the other.
TEST(LiveOutputProblems, EveryProblemIsCountedInTheTitleAndShownWholeInTheAboutBox) {
    TestSupport::IsolateTest();
    TestSupport::Store("Cwop/Enabled", 1);
    TestSupport::Store("Cwop/Id", "CW1234");
    TestSupport::Store("Wunderground/Enabled", 1);
    TestSupport::Store("Wunderground/StationId", "KTEST1");
    TestSupport::Store("Wunderground/KeyFile", QDir::current().filePath("missing.key"));
    StationWindow window;
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.liveOutputProblems().size() == 2; }, 5000));
    EXPECT_TRUE(window.windowTitle().endsWith(" - 2 live outputs have a problem (see About)"))
        << window.windowTitle().toStdString();
    QString about;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        about = box->ProblemsText();
        box->accept();
    });
    window.ShowAbout();
    for (const auto& [output, message] : window.liveOutputProblems()) {
        EXPECT_TRUE(window.toolTip().contains(message)) << message.toStdString();
        EXPECT_TRUE(about.contains(message)) << message.toStdString();
    }
    EXPECT_TRUE(about.startsWith("2 live outputs have a problem:")) << about.toStdString();
    EXPECT_TRUE(about.contains("missing.key")) << about.toStdString();
}

// Each field alone wrong, in the form's order: the first wrong one is named.
// Latitude 120 is a longitude, not a latitude: swapped limits would take it.
TEST(StationIdentityPage, ReadNamesTheFirstWrongFieldOrFillsTheIdentity) {
    const struct {
        const char *latitude, *longitude, *elevation;
        const char* error;  // empty: read
    } cases[] = {
        {"120", "10", "", "The latitude must be decimal degrees from -90 to 90."},
        {"45", "120", "", ""},
        {"-90", "-180", "", ""},
        {"45", "-180.5", "", "The longitude must be decimal degrees from -180 to 180."},
        {"91", "200", "12x", "The latitude must be decimal degrees from -90 to 90."},
        {"north", "10", "", "The latitude must be decimal degrees from -90 to 90."},
        {"", "10", "", "The latitude is needed with the longitude."},
        {"45", "", "", "The longitude is needed with the latitude."},
        {"45", "10", "12x", "The elevation must be a number."},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        StationIdentityPage page(StationIdentity{});
        page.findChild<QLineEdit*>("stationLatitude")->setText(c.latitude);
        page.findChild<QLineEdit*>("stationLongitude")->setText(c.longitude);
        page.findChild<QLineEdit*>("stationElevation")->setText(c.elevation);
        StationIdentity read;
        read.name = "unchanged";
        QString error;
        EXPECT_EQ(page.Read(read, error), *c.error == 0) << c.latitude << " " << c.longitude;
        EXPECT_EQ(error.toStdString(), c.error) << c.latitude << " " << c.longitude;
        if (*c.error) {
            EXPECT_EQ(read.name, "unchanged");
        }
    }
    StationIdentity station;
    station.name = "Hilltop";
    station.latitude = -33.8688;
    station.longitude = 151.2093;
    station.elevation = 95.5;
    station.elevationUnit = StationIdentity::ElevationUnit::Metres;
    StationIdentityPage page(station);
    StationIdentity read;
    QString error;
    ASSERT_TRUE(page.Read(read, error)) << error.toStdString();
    EXPECT_EQ(read, station);
}

// A settings file from before [Station] has the position in [Cwop]: the
// dialog shows it, OK moves it, and CWOP sends it all along.
TEST(LiveOutputsDialog, TakesTheCwopPositionOfAnOlderFileIntoTheStation) {
    TestSupport::IsolateTest();
    TestSupport::Store("Cwop/Enabled", 1);
    TestSupport::Store("Cwop/Id", "CW1234");
    TestSupport::Store("Cwop/Latitude", 49.058333);
    TestSupport::Store("Cwop/Longitude", -72.029167);
    const UploadOptions before = SettingsStore().LoadUploadOptions();
    EXPECT_TRUE(before.cwop.havePosition);
    EXPECT_DOUBLE_EQ(before.cwop.latitude, 49.058333);
    StationWindow window;
    QString shown;
    WhenTheDialogOpens([&](LiveOutputsDialog& dialog) {
        shown = dialog.findChild<QLineEdit*>("stationLatitude")->text();
        Set(dialog, "stationElevation", "95");
        dialog.findChild<QComboBox*>("stationElevationUnit")->setCurrentText("m");
        PressOk(dialog);
    });
    ChooseFromTheMenu(window, "Live outputs...");
    EXPECT_EQ(shown, "49.058333");
    QSettings stored(TestSupport::SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Station/Latitude").toString(), "49.058333");
    EXPECT_EQ(stored.value("Station/ElevationUnit").toString(), "m");
    EXPECT_FALSE(stored.contains("Cwop/Latitude"));
    const UploadOptions after = SettingsStore().LoadUploadOptions();
    EXPECT_TRUE(after.cwop.havePosition);
    EXPECT_DOUBLE_EQ(after.cwop.longitude, -72.029167);
    const StationIdentity station = SettingsStore().LoadStationIdentity();
    EXPECT_EQ(station.elevation, 95.0);
    EXPECT_EQ(station.elevationUnit, StationIdentity::ElevationUnit::Metres);
}

}  // namespace

namespace {
// A port nobody listens on just now.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}
}  // namespace

// The web page's section: refused fields, then the [Web] keys stored and the
// page served by the window at once, with the next record on it.
TEST(LiveOutputsDialog, WebPageIsStoredAndServedAtOnce) {
    TestSupport::IsolateTest();
    const int port = FreePort();
    StationWindow window;
    QStringList refusals;
    WhenTheDialogOpens([&](LiveOutputsDialog& dialog) {
        SwitchOn(dialog, "web");
        const std::pair<const char*, const char*> bad[] = {{"localhost", "8080"},
                                                           {"127.0.0.1", "70000"}};
        for (const auto& [address, portText] : bad) {
            Set(dialog, "webAddress", address);
            Set(dialog, "webPort", portText);
            PressOk(dialog);
            refusals << dialog.findChild<QLabel*>("error")->text();
        }
        Set(dialog, "webAddress", "127.0.0.1");
        Set(dialog, "webPort", QString::number(port));
        PressOk(dialog);
    });
    ChooseFromTheMenu(window, "Live outputs...");

    EXPECT_EQ(
        refusals,
        QStringList({"The web page's address must be in numbers, such as 127.0.0.1 or 0.0.0.0.",
                     "The web page's port must be a whole number from 1 to 65535."}));
    QSettings stored(TestSupport::SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Web/Enabled").toInt(), 1);
    EXPECT_EQ(stored.value("Web/Address").toString(), "127.0.0.1");
    EXPECT_EQ(stored.value("Web/Port").toInt(), port);
    window.pipeline().ProcessLine(kRecord.c_str());
    const web_test::Reply reply = web_test::Fetch(port, "/api/current");
    EXPECT_EQ(reply.status, 200);
    EXPECT_NE(reply.body.find("\"temperature_outdoor_f\""), std::string::npos) << reply.body;
}

// The Alarms part: a wrong field named, the group stored, and a frost at
// once in the window's banner, which blocks nothing.
TEST(LiveOutputsDialog, AlarmsAreStoredAndAFrostShowsInTheWindowsBanner) {
    TestSupport::IsolateTest();
    StationWindow window;
    QString refusal;
    WhenTheDialogOpens([&](LiveOutputsDialog& dialog) {
        dialog.findChild<QCheckBox*>("alarmsOn")->setChecked(true);
        Set(dialog, "alarmTempLowF", "3O");
        Set(dialog, "alarmRepeatMinutes", "0");
        PressOk(dialog);
        refusal = dialog.findChild<QLabel*>("error")->text();
        Set(dialog, "alarmTempLowF", "32");
        Set(dialog, "alarmRepeatMinutes", "120");
        PressOk(dialog);
    });
    ChooseFromTheMenu(window, "Live outputs...");

    EXPECT_EQ(refusal,
              "Alarms: Repeat every (min): needs a whole number of minutes from 1 to 10080");
    QSettings stored(TestSupport::SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Alarms/Enabled").toInt(), 1);
    EXPECT_EQ(stored.value("Alarms/TempLowF").toString(), "32");
    EXPECT_EQ(stored.value("Alarms/RepeatMinutes").toString(), "120");
    EXPECT_EQ(stored.value("Alarms/GustHighMph").toString(), "");

    auto* banner = window.findChild<QLabel*>("alarmBanner");
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isHidden());
    const std::string frost =
        TestSupport::Record({100, 64, 315, 1234, 10132, 682, 870, 415, 99, 881, 12, 90});
    window.pipeline().ProcessLine(frost.c_str());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !banner->isHidden(); }, 5000));
    EXPECT_TRUE(banner->text().startsWith("Alarm: temp_low active since "))
        << banner->text().toStdString();
    EXPECT_TRUE(banner->text().endsWith(": 31.5 F"));
    EXPECT_TRUE(banner->testAttribute(Qt::WA_TransparentForMouseEvents));
}

// Test on the Alarms page answers for each way. On MQTT the notice goes out
// on the window's own connection when it runs to the broker the page names,
// else on a connection of the test's own.
TEST(LiveOutputsDialog, AlarmTestSaysForEachWayWhetherTheNoticeWentOutAndPutsItOnMqtt) {
    if (!MosquittoBroker::Installed()) GTEST_SKIP() << "mosquitto is not installed";
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start());
    const QString port = QString::number(broker.port());
    struct Case {
        bool running;     // MQTT on in the settings: the window runs a publisher
        QString command;  // the page's Command field
        QStringList lines;
    };
    const Case cases[] = {
        {true,
         "/bin/true",
         {"alarm command '/bin/true' for test ran (exit status 0)",
          "mail: not set (needs the SMTP server and Mail to)",
          "MQTT: test notice sent on the station's connection to 127.0.0.1:" + port +
              " to nimbulo/gui/alarm"}},
        {false,
         "/bin/false",
         {"alarm command '/bin/false' for test failed (exit status 1)",
          "mail: not set (needs the SMTP server and Mail to)",
          "MQTT: test notice sent to 127.0.0.1:" + port + " on nimbulo/gui/alarm, acknowledged"}},
    };
    for (const Case& c : cases) {
        TestSupport::IsolateTest();
        TestSupport::Store("Mqtt/Enabled", c.running ? 1 : 0);
        TestSupport::Store("Mqtt/Host", "127.0.0.1");
        TestSupport::Store("Mqtt/Port", broker.port());
        TestSupport::Store("Mqtt/StationId", "gui");
        MqttSubscriber subscriber(broker.port());
        ASSERT_TRUE(subscriber.Sync());
        StationWindow window;
        QStringList lines;
        WhenTheDialogOpens([&](LiveOutputsDialog& dialog) {
            SwitchOn(dialog, "mqtt");
            Set(dialog, "alarmCommand", c.command);
            dialog.findChild<QPushButton*>("alarmTest")->click();
            auto* page = dialog.findChild<AlarmsPage*>();
            // Until every way has answered.
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    lines = page->TestAnswer().split('\n');
                    return lines.size() == 4 && !page->TestAnswer().contains("...");
                },
                20000))
                << page->TestAnswer().toStdString();
            dialog.reject();
        });
        ChooseFromTheMenu(window, "Live outputs...");
        ASSERT_EQ(lines.size(), 4) << lines.join('\n').toStdString();
        EXPECT_EQ(lines.mid(0, 3).join('\n').toStdString(), c.lines.join('\n').toStdString());
        // With a notification service or without one: said either way.
        EXPECT_TRUE(lines[3].startsWith("desktop: ")) << lines[3].toStdString();
        const auto event = subscriber.WaitFor("nimbulo/gui/alarm");
        ASSERT_TRUE(event) << "running: " << c.running;
        EXPECT_EQ(JsonMember(event->payload, "alarm"), "test") << event->payload;
        EXPECT_EQ(JsonMember(event->payload, "state"), "test") << event->payload;
        EXPECT_FALSE(event->retained);
    }
}
