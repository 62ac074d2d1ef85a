#pragma once
// The single-instance channel on Linux: a local socket in the user's runtime folder (user-only access),
// with a lock file around the connect-or-listen decision so that simultaneous first starts agree.

#include "platform/InstanceChannel.h"

#include <QList>
#include <QLocalServer>
#include <QPointer>

#include <memory>

class QLocalSocket;

namespace quillon::platform {

class LocalInstanceChannel final : public QObject, public InstanceChannel {
    Q_OBJECT
public:
    /// folder: where the socket and lock live; empty means $XDG_RUNTIME_DIR (or a private folder in /tmp).
    /// name: the channel's name, one per program.
    explicit LocalInstanceChannel(QString name, QString folder = QString(), int handOffTimeoutMs = 60000);
    ~LocalInstanceChannel() override;

    Claim claim() override;
    bool handOff(const QString& windowTitle) override;
    void setHandOffHandler(std::function<bool(const QString& windowTitle)> handler) override;

    QString socketPath() const;

private:
    void accept();
    void serve(QLocalSocket* socket);
    void servePending();
    bool ensureFolder();

    QString name_;
    QString folder_;
    int handOffTimeoutMs_;
    std::unique_ptr<QLocalServer> server_;
    std::function<bool(const QString&)> handler_;
    QList<QPointer<QLocalSocket>> waiting_;
};

} // namespace quillon::platform
