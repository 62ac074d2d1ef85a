#pragma once
// One running copy per user. The first copy claims the channel; a later copy hands over by asking the
// running copy to bring its main window forward and process F16 with the later start's own command line
// (carried in the request, see HandOffRecord.h), and waits until that has happened.

#include "platform/HandOffRecord.h"

#include <QString>

#include <functional>

namespace quillon::platform {

class InstanceChannel {
public:
    enum class Claim {
        First,      ///< no copy runs: this process now owns the channel
        Running,    ///< another copy runs and answers: hand over to it
        Unavailable ///< the channel cannot be set up at all: run on alone
    };

    virtual ~InstanceChannel() = default;

    /// Decides whether this process is the first copy. Two simultaneous first starts never both get First;
    /// a channel left by a copy that died never blocks.
    virtual Claim claim() = 0;

    /// In a second copy: asks the running copy to activate the window titled windowTitle and send it F16,
    /// and waits until it says it has processed the key. False when the running copy did not answer (it
    /// is given a few seconds to say it has the request: a stopped or hung copy never does) or could not
    /// take the request.
    virtual bool handOff(const HandOffRecord& request) = 0;

    /// Why the last claim gave Unavailable or the last hand-off failed, in a sentence for the user; empty
    /// after a success.
    virtual QString problem() const = 0;

    /// In the first copy: what to do for each hand-off. The handler runs on the user-interface thread and
    /// returns true once the window was found and the key processed. Hand-offs are handled one at a time
    /// in the order they came, each answered once its handler returned: one that comes while another is
    /// handled (a message box is open, say) waits its turn. Requests that arrive before a handler is set
    /// wait until it is.
    virtual void setHandOffHandler(std::function<bool(const HandOffRecord& request)> handler) = 0;
};

} // namespace quillon::platform
