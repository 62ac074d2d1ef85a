// The single-instance channel between two copies, both ends in this process: the second end runs on its
// own thread, as it would block a real second copy, while this thread's event loop serves the first.
#include "platform/linux/instance/LocalInstanceChannel.h"

#include "platform/NativeText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace quillon::platform;
using Claim = InstanceChannel::Claim;

namespace {

/// Runs the event loop until done is set (or ten seconds pass).
void serveUntil(const std::atomic<bool>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

HandOffRecord request(const QString& title, const QString& file = QString())
{
    HandOffRecord record;
    record.windowTitle = title;
    record.commandLine = file.toLower();
    record.file = file;
    return record;
}

/// A hand-off from another thread, its result once the loop has served it.
bool handOffServed(const QString& folder, const QString& title)
{
    std::atomic<bool> done = false;
    bool answered = false;
    std::thread second([&] {
        LocalInstanceChannel channel("quillon", folder, 5000);
        answered = channel.claim() == Claim::Running && channel.handOff(request(title));
        done = true;
    });
    serveUntil(done);
    second.join();
    return answered;
}

int rawConnect(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

TEST(LocalInstanceChannel, ASecondCopyHandsOverAndWaitsForTheHandlerAndItsAnswer)
{
    QTemporaryDir folder;
    LocalInstanceChannel first("quillon", folder.path());
    ASSERT_EQ(first.claim(), Claim::First);

    // A request that arrives before the window can take it waits for the handler.
    QStringList titles;
    std::atomic<bool> done = false;
    bool answered = false;
    std::thread second([&] {
        LocalInstanceChannel channel("quillon", folder.path(), 5000);
        answered = channel.claim() == Claim::Running && channel.handOff(request(" Quillon"));
        done = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(done);
    first.setHandOffHandler([&](const HandOffRecord& handed) {
        titles << handed.windowTitle;
        return handed.windowTitle == " Quillon";
    });
    serveUntil(done);
    second.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(titles, QStringList{" Quillon"});

    // The handler's "not done" reaches the second copy.
    EXPECT_FALSE(handOffServed(folder.path(), "Another window"));
    EXPECT_EQ(titles.size(), 2);
}

TEST(LocalInstanceChannel, ALeftoverSocketNeverBlocksAndJunkIsDroppedWithoutHarm)
{
    QTemporaryDir folder;
    const QString socketPath = folder.path() + "/quillon.socket";
    {
        // A copy that died: its socket file stays, nobody listens.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, QFile::encodeName(socketPath).constData());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        ASSERT_TRUE(QFile::exists(socketPath));
    }
    auto first = std::make_unique<LocalInstanceChannel>("quillon", folder.path());
    ASSERT_EQ(first->claim(), Claim::First);
    int served = 0;
    first->setHandOffHandler([&](const HandOffRecord&) { return ++served > 0; });

    // Something that is not a copy of the program: a line far too long, and a connection closed early.
    const int junk = rawConnect(socketPath);
    ASSERT_GE(junk, 0);
    const QByteArray flood(10000, 'x');
    EXPECT_GT(::send(junk, flood.constData(), flood.size(), MSG_NOSIGNAL), 0);
    const int early = rawConnect(socketPath);
    ASSERT_GE(early, 0);
    ::close(early);
    QElapsedTimer clock;
    clock.start();
    char c = 0;
    while (clock.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    // Hung up on without an answer: end of stream, or a reset for the bytes it never read.
    const ssize_t got = ::recv(junk, &c, 1, MSG_DONTWAIT);
    EXPECT_TRUE(got == 0 || (got < 0 && errno == ECONNRESET)) << got << " " << std::strerror(errno);
    ::close(junk);
    EXPECT_EQ(served, 0);

    EXPECT_TRUE(handOffServed(folder.path(), " Quillon"));
    EXPECT_EQ(served, 1);

    // A copy that ends takes its socket with it; the next start is the first again.
    first.reset();
    EXPECT_FALSE(QFile::exists(socketPath));
    LocalInstanceChannel next("quillon", folder.path());
    EXPECT_EQ(next.claim(), Claim::First);
}

TEST(LocalInstanceChannel, AFolderOthersCanEnterIsRefused)
{
    QTemporaryDir folder;
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther);
    LocalInstanceChannel channel("quillon", folder.path());
    EXPECT_EQ(channel.claim(), Claim::Unavailable);
    EXPECT_TRUE(channel.problem().contains(folder.path())) << channel.problem().toStdString();
}

TEST(LocalInstanceChannel, ACopyThatListensButNeverAnswersIsGivenUpOnSoon)
{
    // A stopped or hung copy: its socket still takes connections (the system queues them), nothing more.
    QTemporaryDir folder;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, QFile::encodeName(folder.path() + "/quillon.socket").constData());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 8), 0);

    LocalInstanceChannel second("quillon", folder.path(), 60000, 300);
    ASSERT_EQ(second.claim(), Claim::Running);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(second.handOff(request(" Quillon")));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(second.problem().contains("did not answer")) << second.problem().toStdString();
    ::close(fd);
}

TEST(LocalInstanceChannel, ABurstOfStartsIsHandledOneByOneEachWithItsOwnFile)
{
    QTemporaryDir folder;
    LocalInstanceChannel first("quillon", folder.path());
    ASSERT_EQ(first.claim(), Claim::First);
    // The handler waits in an event loop, as a message box does: starts that come meanwhile wait their turn.
    QStringList handled;
    int inside = 0, mostInside = 0;
    first.setHandOffHandler([&](const HandOffRecord& handed) {
        mostInside = std::max(mostInside, ++inside);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        handled << handed.file;
        --inside;
        return true;
    });
    constexpr int kStarts = 12;
    std::atomic<int> answered = 0;
    std::vector<std::thread> starts;
    for (int i = 0; i < kStarts; ++i)
        starts.emplace_back([&, i] {
            LocalInstanceChannel channel("quillon", folder.path(), 20000);
            if (channel.claim() == Claim::Running &&
                channel.handOff(request(" Quillon", QString("/fonts/Face %1.ttf").arg(i))))
                ++answered;
        });
    QElapsedTimer clock;
    clock.start();
    while (answered < kStarts && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    for (std::thread& start : starts) start.join();
    EXPECT_EQ(answered, kStarts);
    EXPECT_EQ(mostInside, 1);
    handled.sort();
    QStringList expected;
    for (int i = 0; i < kStarts; ++i) expected << QString("/fonts/Face %1.ttf").arg(i);
    expected.sort();
    EXPECT_EQ(handled, expected);
}

TEST(HandOffRecord, CarriesAnyBytesAndKeepsFieldsItDoesNotKnow)
{
    HandOffRecord sent = request(" Quillon", QString("/tmp/a\nb ") + fromNativeBytes("\xff.ttf"));
    sent.fields["a-newer-field"] = QByteArray("tok\0en", 6);
    sent.activationToken = QStringLiteral("launcher-token_1");
    const QByteArray bytes = sent.encode();
    HandOffRecord got;
    qsizetype length = 0;
    ASSERT_EQ(HandOffRecord::decode(bytes + "trailing", got, &length), HandOffRecord::Parse::Whole);
    EXPECT_EQ(length, bytes.size());
    EXPECT_EQ(got.windowTitle, sent.windowTitle);
    EXPECT_EQ(got.commandLine, sent.commandLine);
    EXPECT_EQ(nativeBytes(got.file), nativeBytes(sent.file));
    EXPECT_EQ(got.fields["a-newer-field"], QByteArray("tok\0en", 6));
    EXPECT_EQ(got.activationToken, sent.activationToken);
    // Every cut short is incomplete, never broken or whole; the earlier one-line request still reads.
    for (qsizetype cut = 0; cut < bytes.size(); ++cut)
        EXPECT_EQ(HandOffRecord::decode(bytes.left(cut), got), HandOffRecord::Parse::Incomplete) << cut;
    ASSERT_EQ(HandOffRecord::decode("ACTIVATE  Quillon\n", got), HandOffRecord::Parse::Whole);
    EXPECT_EQ(got.windowTitle, " Quillon");
    EXPECT_FALSE(got.commandLine);
    for (const QByteArray& junk :
         {QByteArray("GET / HTTP/1.0\r\n"), QByteArray("QUILLON-HANDOFF 1\nwindow 999999999\n"),
          QByteArray("QUILLON-HANDOFF 1\nWindow 1\nx\nEND\n"), QByteArray(10000, 'x')})
        EXPECT_EQ(HandOffRecord::decode(junk, got), HandOffRecord::Parse::Broken)
            << junk.left(40).constData();
}
