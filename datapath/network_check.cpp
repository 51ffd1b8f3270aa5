#include "datapath/network_check.h"

#include "datapath/clsdatapath.h"
#include "platform/messages.h"
#include "platform/paths.h"

namespace vx {

namespace {
SafeStubState g_state;
} // namespace

SafeStubState& safeStubState() {
    return g_state;
}

void resetSafeStubState() {
    g_state = SafeStubState();
}

bool gfbNetworkCheck() {
    for (;;) {
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
    }
}

} // namespace vx
