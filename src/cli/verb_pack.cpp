#include "cli/codeplug_args.h"
#include "cli/verb.h"
#include "codeplug/packer.h"

namespace orvex::cli {
namespace {

// Runs the packer over any file's bytes, for people who study or repair files.
int Transform(const Args& args, bool pack) {
  const std::string& in = args.positional[0];
  const std::string& out = args.positional[1];
  if (!DestinationOrReport(out)) return kExitFailure;
  auto bytes = ReadInputOrReport(in, InputKind::AnyFile);
  if (!bytes) return kExitFailure;
  Bytes result;
  if (pack) {
    result = Encode(*bytes);
  } else {
    auto decoded = Decode(*bytes);
    if (!decoded) {
      PrintError(in + ": cannot be unpacked: " + decoded.error());
      return kExitFailure;
    }
    result = std::move(*decoded);
  }
  return WriteOutputOrReport(out, result) ? kExitOk : kExitFailure;
}

int runPack(const Args& args) { return Transform(args, true); }
int runUnpack(const Args& args) { return Transform(args, false); }

const VerbRegistration kPack(
    {"pack",
     "pack IN OUT",
     "packs any file's bytes (at most 1 MiB) as codeplug files are packed; OUT - is standard output",
     {},
     2,
     2,
     runPack});
const VerbRegistration kUnpack(
    {"unpack",
     "unpack IN OUT",
     "unpacks a packed file (a .tw codeplug gives its 8208-byte plain image); OUT - is standard output",
     {},
     2,
     2,
     runUnpack});

}  // namespace
}  // namespace orvex::cli
