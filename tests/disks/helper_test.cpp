// SPDX-License-Identifier: GPL-3.0-or-later
#include "disks/platform/helper_client.h"
#include "disks/platform/helper_protocol.h"
#include "fake_smart_access.h"
#include "fake_sysfs.h"
#include "helper/helper_session.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::vector<std::uint8_t> bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

RequestError errorOf(std::string_view text) {
    return parseHelperRequest(bytes(text)).error;
}

TEST(HelperRequest, AcceptsTheFixedOperations) {
    const ParsedRequest parsed = parseHelperRequest(bytes("nvme-log nvme0n1\ntrailing"));
    ASSERT_EQ(parsed.error, RequestError::None);
    EXPECT_EQ(parsed.request.operation, HelperOperation::NvmeLog);
    EXPECT_EQ(parsed.request.disk, "nvme0n1");
    for (auto op : {HelperOperation::AtaStatus, HelperOperation::AtaData,
                    HelperOperation::AtaThresholds, HelperOperation::NvmeLog}) {
        const ParsedRequest again = parseHelperRequest(bytes(formatHelperRequest({op, "sda"})));
        EXPECT_EQ(again.error, RequestError::None);
        EXPECT_EQ(again.request.operation, op);
    }
}

TEST(HelperRequest, RefusesEverythingElse) {
    EXPECT_EQ(errorOf(""), RequestError::Empty);
    EXPECT_EQ(errorOf("ata-data sda"), RequestError::Unterminated);
    EXPECT_EQ(errorOf("ata-data " + std::string(60, 'a') + "\n"), RequestError::TooLong);
    EXPECT_EQ(errorOf(std::string(200, 'x')), RequestError::TooLong);
    EXPECT_EQ(errorOf("ata-data ../sda\n"), RequestError::BadName);
    EXPECT_EQ(errorOf("ata-data /dev/sda\n"), RequestError::BadName);
    EXPECT_EQ(errorOf("ata-data ..\n"), RequestError::BadName);
    EXPECT_EQ(errorOf("ata-data sda\r\n"), RequestError::BadName);
    EXPECT_EQ(errorOf(std::string("ata-data s\0a\n", 13)), RequestError::BadName);
    EXPECT_EQ(errorOf("smart-enable sda\n"), RequestError::UnknownOperation);
    EXPECT_EQ(errorOf("ATA-DATA sda\n"), RequestError::UnknownOperation);
    EXPECT_EQ(errorOf("ata-data\n"), RequestError::Malformed);
    EXPECT_EQ(errorOf("ata-data  sda\n"), RequestError::Malformed);
    EXPECT_EQ(errorOf("ata-data sda \n"), RequestError::Malformed);
    EXPECT_EQ(errorOf("ata-data sda sdb\n"), RequestError::Malformed);
    EXPECT_EQ(errorOf("\n"), RequestError::Malformed);
}

TEST(HelperRequest, AnswersOnlyWholeDisksUnderSysBlock) {
    FakeSysfs fake;
    fake.ataDisk("sda", "8:0");
    fake.partition("sda1");
    const SysfsDisks sysfs(fake.root().string());
    FakeSmartAccess access;
    access.data.page[0] = 0x10;

    const auto ask = [&](std::string_view text) {
        return answerHelperRequest(parseHelperRequest(bytes(text)), access, sysfs);
    };
    const HelperAnswer data = ask("ata-data sda\n");
    EXPECT_EQ(data.result, kIOReturnSuccess);
    ASSERT_TRUE(data.page);
    EXPECT_EQ((*data.page)[0], 0x10);
    EXPECT_EQ(ask("ata-data sda1\n").result, kIOReturnNoResources);  // partition
    EXPECT_EQ(ask("ata-data sdq\n").result, kIOReturnNoResources);   // missing disk
    EXPECT_EQ(ask("ata-data ../sda\n").result, kIOReturnBadArgument);
    EXPECT_EQ(ask("format sda\n").result, kIOReturnBadArgument);
    EXPECT_EQ(access.dataCalls, 1);

    const HelperAnswer status = ask("ata-status sda\n");
    EXPECT_TRUE(status.answered);
    EXPECT_FALSE(status.page);
}

TEST(HelperRequest, PowerModeAndDeviceStatisticsOfWholeDisksOnly) {
    FakeSysfs fake;
    fake.ataDisk("sda", "8:0");
    fake.partition("sda1");
    const SysfsDisks sysfs(fake.root().string());
    FakeSmartAccess access;
    access.power = {kIOReturnSuccess, 0x00};
    SmartPage seven{};
    seven[2] = 0x07;
    access.statistics[7] = {kIOReturnSuccess, seven};

    const auto ask = [&](std::string_view text) {
        return answerHelperRequest(parseHelperRequest(bytes(text)), access, sysfs);
    };
    const HelperAnswer mode = ask("ata-power-mode sda\n");
    EXPECT_EQ(mode.result, kIOReturnSuccess);
    ASSERT_TRUE(mode.page);
    EXPECT_EQ((*mode.page)[0], 0x00);
    const HelperAnswer page = ask("ata-devstat-7 sda\n");
    ASSERT_TRUE(page.page);
    EXPECT_EQ((*page.page)[2], 0x07);
    EXPECT_EQ(access.statisticsAsked, std::vector<std::uint8_t>{7});

    EXPECT_EQ(ask("ata-power-mode sda1\n").result, kIOReturnNoResources);
    EXPECT_EQ(ask("ata-devstat-7 sda1\n").result, kIOReturnNoResources);
    EXPECT_EQ(ask("ata-devstat-1 sdq\n").result, kIOReturnNoResources);
    // Only the fixed pages exist as operations: no other page, no other log.
    EXPECT_EQ(errorOf("ata-devstat-2 sda\n"), RequestError::UnknownOperation);
    EXPECT_EQ(errorOf("ata-devstat-07 sda\n"), RequestError::UnknownOperation);
    EXPECT_EQ(errorOf("ata-log-4-7 sda\n"), RequestError::UnknownOperation);
    EXPECT_EQ(errorOf("ata-devstat-7 sda 7\n"), RequestError::Malformed);
    EXPECT_EQ(access.powerCalls, 1);
    EXPECT_EQ(access.statisticsAsked.size(), 1u);
    for (const std::uint8_t p : kDeviceStatisticsPages) {
        const std::optional<HelperOperation> op = deviceStatisticsOperation(p);
        ASSERT_TRUE(op);
        EXPECT_EQ(deviceStatisticsPageOf(*op), p);
        EXPECT_EQ(parseHelperRequest(bytes(formatHelperRequest({*op, "sda"}))).request.operation,
                  *op);
    }
    EXPECT_FALSE(deviceStatisticsOperation(2));
    EXPECT_FALSE(deviceStatisticsPageOf(HelperOperation::AtaPowerMode));
}

TEST(HelperRequest, ServesOneAnswerPerConnection) {
    FakeSysfs fake;
    fake.ataDisk("sda", "8:0");
    const SysfsDisks sysfs(fake.root().string());
    FakeSmartAccess access;

    const auto serve = [&](std::string_view request) {
        int in[2];
        int out[2];
        EXPECT_EQ(::pipe(in), 0);
        EXPECT_EQ(::pipe(out), 0);
        EXPECT_EQ(::write(in[1], request.data(), request.size()), ssize_t(request.size()));
        ::close(in[1]);
        const int status = serveHelperRequest(in[0], out[1], access, sysfs);
        ::close(in[0]);
        ::close(out[1]);
        std::vector<std::uint8_t> answer(2048);
        std::size_t got = 0;
        for (ssize_t n; (n = ::read(out[0], answer.data() + got, answer.size() - got)) > 0;) {
            got += std::size_t(n);
        }
        ::close(out[0]);
        answer.resize(got);
        return std::pair(status, decodeHelperAnswer(answer));
    };
    const auto [emptyStatus, empty] = serve("");
    EXPECT_NE(emptyStatus, 0);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->result, kIOReturnBadArgument);

    const auto [okStatus, ok] = serve("ata-thresholds sda\n");
    EXPECT_EQ(okStatus, 0);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->page);
}

TEST(HelperRequest, VersionedRequestsAndTheirRefusals) {
    const ParsedRequest parsed = parseHelperRequest(bytes("ata-data sda v2\n"));
    ASSERT_EQ(parsed.error, RequestError::None);
    EXPECT_EQ(parsed.request.version, 2);
    EXPECT_EQ(parseHelperRequest(bytes("ata-data sda\n")).request.version, 1);
    EXPECT_EQ(formatHelperRequest({HelperOperation::NvmeLog, "nvme0n1", 2}),
              "nvme-log nvme0n1 v2\n");
    EXPECT_EQ(errorOf("ata-data sda v3\n"), RequestError::Malformed);
    EXPECT_EQ(errorOf("ata-data sda v2 \n"), RequestError::Malformed);
    EXPECT_EQ(errorOf("ata-data sda  v2\n"), RequestError::Malformed);
    EXPECT_EQ(errorOf("ata-data sda v2 v2\n"), RequestError::Malformed);
    EXPECT_EQ(errorOf("ata-data sda V2\n"), RequestError::Malformed);
    EXPECT_EQ(errorOf("ata-data v2\n"), RequestError::None);  // a disk may be named v2
    EXPECT_EQ(errorOf("ata-data ../sda v2\n"), RequestError::BadName);
    EXPECT_EQ(errorOf("ata-data " + std::string(52, 'a') + " v2\n"), RequestError::TooLong);
}

// The helper's side of one connection, over a socket pair.
class HelperConnection : public ::testing::Test {
  protected:
    FakeSysfs fake;
    FakeSmartAccess access;
    HelperSessionLimits limits;
    int status = -1;

    void SetUp() override {
        fake.ataDisk("sda", "8:0");
        limits.idleTimeoutMs = 2000;
    }

    // Sends `requests` at once, then reads every answer until the helper closes.
    std::vector<HelperAnswer> serve(std::string_view requests, bool hangUp = true) {
        int pair[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
        EXPECT_EQ(::write(pair[0], requests.data(), requests.size()), ssize_t(requests.size()));
        if (hangUp) {
            ::shutdown(pair[0], SHUT_WR);
        }
        const SysfsDisks sysfs(fake.root().string());
        int before = 0;
        limits.beforeRequest = [&before] { ++before; };
        status = serveHelperRequest(pair[1], pair[1], access, sysfs, limits);
        ::close(pair[1]);
        std::vector<std::uint8_t> stream;
        std::array<std::uint8_t, 4096> chunk{};
        for (ssize_t n; (n = ::read(pair[0], chunk.data(), chunk.size())) > 0;) {
            stream.insert(stream.end(), chunk.begin(), chunk.begin() + n);
        }
        ::close(pair[0]);
        std::vector<HelperAnswer> answers;
        std::span<const std::uint8_t> rest(stream);
        while (!rest.empty()) {
            const AnswerFrame frame = helperAnswerFrame(rest);
            EXPECT_EQ(frame.state, AnswerFrame::State::Complete);
            if (frame.state != AnswerFrame::State::Complete || frame.size > rest.size()) {
                break;
            }
            answers.push_back(*decodeHelperAnswer(rest.first(frame.size)));
            rest = rest.subspan(frame.size);
        }
        EXPECT_GE(before, int(answers.size()));
        return answers;
    }
};

TEST_F(HelperConnection, AnswersEveryVersionedRequestOfAConnection) {
    access.data.page[7] = 0x77;
    const auto answers = serve("ata-status sda v2\nata-data sda v2\nata-thresholds sda v2\n");
    EXPECT_EQ(status, 0);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_TRUE(answers[0].answered && !answers[0].page);
    ASSERT_TRUE(answers[1].page);
    EXPECT_EQ((*answers[1].page)[7], 0x77);
    EXPECT_TRUE(answers[2].page);
}

TEST_F(HelperConnection, OldClientsGetOneAnswerAndTheConnectionEnds) {
    const auto answers = serve("ata-status sda\nata-data sda v2\n");
    EXPECT_EQ(status, 0);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(access.dataCalls, 0);
}

TEST_F(HelperConnection, ARefusedRequestEndsTheConnection) {
    const auto answers = serve("ata-data sda v2\nata-data ../sda v2\nata-data sda v2\n");
    EXPECT_EQ(status, 2);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[1].result, kIOReturnBadArgument);
    EXPECT_EQ(access.dataCalls, 1);
    // Each request is checked as the first: a partition is still no disk.
    fake.partition("sda1");
    const auto partition = serve("ata-data sda v2\nata-data sda1 v2\n");
    ASSERT_EQ(partition.size(), 2u);
    EXPECT_EQ(partition[1].result, kIOReturnNoResources);
    // An unterminated last line is refused, not waited for.
    const auto cut = serve("ata-data sda v2\nata-da");
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[1].result, kIOReturnBadArgument);
}

TEST_F(HelperConnection, BoundedInRequestsAndInIdleTime) {
    limits.maxRequests = 2;
    const auto answers = serve("ata-status sda v2\nata-status sda v2\nata-status sda v2\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(answers.size(), 2u);
    EXPECT_EQ(access.statusCalls, 2);

    // A client that keeps the connection but asks nothing more is let go.
    limits.idleTimeoutMs = 50;
    const auto start = std::chrono::steady_clock::now();
    const auto idle = serve("ata-status sda v2\n", false);
    EXPECT_EQ(idle.size(), 1u);
    EXPECT_EQ(status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(HelperAnswerFrame, FramesAStreamOfAnswers) {
    SmartPage page{};
    const auto withPage = encodeHelperAnswer({kIOReturnSuccess, false, false, page});
    const auto plain = encodeHelperAnswer({kIOReturnError, false, false, std::nullopt});
    std::vector<std::uint8_t> stream = withPage;
    stream.insert(stream.end(), plain.begin(), plain.end());
    const AnswerFrame first = helperAnswerFrame(stream);
    ASSERT_EQ(first.state, AnswerFrame::State::Complete);
    EXPECT_EQ(first.size, withPage.size());
    EXPECT_EQ(helperAnswerFrame(std::span(stream).subspan(first.size)).size, plain.size());
    // A header cut short waits for more; a header that cannot be one does not.
    EXPECT_EQ(helperAnswerFrame(bytes("S1 0000")).state, AnswerFrame::State::Incomplete);
    EXPECT_EQ(helperAnswerFrame(bytes("")).state, AnswerFrame::State::Incomplete);
    EXPECT_EQ(helperAnswerFrame(bytes(std::string(64, '1'))).state, AnswerFrame::State::Invalid);
    EXPECT_EQ(helperAnswerFrame(bytes("S1 00000000 0 0 12\n")).state, AnswerFrame::State::Invalid);
    EXPECT_EQ(helperAnswerFrame(bytes("S9 00000000 0 0 0\n")).state, AnswerFrame::State::Invalid);
}

TEST(HelperAnswerFrame, RoundTripAndMalformedAnswers) {
    HelperAnswer answer{kIOReturnNotResponding, true, true, std::nullopt};
    const auto encoded = encodeHelperAnswer(answer);
    const auto decoded = decodeHelperAnswer(encoded);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->result, kIOReturnNotResponding);
    EXPECT_TRUE(decoded->answered && decoded->thresholdExceeded && !decoded->page);

    SmartPage page{};
    page[511] = 0xAB;
    const auto withPage = encodeHelperAnswer({kIOReturnSuccess, false, false, page});
    ASSERT_TRUE(decodeHelperAnswer(withPage));
    EXPECT_EQ((*decodeHelperAnswer(withPage)->page)[511], 0xAB);

    auto shortBody = withPage;
    shortBody.resize(withPage.size() - 1);
    auto longBody = withPage;
    longBody.push_back(0);
    EXPECT_FALSE(decodeHelperAnswer(shortBody));
    EXPECT_FALSE(decodeHelperAnswer(longBody));
    for (const char* bad :
         {"", "S1 00000000 0 0 0", "S2 00000000 0 0 0\n", "S1 zz 0 0 0\n", "S1 00000000 2 0 0\n",
          "S1 00000000 0 0 12\n0123456789ab", "S1 00000000 0 0 -1\n", "S1 100000000 0 0 0\n",
          "S1 00000000 0 0 0 extra\n", "S1  00000000 0 0 0\n"}) {
        EXPECT_FALSE(decodeHelperAnswer(bytes(bad))) << bad;
    }
}

// The client against a helper session on a real Unix socket.
TEST(HelperClientTest, ReadsThroughTheSocketAndReportsAMissingService) {
    FakeSysfs fake;
    fake.ataDisk("sda", "8:0");
    const std::string socketPath = (fake.root() / "smart.sock").string();

    int unavailable = 0;
    HelperClient missing(socketPath, fake.root().string(), [&] { ++unavailable; });
    EXPECT_EQ(missing.ataReturnStatus("sda").result, kIOReturnNotPrivileged);
    EXPECT_EQ(missing.ataReadData("sda").result, kIOReturnNotPrivileged);
    EXPECT_EQ(unavailable, 1);

    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listener, 4), 0);

    FakeSmartAccess access;
    access.statusAnswers = {{kIOReturnSuccess, true, true}};
    access.data.page[5] = 0x42;
    const SysfsDisks sysfs(fake.root().string());
    // Both commands travel on one connection.
    std::thread server([&] {
        const int connection = ::accept(listener, nullptr, nullptr);
        serveHelperRequest(connection, connection, access, sysfs);
        ::close(connection);
    });
    {
        HelperClient client(socketPath, fake.root().string(), [&] { ++unavailable; });
        EXPECT_EQ(client.protocolOf("sda"), SmartProtocol::Ata);
        const AtaStatusAnswer status = client.ataReturnStatus("sda");
        EXPECT_EQ(status.result, kIOReturnSuccess);
        EXPECT_TRUE(status.thresholdExceeded);
        const PageAnswer data = client.ataReadData("sda");
        EXPECT_EQ(data.result, kIOReturnSuccess);
        EXPECT_EQ(data.page[5], 0x42);
    }  // the client hangs up, so the session ends
    server.join();
    ::close(listener);
    EXPECT_EQ(unavailable, 1);
}

// A helper on a socket serving `connections` connections with `limits`.
class SocketHelper {
  public:
    SocketHelper(const std::string& path, SmartAccess& access, const SysfsDisks& sysfs,
                 HelperSessionLimits limits) {
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, std::min(path.size(), sizeof(address.sun_path) - 1));
        EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        EXPECT_EQ(::listen(listener_, 4), 0);
        server_ = std::thread([this, &access, &sysfs, limits] {
            pollfd waiting{listener_, POLLIN, 0};
            while (::poll(&waiting, 1, 10000) == 1) {
                const int connection = ::accept(listener_, nullptr, nullptr);
                if (connection < 0) {
                    break;
                }
                ++accepted;
                serveHelperRequest(connection, connection, access, sysfs, limits);
                ::close(connection);
            }
        });
    }
    ~SocketHelper() {
        ::shutdown(listener_, SHUT_RDWR);
        server_.join();
        ::close(listener_);
    }
    std::atomic<int> accepted = 0;

  private:
    int listener_ = -1;
    std::thread server_;
};

TEST(HelperClientTest, OneConnectionCarriesTheReadsOfACheck) {
    FakeSysfs fake;
    fake.ataDisk("sda", "8:0");
    fake.ataDisk("sdb", "8:16");
    const std::string socketPath = (fake.root() / "smart.sock").string();
    FakeSmartAccess access;
    const SysfsDisks sysfs(fake.root().string());
    {
        SocketHelper helper(socketPath, access, sysfs, {});
        HelperClient client(socketPath, fake.root().string());
        for (const char* disk : {"sda", "sdb"}) {
            EXPECT_EQ(client.ataReturnStatus(disk).result, kIOReturnSuccess);
            EXPECT_EQ(client.ataReadData(disk).result, kIOReturnSuccess);
            EXPECT_EQ(client.ataReadThresholds(disk).result, kIOReturnSuccess);
        }
        EXPECT_EQ(client.connections(), 1);
        EXPECT_EQ(access.statusCalls, 2);
    }
    ::unlink(socketPath.c_str());
    // A helper that goes away (here: after every second request) is
    // reconnected to, and no answer is lost on the way.
    HelperSessionLimits limits;
    limits.maxRequests = 2;
    SocketHelper helper(socketPath, access, sysfs, limits);
    HelperClient client(socketPath, fake.root().string());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(client.ataReadData("sda").result, kIOReturnSuccess) << i;
    }
    EXPECT_EQ(client.connections(), 3);
}

}  // namespace
