#pragma once

namespace pellar::cli {

// Makes Ctrl+C (SIGINT), SIGTERM and SIGHUP a request to stop instead of ending the process at
// once, so that a running update cuts its file short at the next packet, asks the device for its
// status, closes it and shuts the HID library down, as a close in the window does.
void CatchStopSignals();
// Whether one of those signals has arrived since CatchStopSignals.
bool StopSignalled();
// The status a shell expects of a program ended by that signal: 128 + its number (130 for SIGINT,
// 143 for SIGTERM, 129 for SIGHUP); 130 when none has arrived.
int StopSignalExitStatus();

}  // namespace pellar::cli
