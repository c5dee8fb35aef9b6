// Windows: the C runtime opens standard input in text mode, which turns CR LF
// into LF and ends the input at the first Ctrl-Z byte (0x1A). A job's bytes are
// data; binary mode hands them over as they were sent.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "standard_input.h"

namespace tabulon::platform {

void readStandardInputAsBytes()
{
    _setmode(_fileno(stdin), _O_BINARY);
}

}  // namespace tabulon::platform
