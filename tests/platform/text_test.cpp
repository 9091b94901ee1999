#include "printers.h"
#include "text.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(TextTest, Windows1252DecodesAsTheSystemDecoderDoes)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    QStringDecoder system("windows-1252");
    if (!system.isValid())
        GTEST_SKIP() << "this Qt has no Windows-1252 decoder to compare with (built without ICU)";
    EXPECT_EQ(decodeWindows1252(all), QString(system(all)));
    EXPECT_EQ(decodeWindows1252("caff\xE8 \x80"), u"caffè €"_s);
}

TEST(TextTest, UpperCasingTouchesAsciiLettersOnly)
{
    EXPECT_EQ(upperAscii(u"Si/No mb*2.5 città"), u"SI/NO MB*2.5 CITTà"_s);
    EXPECT_EQ(hexDigitValue(u'f'), 15);
    EXPECT_EQ(hexDigitValue(u'G'), -1);
}
