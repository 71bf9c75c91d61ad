// The virtual radio inside the page: the radio logic orvex-sim runs, fed
// the bytes the page writes and answering what the radio would send.  The
// wire's pace is the page's; the faults are the page's two switches.

#include <emscripten/bind.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "link/clone_protocol.h"
#include "sim/sim_radio.h"
#include "web/web_session.h"

namespace orvex {

namespace {

// What a radio of another model says it is.
constexpr char kOtherModel[] = "TZ418";

bool IsGreeting(const std::vector<std::uint8_t>& frame) {
  return std::equal(frame.begin(), frame.end(), std::begin(kGreeting), std::end(kGreeting));
}

}  // namespace

class WebSimRadio {
 public:
  WebSimRadio() : m_radio(DefaultSimImage(), {}) {}

  // The faults the next greeting starts with, so switching them during a
  // transfer changes nothing before the next one.
  void SetFaults(bool noAnswer, bool wrongModel) {
    m_faults = {};
    m_faults.noRadio = noAnswer;
    if (wrongModel) m_faults.ident = kOtherModel;
  }

  // Takes the bytes the page wrote; the answer is the radio's replies in
  // order, each {bytes: Uint8Array, hangUp: boolean}.
  emscripten::val Feed(const std::string& bytes) {
    emscripten::val replies = emscripten::val::array();
    for (const char byte : bytes) {
      std::optional<SimFrame> frame = m_radio.Feed(static_cast<std::uint8_t>(byte));
      if (frame && IsGreeting(frame->received)) {
        // A new session: the radio keeps its memory and takes the faults.
        const std::vector<std::uint8_t> greeting = std::move(frame->received);
        m_radio = SimRadio(m_radio.memory(), m_faults);
        for (const std::uint8_t b : greeting) frame = m_radio.Feed(b);
      }
      if (!frame || (frame->reply.empty() && !frame->hangUp)) continue;
      emscripten::val reply = emscripten::val::object();
      reply.set("bytes", ByteArray(frame->reply));
      reply.set("hangUp", frame->hangUp);
      replies.call<void>("push", reply);
    }
    return replies;
  }

  // Puts a whole image into the radio's memory; bytes of another length
  // change nothing and answer false.
  bool Load(const std::string& image) {
    if (image.size() != kImageSize) return false;
    Image memory{};
    std::transform(image.begin(), image.end(), memory.begin(), [](char c) { return static_cast<std::uint8_t>(c); });
    m_radio = SimRadio(memory, m_faults);
    return true;
  }

  // The radio's memory, as a Read would fetch it.
  emscripten::val Memory() const { return ByteArray({m_radio.memory().begin(), m_radio.memory().end()}); }

 private:
  SimRadio m_radio;
  SimFaults m_faults;
};

}  // namespace orvex

EMSCRIPTEN_BINDINGS(orvex_web_sim) {
  using orvex::WebSimRadio;
  emscripten::class_<WebSimRadio>("SimRadio")
      .constructor<>()
      .function("setFaults", &WebSimRadio::SetFaults)
      .function("feed", &WebSimRadio::Feed)
      .function("load", &WebSimRadio::Load)
      .function("memory", &WebSimRadio::Memory);
}
