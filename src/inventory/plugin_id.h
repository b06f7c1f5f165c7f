// Plug-in ids in their normal form: one text per plug-in, the same whether a
// project file or an inventory gives it, so that ids compare byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vernatto::inventory {

// A VST3 class id from its four 32-bit words: 8 upper-case hex digits each.
std::string vst3Id(std::uint32_t l1, std::uint32_t l2, std::uint32_t l3,
                   std::uint32_t l4);

// A VST3 class id written as text: 32 hex digits in any case, optionally in
// braces, optionally with dashes as 8-4-4-4-12, surrounding white space
// ignored. Returns the upper-case digits, or an empty text for anything else.
std::string vst3IdFromText(std::string_view text);

// A VST2 unique id as an unsigned decimal; negative values are taken modulo
// 2^32, as hosts that store it signed do.
std::string vst2Id(std::int64_t uniqueId);

// The VST2 unique id that a VST3-form id holds: 32 hex digits beginning
// "565354" ("VST") carry it in digits 7 to 14. Returns it as vst2Id gives
// it, or an empty text when `hex` is not of that form.
std::string vst2IdFromVst3Form(std::string_view hex);

// Whether a normal-form VST3 id (32 upper-case hex digits) stands for a
// VST2 plug-in, as vst2IdFromVst3Form tells.
bool isVst2InVst3Form(std::string_view id);

// The VST3-form prefix under which a VST2 plug-in with `uniqueId` (a normal
// VST2 id) appears: "565354" and the id as 8 upper-case hex digits. Empty
// when `uniqueId` is not a normal VST2 id.
std::string vst3FormPrefixOfVst2(std::string_view uniqueId);

// An Audio Unit code: a four-character code taken big-endian (exactly four
// bytes, digits too), or else a decimal number below 2^32. Nothing for
// anything else.
std::optional<std::uint32_t> audioUnitCode(std::string_view text);

// An Audio Unit's id: its component type, subtype and manufacturer as three
// unsigned decimals separated by one space.
std::string audioUnitId(std::uint32_t type, std::uint32_t subtype,
                        std::uint32_t manufacturer);

// The same from three texts as audioUnitCode reads them; empty when any of
// them is not a code.
std::string audioUnitIdFromCodes(std::string_view type, std::string_view subtype,
                                 std::string_view manufacturer);

}  // namespace vernatto::inventory
