#include "cli/codeplug_args.h"
#include "cli/verb.h"

namespace orvex::cli {
namespace {

int runNew(const Args& args) {
  return SaveCodeplugOrReport(args.positional[0], BlankImage()) ? kExitOk : kExitFailure;
}

const VerbRegistration kNew({"new", "new FILE", "writes a blank codeplug to FILE", {}, 1, 1, runNew});

}  // namespace
}  // namespace orvex::cli
