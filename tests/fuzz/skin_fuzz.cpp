// The skin text parser.
//
// Invariants: parsing either raises SkinError, the only exception it may raise, or gives a
// named skin with every required colour, found whatever the case of the names asked for.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "check.h"
#include "kit/text.h"
#include "toolkit/formats/skin_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    skin::SkinData parsed;
    try {
        parsed = skin::SkinData::parse(text);
    } catch (const skin::SkinError& error) {
        FUZZ_CHECK(!std::string_view(error.what()).empty());
        return 0;
    }
    FUZZ_CHECK(!parsed.name().empty());
    FUZZ_CHECK(kit::text::trim(parsed.name()) == parsed.name());
    try {
        for (const auto& required : skin::required_colors()) {
            const auto color = parsed.color(required.section, required.property, required.state);
            FUZZ_CHECK(color == parsed.color(kit::text::to_lower_ascii(required.section),
                                             kit::text::to_upper_ascii(required.property),
                                             kit::text::to_upper_ascii(required.state)));
        }
    } catch (const skin::SkinError& error) {
        std::fprintf(stderr, "a parsed skin lacks a required colour: %s\n", error.what());
        std::abort();
    }
    return 0;
}
