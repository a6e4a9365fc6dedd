#include "assets/ScrollMessage.h"

namespace tw {

// The literal has 639 characters; the array's remaining two bytes are zero.
const char scrollMessage[kScrollMessageBytes] =
#include "embedded/scroll_message.inc"
    ;

}  // namespace tw
