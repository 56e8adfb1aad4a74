// QMDDAQUE driven by a stream of requests on three CMCBs of both forms,
// each checked against the plain model of tests/support/queue_model.h:
// every result, return code and message, identifier, caller field and
// request for storage.  The input is read as RequestStream::step says; a
// step may fail the call's first or second request for storage, or put a
// handle that names no queue into a CMCB without one.  Whatever is still
// queued at the end is released, so ASan's leak check sees every page.
#include "fuzz_support.h"
#include "support/queue_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qmr_fuzz::Input in(data, size);
    int steps = 0;
    const auto more = [&in, &steps] { return !in.empty() && steps++ < 400; };
    const std::string error = qmr_test::RequestStream(3).run([&in] { return in.byte(); }, more);
    QMR_FUZZ_CHECK(error.empty(), "%s", error.c_str());
    return 0;
}
