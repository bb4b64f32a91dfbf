// The entry point libFuzzer calls with each input; QUILLMERE_FUZZ_TARGET names the target this
// program is built for (one program per target, see CMakeLists.txt).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto target = qm::fuzz::makeFuzzTarget(QUILLMERE_FUZZ_TARGET);
    target->run(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
