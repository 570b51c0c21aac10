// "DEMO:", a simulated GPS receiver inside the process: no fix for a few seconds, then a fix.
#pragma once

#include <cstddef>
#include <cstdint>

// Seconds of empty position fields after the receiver is switched on.
inline constexpr uint32_t kDemoNoFixSeconds = 3;
inline constexpr std::size_t kDemoBurstCapacity = 640;

// The fixed place the simulated receiver reports (signed decimal degrees),
// and how far its jitter moves it at most.
inline constexpr double kDemoLatitude = 48.0 + 51.3 / 60.0;
inline constexpr double kDemoLongitude = 2.0 + 17.7 / 60.0;
inline constexpr double kDemoJitterDegrees = 0.0021 / 60.0;

// The once-a-second burst of the receiver: GGA, GSA, three GSV, RMC, VTG and
// ZDA, each with its checksum and CR LF. `second` counts from 0 at switch-on;
// `utcSeconds` (Unix time) is the time the sentences carry. Returns the length.
std::size_t BuildDemoBurst(uint32_t second, int64_t utcSeconds, char (&burst)[kDemoBurstCapacity]);

// True for the port name that selects the simulated receiver ("DEMO:", any case).
bool IsDemoPortName(const char16_t* name);

// The running receiver, paced like a real one at 4800 baud: one burst a second.
struct DemoReceiver;
DemoReceiver* OpenDemoReceiver();
// Blocks until the next burst is due and returns up to `capacity` bytes of it
// (the rest of a burst comes at once on the next call); 0 once woken.
std::size_t ReadDemoReceiver(DemoReceiver* receiver, char* buffer, std::size_t capacity);
// Makes a pending read, and every later one, return 0 at once; any thread.
void WakeDemoReceiver(DemoReceiver* receiver);
void CloseDemoReceiver(DemoReceiver* receiver);
