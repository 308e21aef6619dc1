// libFuzzer target: arbitrary bytes as a plan file, and every computation the
// program makes on what they load into. Any exception that is not a reported
// failure, and any sanitizer report, stops the run with the input saved.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzDriver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    tamber::support::DrivePlanBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
