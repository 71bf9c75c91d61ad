#include "cli/codeplug_args.h"
#include "cli/link_session.h"
#include "cli/verb.h"

namespace orvex::cli {
namespace {

int runVerify(const Args& args) {
  const auto options = LinkOptionsOrReport(args);
  if (!options) return kExitUsage;
  const auto image = LoadCodeplugOrReport(args.positional[0]);
  if (!image) return kExitFailure;
  return SaveTraceOrReport(*options, VerifyRadio(*options, *image));
}

const VerbRegistration kVerify(
    {"verify", "verify --port PORT FILE",
     "reads the radio and compares every row a Write sends with FILE; exit 1 on a difference", LinkOptionSpecs(), 1, 1,
     runVerify});

}  // namespace
}  // namespace orvex::cli
