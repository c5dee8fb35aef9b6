#include <Qt>

#include <gtest/gtest.h>

#include "key_table.h"
#include "qt_key_map.h"

using tabulon::platform::windowsVirtualKey;
using tabulon::shell::keyNumber;

TEST(QtKeyMap, QtKeysGiveTheKeyNumbersOfTheirWindowsKeys)
{
    const struct {
        int qtKey;
        int number;
    } cases[] = {
        {Qt::Key_Escape, -84}, {Qt::Key_F4, 4},     {Qt::Key_F6, 6},     {Qt::Key_F1, 1},     {Qt::Key_F12, 12},
        {Qt::Key_Down, -71},   {Qt::Key_Right, -72}, {Qt::Key_Up, -73},  {Qt::Key_Left, -74}, {Qt::Key_A, 65 - 111},
        {Qt::Key_5, 53 - 111}, {Qt::Key_Return, 13 - 111},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keyNumber(windowsVirtualKey(c.qtKey)), c.number) << c.qtKey;
    }
    EXPECT_EQ(windowsVirtualKey(Qt::Key_unknown), 0);
}
