// The product facts reader on arbitrary bytes: it accepts or refuses the text as a whole,
// and what it accepts the writer writes back to the same facts.

#include <string>

#include "formats/product_facts.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ProductFacts facts;
  std::string error;
  if (!ReadProductFacts(text, &facts, &error)) {
    Require(!error.empty(), "a refusal names its reason");
    Require(facts.Empty() && !facts.version, "nothing half-read is kept");
    return 0;
  }
  Require(facts.version.has_value() == !facts.versionText.empty(), "a version text always parses");
  std::string written;
  Require(WriteProductFacts(facts, &written, &error), "what was read can be written");
  ProductFacts again;
  Require(ReadProductFacts(written, &again, &error), "what was written reads back");
  Require(again.versionText == facts.versionText && again.publisher == facts.publisher && again.url == facts.url &&
              again.supportUrl == facts.supportUrl,
          "the facts survive the round trip");
  return 0;
}
