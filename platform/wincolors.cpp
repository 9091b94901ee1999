#include "wincolors.h"

#include <array>

QColor fromBgr(quint32 value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QColor sysColor(SystemColor color)
{
    // The classic Windows scheme, in the order of the enumeration, as 0x00BBGGRR.
    static constexpr std::array<quint32, 25> classic = {
        0xC8C8C8, 0x000000, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
        0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080,
        0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000, 0xE1FFFF,
    };
    return fromBgr(classic[static_cast<std::size_t>(color)]);
}
