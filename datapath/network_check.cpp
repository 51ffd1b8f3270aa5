#include "datapath/network_check.h"

#include "datapath/clsdatapath.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/runtime.h"

#include <QThread>

namespace vx {

namespace {
SafeStubState g_state;

// In a batch run nobody can mend the network between two answers, and a "Yes" given in advance
// would retry for ever: a batch run retries at most this often, this far apart, then gives up.
constexpr int kBatchRetries = 3;
constexpr int kBatchRetryPauseMs = 2000;

std::function<void(int)>& retryPause() {
    static std::function<void(int)> pause;
    return pause;
}
} // namespace

void setBatchRetryPause(std::function<void(int)> pause) {
    retryPause() = std::move(pause);
}

SafeStubState& safeStubState() {
    return g_state;
}

void resetSafeStubState() {
    g_state = SafeStubState();
}

bool gfbNetworkCheck() {
    for (int retries = 0;; ++retries) {
        if (g_state.gbLocalMode)
            return true;
        const QString dataPath = nativePath(gDataPath().DataPath());
        if (dirExists(dataPath))
            return true;
        // The data path is the safe copy itself and it is gone: the station goes on locally.
        if (dataPath == nativePath(kJovSafe)) {
            g_state.gbLocalMode = true;
            return true;
        }
        const MsgAnswer retry =
            MsgBox(QStringLiteral("Server not found. Check Server and Network Connections.\r\n"
                                  " Retry?"),
                   MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Network Error"));
        if (retry != MsgAnswer::Yes)
            return false;
        if (runtimeOptions().batch) {
            if (retries == kBatchRetries)
                return false;
            if (retryPause())
                retryPause()(kBatchRetryPauseMs);
            else
                QThread::msleep(kBatchRetryPauseMs);
        }
    }
}

} // namespace vx
