#pragma once

// Values that must survive the trip between the per-user file and the
// Windows registry, both ways. Standard library only: the Windows tests and
// the file-store tool share it.

#include <cstdint>
#include <string_view>

struct RoundTripValue
{
    std::u16string_view name;
    bool integer;
    std::u16string_view text;
    std::int32_t number;
};

inline constexpr RoundTripValue RoundTripValues[] = {
    {u"Accents", false, u"caffè perché città àèéìòù ÀÈÉÌÒÙ €", 0},
    {u"Backslashes", false, u"C:\\Program Files\\VOB\\InstantCopy 8\\", 0},
    {u"Quotes", false, u"He said \"hi\" and \\\"bye\\\"", 0},
    {u"Empty", false, u"", 0},
    {u"Name with \"quotes\" and \\", false, u"odd name", 0},
    {u"", false, u"the default value", 0},
    {u"Max", true, u"", INT32_MAX},
    {u"Min", true, u"", INT32_MIN},
    {u"Zero", true, u"", 0},
    {u"MinusOne", true, u"", -1},
};

// Under HKEY_CURRENT_USER: one key for each direction.
inline constexpr std::u16string_view ToRegistryKey = u"\\Software\\Ordevan\\RoundTrip";
inline constexpr std::u16string_view FromRegistryKey = u"\\Software\\Ordevan\\RoundTripBack";
