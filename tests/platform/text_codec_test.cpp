#include <QString>

#include <gtest/gtest.h>

#include "qt_text_codec.h"

using tabulon::platform::ansiToQString;
using tabulon::platform::clipboardToAnsi;

TEST(TextCodec, ClipboardTextBecomesWindows1252WithQuestionMarksOutside)
{
    const struct {
        std::u16string clipboard;
        std::string ansi;
    } cases[] = {
        {u"My_doc,P/*\r", "My_doc,P/*\r"},
        {u"Ljung\u00e5", "Ljung\xe5"},
        {u"\u20ac 5 \u2013 \u201cx\u201d", "\x80 5 \x96 \x93x\x94"},
        {u"\u4e2d\u0416", "??"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clipboardToAnsi(c.clipboard), c.ansi);
    }
}

TEST(TextCodec, Windows1252TextIsDrawnAsItsUnicodeCharacters)
{
    EXPECT_EQ(ansiToQString("Ljung\xe5"), QString::fromUtf8("Ljung\u00e5"));
    EXPECT_EQ(ansiToQString("\x80\x96\x9f"), QString::fromUtf8("\u20ac\u2013\u0178"));
    EXPECT_EQ(ansiToQString("{nb}, 1/* 2"), QStringLiteral("{nb}, 1/* 2"));
    // Every byte survives the way back.
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(clipboardToAnsi(ansiToQString(all).toStdU16String()), all);
}
