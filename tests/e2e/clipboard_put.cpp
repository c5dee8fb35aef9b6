// Puts standard input (UTF-8) on the clipboard through the same detached owner
// that tabulon-demo uses, and ends once the owner holds it.
#include <iostream>
#include <iterator>
#include <string>

#include "clipboard_owner.h"

int main()
{
    const std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    const tabulon::platform::ClipboardHandOver handOver = tabulon::platform::handTextToClipboardOwner(text, 10000);
    if (!handOver.held) {
        std::cerr << "clipboard_put: " << handOver.problem << '\n';
    }
    return handOver.held ? 0 : 1;
}
