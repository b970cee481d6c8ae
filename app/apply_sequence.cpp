#include "app/apply_sequence.h"

#include "actions/stages.h"
#include "app/load_text.h"
#include "app/message_format.h"
#include "app/process_values.h"
#include "platform/platform.h"
#include "settings/record_level.h"

namespace {

constexpr unsigned MESSAGE_CONFIRMATION = 1;
constexpr std::uint32_t CONFIRMATION_BOX_FLAGS = platform::BOX_OKCANCEL | platform::BOX_TOPMOST;

void confirm(const PatchContext& context) {
    char confirmation[MESSAGE_BUFFER_SIZE] = {};
    formatMessage(confirmation, sizeof confirmation, loadText(MESSAGE_CONFIRMATION),
                  {context.moduleName, context.productName});
    // Cancel, the close box, Escape and a box that cannot be shown all refuse.
    if (platform::showMessageBox(confirmation, context.title, CONFIRMATION_BOX_FLAGS) != platform::ANSWER_OK) {
        throw ResultCode{RESULT_REFUSED_BY_USER};
    }
}

void raiseIfFailed(ResultCode result) {
    if (result != RESULT_OK) throw result;
}

}  // namespace

ResultCode applyPatch(const PatchContext& context) {
    if (!silent) confirm(context);
    // A patch that does not fit is refused before the product is touched, the
    // product is closed before any file is replaced, and the level is
    // recorded last so that a failed run leaves the former level.
    raiseIfFailed(checkPreconditions(context));
    raiseIfFailed(closeProduct(context));
    raiseIfFailed(replaceFiles(context));
    if (context.registryCount > 0) raiseIfFailed(quoteRegistryValues(context));
    raiseIfFailed(recordAppliedLevel(context));
    return RESULT_OK;
}
