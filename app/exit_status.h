#pragma once
// Exit statuses of the program, for the scripts and schedulers that run it.

namespace vx {

enum ExitStatus : int {
    kExitDocument = 0,      // a document was produced, or the dialog run ended normally
    kExitNothing = 1,       // the run ended with nothing to show
    kExitStartupFailed = 2, // data path, database or tables could not be opened, or the database
                            // server stopped answering or was lost during the run
    kExitUsage = 3,         // bad usage
    kExitExportFailed = 4,  // the document was produced, but the export file was not written
};

} // namespace vx
