// Private to the call logs: the faults and acts a FileCallLog was given,
// kept alike for both systems' logs.
#pragma once

/// Forgets every fault and act; calls are intercepted from Start to Stop.
void StartCallFaults();
void StopCallFaults();

/// Before a call of kind `kind`: runs the act waiting for it, then gives the
/// system error the call is to fail with, or 0. Always 0 inside an act.
int InterceptCall(const char* kind);

/// True while an act runs on this thread: its calls are not recorded.
bool ActingNow();
