// The stand-in transceiver's own receiver on arbitrary bytes: its frame parser, the clone
// record reader (checked against the record writer), the trace's frame description, and the
// whole stand-in answering whatever arrives, with the faults the input chooses.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "fuzz_input.h"
#include "sim/sim_frame.h"
#include "sim/sim_image.h"
#include "sim/tamskor_sim.h"
#include "sim/wire_trace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    using namespace quorvane::sim;
    fuzz::FuzzInput in(data, size);

    TamskorConfig config;
    const std::uint16_t faults = in.Word();
    for (std::size_t i = 0; i < kFaults.size(); ++i) {
        if ((faults >> i & 1) != 0) {
            config.faults.Add(kFaults[i].fault, 1 + in.Byte() % 4);
        }
    }
    config.bytesPerFrame = 1 + in.Byte() % 122;
    // Generating an image is slow beside one run; a few fixed ones serve every input.
    static const SimImage kImages[] = {SimImage::Generate(1), SimImage::Generate(2, {true, 40}),
                                       SimImage()};
    TamskorSim transceiver(config, kImages[in.Byte() % 3]);
    // The trace describes every frame in words, which costs more than the rest of a run; one
    // input in eight keeps one.
    std::ostringstream traceText;
    WireTrace trace(traceText);
    if (in.Byte() % 8 == 0) {
        transceiver.SetTrace(&trace);
    }

    FrameParser parser;
    SimTime now = 0;
    while (!in.Empty()) {
        const Bytes batch = in.Take(1 + in.Byte() % 64);
        for (std::uint8_t b : batch) {
            const auto content = parser.Push(b);
            if (!content) {
                continue;
            }
            QUORVANE_FUZZ_CHECK(content->size() <= FrameParser::kMaxContent);
            (void)DescribeFrame(*content);
            if (content->size() < 3) {
                continue;
            }
            const Bytes text(content->begin() + 3, content->end());
            if (const auto record = ParseCloneRecordText(text)) {
                // A record read back writes the same text, up to the case of the letters.
                Bytes upper = text;
                for (auto& c : upper) {
                    c = static_cast<std::uint8_t>(std::toupper(c));
                }
                QUORVANE_FUZZ_CHECK(AsciiHex(BuildCloneRecord(record->address, record->data)) ==
                                    upper);
            }
        }
        transceiver.Receive(batch, now);
        now += FromMs(in.Byte() * 20);
        (void)transceiver.TakeDue(now);
        QUORVANE_FUZZ_CHECK(transceiver.Image().data().size() ==
                            static_cast<std::size_t>(kImageSize));
    }
    // Whatever it was doing, the stand-in finishes in bounded time (a whole clone read is long
    // beside a run, so only some inputs wait for it).
    if ((size & 3) == 0) {
        (void)transceiver.TakeDue(now + FromMs(3600000));
        QUORVANE_FUZZ_CHECK(!transceiver.NextEvent());
    }
    return 0;
}
