#pragma once
// The single-instance channel on Linux: a Unix-domain socket in the user's runtime folder (user-only
// access, and the peer's user checked on every connection), with a file lock around the connect-or-listen
// decision so that simultaneous first starts agree. Plain sockets watched by the event loop: the program
// needs nothing more, and a networking library would cost every start its loading time.

#include "platform/InstanceChannel.h"

#include <QByteArray>
#include <QObject>

#include <deque>
#include <list>
#include <memory>

class QSocketNotifier;

namespace quillon::platform {

class LocalInstanceChannel final : public QObject, public InstanceChannel {
    Q_OBJECT
public:
    /// folder: where the socket and lock live; empty means $XDG_RUNTIME_DIR (or a private folder in /tmp).
    /// name: the channel's name, one per program. A running copy says at once that it has a request (from
    /// its event loop) and again once the request is processed: the second copy waits answerTimeoutMs for
    /// the first answer, which a stopped or hung copy never gives, and handOffTimeoutMs for the second.
    explicit LocalInstanceChannel(QString name, QString folder = QString(), int handOffTimeoutMs = 60000,
                                  int answerTimeoutMs = 5000);
    ~LocalInstanceChannel() override;

    Claim claim() override;
    bool handOff(const HandOffRecord& request) override;
    void setHandOffHandler(std::function<bool(const HandOffRecord& request)> handler) override;
    QString problem() const override { return problem_; }

    QString socketPath() const;

private:
    struct Client {
        int fd = -1;
        std::unique_ptr<QSocketNotifier> notifier;
        QByteArray received;
        HandOffRecord request; // once received whole
    };

    void accept();
    void readFrom(Client* client);
    void servePending();
    void drop(Client* client);
    bool ensureFolder();

    QString name_;
    QString folder_;
    int handOffTimeoutMs_;
    int answerTimeoutMs_;
    QString problem_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> listening_;
    std::function<bool(const HandOffRecord&)> handler_;
    std::list<std::unique_ptr<Client>> clients_;
    std::deque<Client*> waiting_; // received whole, in the order they came, not yet handled
    bool serving_ = false;
};

} // namespace quillon::platform
