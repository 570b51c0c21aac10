// The Windows location platform's name for the user.
#include "platform/location.h"

const char16_t* LocationServiceName() { return u"Windows location"; }
