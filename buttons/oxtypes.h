#pragma once

// The picture button's enumerations and sets, in the order its stored
// settings number them.

#include <QColor>

#include <initializer_list>
#include <type_traits>

enum ToxBtnStyle {
    bsAuto,
    bsWin31,
    bsWin95,
    bsInset,
    bsDelphi,
    bsSpeed,
    bsWin97,
    bsBorderless,
    bsShaped
};

// The caption's 3-D effect (not the font's own style flags).
enum TFontStyle { fsNone, fsNormal, fsRaised, fsInset, fsRidged, fsGrooved, fsShadow };

enum ToxBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose };

enum TFocusStyles { fsDefault, fsText, fsOutline, fsBoldFont };

enum ToxbOption { oxbCacheImages, oxbUsePalette, oxbSmallIcons };

enum ToxBackgroundStyle {
    oxbSolid,
    oxbClear,
    oxbPictureClip,
    oxbPictureStretch,
    oxbPicturePattern,
    oxbGradient
};

enum ToxButtonType { oxbCommand, oxbToggle, oxbRepeat, oxbMenu };

// A set of enumeration members stored as bits: bit n is member n.
template<typename Enum>
class EnumSet
{
    static_assert(std::is_enum_v<Enum>);

public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<Enum> members)
    {
        for (Enum member : members)
            m_bits |= bit(member);
    }
    static constexpr EnumSet fromBits(unsigned bits)
    {
        EnumSet set;
        set.m_bits = bits;
        return set;
    }

    constexpr bool contains(Enum member) const { return (m_bits & bit(member)) != 0; }
    constexpr void insert(Enum member) { m_bits |= bit(member); }
    constexpr void remove(Enum member) { m_bits &= ~bit(member); }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr unsigned bits() const { return m_bits; }
    constexpr bool operator==(const EnumSet &) const = default;

private:
    static constexpr unsigned bit(Enum member) { return 1u << static_cast<unsigned>(member); }

    unsigned m_bits = 0;
};

using TFocusStyle = EnumSet<TFocusStyles>;
using ToxbOptions = EnumSet<ToxbOption>;

// The modal results a button kind sets on its form.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// The classic palette's fixed grey, darker than Qt::gray: default picture
// shadow and disabled caption.
inline constexpr QColor clGray(128, 128, 128);
