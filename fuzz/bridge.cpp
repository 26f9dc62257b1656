// What a bridge program sends back is outside bytes: cut into lines (each bounded) and parsed as
// replies and as requests (the bridge side reads the same grammar), in arbitrary chunks. Nothing
// may crash, no line may exceed its bound, and what parses must print back to itself.
#include "SilentPrompter.h"
#include "devices/ExecBridge.h"
#include "devices/TracingPort.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tinkla;
    BridgeLineReader reader;
    size_t at = 0;
    // The first byte picks the chunk size, as the socket might hand the bytes over.
    const size_t chunk = size ? (data[0] % 17) + 1 : 1;
    while (at < size) {
        const size_t n = std::min(chunk, size - at);
        reader.Append(reinterpret_cast<const char*>(data + at), n);
        at += n;
        std::string line;
        BridgeLineReader::Result r;
        while ((r = reader.Next(&line)) == BridgeLineReader::Line) {
            if (line.size() > kMaxBridgeLine)
                fuzz::Fail("a reply line longer than its bound");
            uint8_t value = 0;
            if (ParseBridgeReply(line, &value)) {
                char again[4];
                std::snprintf(again, sizeof again, "%02x", value);
                uint8_t back = 0;
                if (!ParseBridgeReply(again, &back) || back != value)
                    fuzz::Fail("a reply does not survive printing");
            }
            BridgeRequest request;
            if (ParseBridgeRequest(line, &request)) {
                char text[16];
                FormatPortLine(text, request.write ? 'o' : 'i', request.port,
                               request.write ? request.value : -1);
                BridgeRequest back;
                if (!ParseBridgeRequest(text, &back) || back.write != request.write ||
                    back.port != request.port || back.value != request.value)
                    fuzz::Fail("a request does not survive printing");
            }
        }
        if (r == BridgeLineReader::TooLong)
            break; // the bridge is declared faulty here
    }
    return 0;
}
