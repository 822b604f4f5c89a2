#include "units/clock_host.h"

namespace lumetra {

namespace {
ClockHost* g_pClockHost = nullptr;
}  // namespace

ClockHost* CurrentClockHost() { return g_pClockHost; }

ClockHostScope::ClockHostScope(ClockHost* host) : previous_(g_pClockHost) { g_pClockHost = host; }

ClockHostScope::~ClockHostScope() { g_pClockHost = previous_; }

}  // namespace lumetra
