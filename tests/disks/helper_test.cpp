#include "disks/platform/helper_client.h"
#include "disks/platform/helper_protocol.h"
#include "fake_smart_access.h"
#include "fake_sysfs.h"
#include "helper/helper_session.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
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
    std::thread server([&] {
        for (int i = 0; i < 2; ++i) {
            const int connection = ::accept(listener, nullptr, nullptr);
            serveHelperRequest(connection, connection, access, sysfs);
            ::close(connection);
        }
    });
    HelperClient client(socketPath, fake.root().string(), [&] { ++unavailable; });
    EXPECT_EQ(client.protocolOf("sda"), SmartProtocol::Ata);
    const AtaStatusAnswer status = client.ataReturnStatus("sda");
    EXPECT_EQ(status.result, kIOReturnSuccess);
    EXPECT_TRUE(status.thresholdExceeded);
    const PageAnswer data = client.ataReadData("sda");
    EXPECT_EQ(data.result, kIOReturnSuccess);
    EXPECT_EQ(data.page[5], 0x42);
    server.join();
    ::close(listener);
    EXPECT_EQ(unavailable, 1);
}

}  // namespace
