#include "key_table.h"

#include "preview_geometry.h"

namespace tabulon::shell {

std::optional<int> gadgetForKeyNumber(int number)
{
    switch (number) {
    case -84:  // Escape
        return kExitButton;
    case 4:  // F4
        return kPrintButton;
    case 6:  // F6
        return kPdfButton;
    default:  // the arrows (-71 to -74) and every other key
        return std::nullopt;
    }
}

}  // namespace tabulon::shell
