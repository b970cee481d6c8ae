#include "app/run.h"

#include "app/apply_sequence.h"
#include "app/outcome.h"
#include "app/startup.h"

int runApplier(const char* commandLine) {
    PatchContext context{};  // every text empty, every number 0, both lists empty
    int exitCode = 0;
    try {
        ResultCode code = RESULT_OK;
        try {
            prepareRun(context, commandLine);
            code = applyPatch(context);
        } catch (ResultCode raised) {
            code = raised;
        }
        exitCode = reportOutcome(describeOutcome(code, context), context);
    } catch (...) {
        exitCode = reportOutcome(describeUnexpectedFailure(context), context);
    }
    releaseLists(context);
    return exitCode;
}
