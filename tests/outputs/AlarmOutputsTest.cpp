// SPDX-License-Identifier: GPL-3.0-or-later
// The alarms on MQTT (a real mosquitto) and by mail (Debian's aiosmtpd, or a
// server that never answers), all on 127.0.0.1.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "AlarmMqtt.h"
#include "AlarmSet.h"
#include "LoopbackServer.h"
#include "MailNotifier.h"
#include "MosquittoBroker.h"
#include "MqttPublisher.h"
#include "MqttSubscriber.h"

namespace {
using namespace std::chrono_literals;
namespace fs = std::filesystem;

AlarmSet::Clock FixedClock() {
    return {[] { return AlarmSet::Duration(0); }, [] { return std::time_t(1'800'000'000); }};
}

StationState Frost() {
    StationState s;
    s.tempOutdoor = 31.5;
    return s;
}

bool Eventually(const std::function<bool()>& done) {
    for (auto until = std::chrono::steady_clock::now() + 20s; !done();
         std::this_thread::sleep_for(20ms)) {
        if (std::chrono::steady_clock::now() > until) return false;
    }
    return true;
}

TEST(AlarmMqtt, KeepsEveryAlarmRetainedSendsEachChangeAndAnnouncesABinarySensorPerAlarm) {
    if (!MosquittoBroker::Installed()) GTEST_SKIP() << "mosquitto is not installed";
    MosquittoBroker broker;
    ASSERT_TRUE(broker.Start());
    MqttOptions options;
    options.host = "127.0.0.1";
    options.port = broker.port();
    options.stationId = "hill";
    MqttPublisher publisher(options, [](const std::string&) {});
    ASSERT_TRUE(publisher.Start());
    AlarmSettings settings;
    settings.tempLowF = 32;
    AlarmSet alarms(settings, FixedClock());
    AlarmMqtt mqtt(options, publisher, alarms);
    mqtt.Start();
    alarms.AddNotifier(mqtt);
    MqttSubscriber early(broker.port());
    ASSERT_TRUE(early.Sync());
    alarms.OnRecord(Frost());
    const auto event = early.WaitFor("nimbulo/hill/alarm");
    ASSERT_TRUE(event);
    EXPECT_NE(event->payload.find(R"("alarm":"temp_low","state":"active","value":31.5,"unit":"F")"),
              std::string::npos)
        << event->payload;

    // One who comes later finds the state and the sensors kept by the broker.
    MqttSubscriber late(broker.port());
    const auto state = late.WaitFor("nimbulo/hill/alarms", [](const MqttSubscriber::Message& m) {
        return m.payload.find(R"("temp_low":{"active":true)") != std::string::npos;
    });
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->retained);
    EXPECT_NE(
        state->payload.find(R"("silent":{"active":false,"value":null,"unit":"min","since":null})"),
        std::string::npos)
        << state->payload;
    for (const std::string& name : AlarmSet::Names()) {
        const auto config =
            late.WaitFor("homeassistant/binary_sensor/nimbulo_hill_alarm_" + name + "/config");
        ASSERT_TRUE(config) << name;
        EXPECT_TRUE(config->retained);
        EXPECT_NE(config->payload.find("\"value_template\":\"{{ 'ON' if value_json." + name +
                                       ".active else 'OFF' }}\""),
                  std::string::npos)
            << config->payload;
        const bool fault = name == "silent" || name == "files" || name == "uploads";
        EXPECT_NE(config->payload.find(fault ? R"("device_class":"problem")"
                                             : R"("device_class":"safety")"),
                  std::string::npos);
    }
    publisher.Stop();
}

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// A port nobody listens on now.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Loopback(0);
    socklen_t length = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    close(fd);
    return ntohs(a.sin_port);
}

// Debian's aiosmtpd, keeping each mail as a file; with a certificate and
// its key it offers STARTTLS and takes no mail without it.
class SmtpServer {
  public:
    explicit SmtpServer(const fs::path& mailDir, const fs::path& cert = {},
                        const fs::path& key = {})
        : port_(FreePort()) {
        const std::string listen = "127.0.0.1:" + std::to_string(port_);
        std::vector<std::string> args = {"python3", "-m", "aiosmtpd", "-n", "-l", listen};
        if (!cert.empty()) args.insert(args.end(), {"--tlscert", cert, "--tlskey", key});
        args.insert(args.end(), {"-c", "aiosmtpd.handlers.Mailbox", mailDir});
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            execv("/usr/bin/python3", argv.data());
            _exit(127);
        }
    }
    ~SmtpServer() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    static bool Installed() {
        return std::system("/usr/bin/python3 -c 'import aiosmtpd' 2>/dev/null") == 0;
    }
    bool Accepts() const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in a = Loopback(port_);
        const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
        close(fd);
        return ok;
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

  private:
    int port_;
    pid_t pid_ = -1;
};

class Reports {
  public:
    MailNotifier::Reporter Sink() {
        return [this](const std::string& m) {
            std::lock_guard lock(mutex_);
            lines_.push_back(m);
        };
    }
    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

AlarmNotice FrostNotice() {
    AlarmNotice notice;
    notice.alarm = "temp_low";
    notice.value = 31.5;
    notice.unit = "F";
    notice.since = 1'800'000'000;
    notice.readings = "outdoor 31.5 F, humidity 87 %";
    return notice;
}

TEST(MailNotifier, MailsTheAlarmAndTheReadingsThroughAnSmtpServer) {
    if (!SmtpServer::Installed()) GTEST_SKIP() << "python3-aiosmtpd is not installed";
    const fs::path mailDir = fs::path(testing::TempDir()) / ("mail-" + std::to_string(getpid()));
    fs::remove_all(mailDir);
    SmtpServer server(mailDir);
    ASSERT_TRUE(Eventually([&] { return server.Accepts(); }));
    AlarmSettings settings;
    settings.smtpServer = server.address();
    settings.mailFrom = "station@example.org";
    settings.mailTo = "owner@example.org, neighbour@example.org";
    Reports reports;
    MailNotifier mail(settings, reports.Sink());
    ASSERT_TRUE(mail.Start());
    mail.Notify(FrostNotice());
    std::string message;
    ASSERT_TRUE(Eventually([&] {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(mailDir / "new", ec)) {
            std::ifstream in(e.path());
            message.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return !message.empty();
    })) << (reports.Lines().empty() ? "" : reports.Lines()[0]);
    EXPECT_NE(message.find("Subject: Weather station alarm: temp_low active"), std::string::npos)
        << message;
    EXPECT_NE(message.find("To: owner@example.org, neighbour@example.org"), std::string::npos);
    EXPECT_NE(message.find("temp_low active since "), std::string::npos) << message;
    EXPECT_NE(message.find("Now: outdoor 31.5 F, humidity 87 %"), std::string::npos);
    EXPECT_TRUE(reports.Lines().empty());
}

// The mail in the folder, or "" while there is none.
std::string Delivered(const fs::path& mailDir) {
    std::string message;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(mailDir / "new", ec)) {
        std::ifstream in(e.path());
        message.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return message;
}

// A server with a certificate of its own (made here, for 127.0.0.1) that
// takes mail only after STARTTLS: trusted through SmtpCaFile the mail goes,
// else the check fails the mail; and a login never goes in plain text.
TEST(MailNotifier, StartTlsWithTheServersOwnCertificateAndNoLoginInPlainText) {
    if (!SmtpServer::Installed()) GTEST_SKIP() << "python3-aiosmtpd is not installed";
    const fs::path dir = fs::path(testing::TempDir()) / ("tls-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string openssl =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "
        "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
        (dir / "key.pem").string() + " -out " + (dir / "cert.pem").string() + " 2>/dev/null";
    ASSERT_EQ(std::system(openssl.c_str()), 0);
    std::ofstream(dir / "password") << "s3cret\n";
    struct Case {
        const char* what;
        bool tls;             // the server offers STARTTLS (and needs it)
        bool trust;           // SmtpCaFile names its certificate
        bool login;           // SmtpUser and SmtpPasswordFile
        const char* failure;  // in the report; nullptr: the mail arrives
    };
    const Case cases[] = {
        {"trusted certificate", true, true, false, nullptr},
        {"certificate nobody trusts", true, false, false, "certificate"},
        {"login to a server without STARTTLS", false, false, true, "SSL"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const fs::path mailDir = dir / ("mail" + std::to_string(++n));
        SmtpServer server(mailDir, c.tls ? dir / "cert.pem" : fs::path(),
                          c.tls ? dir / "key.pem" : fs::path());
        ASSERT_TRUE(Eventually([&] { return server.Accepts(); })) << c.what;
        AlarmSettings settings;
        settings.smtpServer = server.address();
        settings.mailFrom = "station@example.org";
        settings.mailTo = "owner@example.org";
        if (c.trust) settings.smtpCaFile = dir / "cert.pem";
        if (c.login) {
            settings.smtpUser = "station";
            settings.smtpPasswordFile = dir / "password";
        }
        Reports reports;
        MailNotifier mail(settings, reports.Sink(), 10s);
        ASSERT_TRUE(mail.Start()) << c.what;
        mail.Notify(FrostNotice());
        if (c.failure == nullptr) {
            EXPECT_TRUE(Eventually([&] { return !Delivered(mailDir).empty(); }))
                << c.what << ": " << (reports.Lines().empty() ? "" : reports.Lines()[0]);
            EXPECT_TRUE(reports.Lines().empty()) << c.what;
            continue;
        }
        ASSERT_TRUE(Eventually([&] { return !reports.Lines().empty(); })) << c.what;
        EXPECT_NE(reports.Lines()[0].find(c.failure), std::string::npos)
            << c.what << ": " << reports.Lines()[0];
        EXPECT_EQ(Delivered(mailDir), "") << c.what;
    }
}

TEST(MailNotifier, AServerThatNeverAnswersHoldsUpNoCallerAndIsReportedOnce) {
    LoopbackServer mute([](LoopbackServer& s, int fd) {
        s.Record("connected");
        LoopbackServer::ReadLine(fd);
    });
    AlarmSettings settings;
    settings.smtpServer = mute.address();
    settings.mailFrom = "station@example.org";
    settings.mailTo = "owner@example.org";
    Reports reports;
    MailNotifier mail(settings, reports.Sink(), 1s);
    ASSERT_TRUE(mail.Start());
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) mail.Notify(FrostNotice());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    ASSERT_TRUE(mute.WaitForRecords(1));
    ASSERT_TRUE(Eventually([&] { return !reports.Lines().empty(); }));
    EXPECT_EQ(reports.Lines()[0].rfind("mail: cannot send through " + mute.address() + " (", 0), 0u)
        << reports.Lines()[0];
    mail.Stop();
    EXPECT_EQ(reports.Lines().size(), 1u);
}
}  // namespace
