// Services on the system D-Bus, for the port list to offer what they provide.
#pragma once

// Whether the system bus has the service: running now, or one the bus starts
// when asked (GeoClue is started so). False without a system bus.
bool SystemBusHasService(const char* name);
