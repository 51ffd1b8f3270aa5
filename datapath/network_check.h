#pragma once
// The network check of a station whose data lives on another computer, and the local-mode flag
// the database connection consults.

#include <QString>
#include <functional>

namespace vx {

// The station's local safe copy; its presence as a folder asks for the network check.
inline const QString kJovSafe = QStringLiteral("C:\\jovsafe");

struct SafeStubState {
    // The station works on its local safe copy; the network is not checked again.
    bool gbLocalMode = false;
};

SafeStubState& safeStubState();
// Back to the state at program start (local mode off).
void resetSafeStubState();

// Tests that the data path of gDataPath() can be reached, asking the user to retry while it
// cannot. True when it was found or local mode is on; false when the user gave up. A data path
// of "C:\jovsafe" that is missing switches local mode on without a question. In a batch run
// the question is answered at most 4 times: after the third retry, 2 s apart, the check gives
// up as if the answer had been No.
bool gfbNetworkCheck();
// For tests: called with the pause between two batch retries, in milliseconds, instead of
// sleeping; an empty function restores the sleep.
void setBatchRetryPause(std::function<void(int)> pause);

} // namespace vx
